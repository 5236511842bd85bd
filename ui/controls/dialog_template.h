// An extended dialog template (DLGTEMPLATEEX) written into memory, for the
// dialogs the runtime builds itself instead of loading from resources.
//
// Layout (every item DWORD-aligned, texts UTF-16 and NUL-ended):
//   header   WORD dlgVer=1, WORD signature=0xFFFF, DWORD helpID, exStyle,
//            style, WORD cDlgItems, short x, y, cx, cy, then the menu (0),
//            the class (0), the title, and with DS_SETFONT: WORD point
//            size, WORD weight, BYTE italic, BYTE charset, the face name
//   item     DWORD helpID, exStyle, style, short x, y, cx, cy, DWORD id,
//            the class (0xFFFF and an atom, or a name), the text, WORD 0
//            (no creation data)
// Coordinates are dialog units of the template's font. The item count is
// patched into the header as items are added.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kor {

// Predefined class atoms of dialog items.
inline constexpr WORD kDialogButtonAtom = 0x0080;
inline constexpr WORD kDialogStaticAtom = 0x0082;

struct DialogFont {
  WORD points = 8;
  WORD weight = FW_NORMAL;
  std::string face;
};

class DialogTemplate {
 public:
  // Starts the header; `style` gets DS_SETFONT added.
  DialogTemplate(DWORD style, const RECT& box, const std::string& title, const DialogFont& font);
  // Adds an item of a predefined class; `text` is converted from the ANSI
  // code page.
  void AddItem(WORD class_atom, DWORD style, const RECT& box, DWORD id, const std::string& text);
  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }
  int item_count() const { return items_; }

 private:
  void Word(WORD w) { words_.push_back(w); }
  void Dword(DWORD d);
  void Text(const std::string& text);
  void Align();

  std::vector<WORD> words_;
  int items_ = 0;
};

}  // namespace kor
