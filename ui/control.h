// The control object, common part: what every control of a window holds from
// its record and the questions the window library asks it. The control
// classes (ui/controls/) derive from it and answer for their kind; the
// window library's stand-in kinds (plain_controls.h) answer with the
// platform's own controls.
//
// A control's child window has the identifier field number + 16384
// (kControlIdBase), so a command from a child names its control; field 0
// marks a control the program never addresses: it posts no events.
//
// Creation procedures of the control-kind table (ui/resource/control_kinds.h)
// receive the window being opened as ControlCreation::window (a Window*) and
// the group they sit in as ControlCreation::parent (the group's Control*, or
// null). They create the object, hand it to Window::AddControl (the window
// owns it from then on and destroys it after its platform window) and return
// it. Binding the record's variables to the window's address list is the
// kind's own business (BindVariables does it in the common order).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "ui/resource/address_list.h"
#include "ui/resource/control_kinds.h"
#include "ui/resource/window_records.h"

namespace kor {

class Window;

inline constexpr int32_t kControlIdBase = 0x4000;  // child identifier = field + 16384

class Control {
 public:
  Control(Window* window, const ControlRecord& record);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  Window* window() const { return window_; }
  Control* group() const { return group_; }
  void set_group(Control* group) { group_ = group; }
  const ControlRecord& record() const { return record_; }
  int32_t field() const { return record_.field; }
  const std::string& name() const { return record_.name; }
  uint8_t type() const { return record_.type; }
  int32_t attr() const { return record_.attr; }
  int32_t action() const { return record_.action; }
  int32_t hot_key() const { return record_.message.hot_key; }
  const std::vector<int32_t>& alert_keys() const { return record_.message.alert_keys; }
  // Makes `key` an alert key of the control (the language's ALERT on a
  // control); a key it already has is not added twice.
  void AddAlertKey(int32_t key);
  HWND handle() const { return handle_; }

  // The record's position in pixels of the window (x and y with the window's
  // scroll origin); omitted sizes take NaturalSize rounded up to whole units.
  RECT PixelRect() const;
  // Creates the child window with the control's identifier, the window's font,
  // WS_CHILD | WS_VISIBLE, WS_TABSTOP unless attribute 0x20 is set or the
  // kind never takes the focus (strings, prompts, groups, images), disabled
  // or hidden for those attributes, at PixelRect. null when the platform
  // refuses.
  HWND CreateChild(const char* class_name, const char* text, DWORD style, DWORD ex_style);
  // Binds the record's descriptors in record order (bound variable, second
  // variable, source) to the window's next addresses; an exhausted list stops
  // the runtime with 501. false when the error box returned.
  bool BindVariables();
  const BoundAddress& variable() const { return variable_; }
  const BoundAddress& source() const { return source_; }

  // Appends event `number` for this control to its window's queue (nothing
  // for field 0).
  void Post(int32_t number);

  // ---- what the window asks; the defaults suit a control without a value --

  // Whether the control must still be accepted before EVENT:Completed.
  virtual bool NeedsAccept() const { return needs_accept_; }
  // Completion mode reached the control: accept it as if the user had (the
  // default clears the mark and posts EVENT:Accepted). false refuses, which
  // ends completion mode.
  virtual bool AcceptForCompletion();
  // The control's current choice (a list: the selected row, 1-based); 0.
  virtual int32_t Choice() const { return 0; }
  // Reloads the shown value from the variable.
  virtual void Refresh() {}
  // Takes the focus and selects the text range start..end where it has text.
  virtual void Select(int32_t start, int32_t end);
  // The control became the window's current control (EVENT:Selected taken).
  virtual void OnSelected() {}
  // A command from the child window (its notification code).
  virtual void Command(int code);
  // A notification from the child window (the query QUERY_NOTIFY).
  virtual LRESULT Notify(NMHDR* header);
  // The control's hot key was pressed; the default presses a button and
  // focuses anything else.
  virtual void HotKey();
  // Property handlers; false when the property is not the kind's.
  virtual bool SetProperty(uint32_t property, int32_t index, const std::string& value);
  virtual bool GetProperty(uint32_t property, int32_t index, std::string* value) const;
  // The size the control would take by itself (text extent), in pixels.
  virtual SIZE NaturalSize() const;

  void set_needs_accept(bool needs) { needs_accept_ = needs; }

 protected:
  void set_handle(HWND handle) { handle_ = handle; }

 private:
  Window* window_;
  Control* group_ = nullptr;
  ControlRecord record_;
  HWND handle_ = nullptr;
  BoundAddress variable_;
  BoundAddress second_;
  BoundAddress source_;
  bool needs_accept_ = false;
};

// The window and the group a creation procedure is given.
Window* CreationWindow(const ControlCreation& creation);
Control* CreationGroup(const ControlCreation& creation);

}  // namespace kor
