// Writes extended dialog templates into memory.
#include "ui/controls/dialog_template.h"

namespace kor {

namespace {
constexpr size_t kItemCountWord = 8;  // cDlgItems: after dlgVer, signature and 3 DWORDs
}  // namespace

DialogTemplate::DialogTemplate(DWORD style, const RECT& box, const std::string& title,
                               const DialogFont& font) {
  Word(1);
  Word(0xFFFF);
  Dword(0);  // help identifier
  Dword(0);  // extended style
  Dword(style | DS_SETFONT);
  Word(0);  // item count, patched by AddItem
  Word(static_cast<WORD>(box.left));
  Word(static_cast<WORD>(box.top));
  Word(static_cast<WORD>(box.right - box.left));
  Word(static_cast<WORD>(box.bottom - box.top));
  Word(0);  // no menu
  Word(0);  // the dialog class
  Text(title);
  Word(font.points);
  Word(font.weight);
  Word(0);  // italic 0, character set 0 (ANSI)
  Text(font.face);
}

void DialogTemplate::AddItem(WORD class_atom, DWORD style, const RECT& box, DWORD id,
                             const std::string& text) {
  Align();
  Dword(0);  // help identifier
  Dword(0);  // extended style
  Dword(style);
  Word(static_cast<WORD>(box.left));
  Word(static_cast<WORD>(box.top));
  Word(static_cast<WORD>(box.right - box.left));
  Word(static_cast<WORD>(box.bottom - box.top));
  Dword(id);
  Word(0xFFFF);
  Word(class_atom);
  Text(text);
  Word(0);  // no creation data
  words_[kItemCountWord] = static_cast<WORD>(++items_);
}

void DialogTemplate::Dword(DWORD d) {
  Word(LOWORD(d));
  Word(HIWORD(d));
}

void DialogTemplate::Text(const std::string& text) {
  if (!text.empty()) {
    int n = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(size_t(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), wide.data(), n);
    for (wchar_t c : wide) Word(static_cast<WORD>(c));
  }
  Word(0);
}

void DialogTemplate::Align() {
  if (words_.size() % 2 != 0) Word(0);
}

}  // namespace kor
