// The runtime's control classes and the control procedure they share.
//
// Each class is registered once per program, on first use. A class based on
// a platform class ("button", "Static") copies the platform's description,
// keeps its window procedure to pass unhandled messages on to, puts the
// control procedure in its place, adds the extra class style and reserves
// one more window word (after the platform's own) for the control object's
// address; an unknown platform class stops the runtime with 503. An own
// class starts from an empty description (arrow cursor, the window's
// background) and its word is the first.
//
// The control procedure finds the object through that word and gives it the
// message first (ClassControl::Message); what it leaves goes to the
// platform's procedure (platform-based) or DefWindowProc (own class).
// Messages before the word is set (during creation) go straight on.
#pragma once

#include <windows.h>

#include <memory>

#include "ui/control.h"
#include "ui/window.h"

namespace kor {

struct ControlClassSpec {
  const char* name;  // the runtime's name, "KorButton" ...
  const char* base;  // platform class, null for an own class
  UINT extra_style;  // added class style
};

inline constexpr ControlClassSpec kKorButton = {"KorButton", "button", 0};
inline constexpr ControlClassSpec kKorCheck = {"KorCheck", "button", 0};
inline constexpr ControlClassSpec kKorGroup = {"KorGroup", "Button", 0};
inline constexpr ControlClassSpec kKorPrompt = {"KorPrompt", "Static", 0};
inline constexpr ControlClassSpec kKorString = {"KorString", nullptr, 0};
inline constexpr ControlClassSpec kKorEdit = {"KorEdit", "Edit", CS_DBLCLKS};
inline constexpr ControlClassSpec kKorList = {"KorList", nullptr, CS_DBLCLKS};
inline constexpr ControlClassSpec kKorDrop = {"KorDrop", nullptr, CS_HREDRAW | CS_VREDRAW};
inline constexpr ControlClassSpec kKorGraphic = {"KorGraphic", nullptr, 0};

// Loads the platform's common controls (up-down, tooltips, tool bars) once.
void EnsureCommonControls();
// Registers the class unless it is registered; false after the 503 stop
// returned.
bool EnsureControlClass(const ControlClassSpec& spec);

// A control whose child window is of a runtime class.
class ClassControl : public Control {
 public:
  using Control::Control;
  ~ClassControl() override;

  // A message of the child window; true when handled (with *result).
  virtual bool Message(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
  // The platform's (or the default) handling of a message.
  LRESULT PassOn(UINT msg, WPARAM wp, LPARAM lp);

 protected:
  // Registers the class, creates the child through Control::CreateChild and
  // stores the object's address in the child's word; null when refused.
  HWND CreateOfClass(const ControlClassSpec& spec, const char* text, DWORD style, DWORD ex_style);

 private:
  WNDPROC base_proc_ = nullptr;
  int word_ = -1;
};

// The common creation of a kind: the object, its group, its variables
// bound in record order, its child window (T::Create), handed to the window.
template <typename T>
void* MakeControl(const ControlCreation& creation) {
  Window* window = CreationWindow(creation);
  auto control = std::make_unique<T>(window, *creation.record);
  control->set_group(CreationGroup(creation));
  if (!control->BindVariables()) return nullptr;
  control->Create();
  return window->AddControl(std::move(control));
}

}  // namespace kor
