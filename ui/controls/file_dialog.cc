// The file dialog and its directory mode.
#include "ui/controls/file_dialog.h"

#include <windows.h>
// after windows.h
#include <commdlg.h>
#include <dlgs.h>

#include <cstring>
#include <vector>

#include "runtime/locale/locale.h"
#include "runtime/os/ascii.h"
#include "runtime/values/string_stack.h"
#include "ui/thread_state.h"
#include "ui/window.h"

namespace kor {

namespace {

FileDialogReplacement g_replacement = nullptr;

// Items the directory mode hides.
constexpr int kHiddenInDirectoryMode[] = {stc3, edt1, lst1, stc2, cmb1};

void ShowCurrentDirectory(HWND dialog) {
  char dir[MAX_PATH] = {};
  GetCurrentDirectoryA(sizeof dir, dir);
  SetDlgItemTextA(dialog, kDirectoryItem, dir);
}

// The shared hook. Directory mode marks itself in the structure's custom
// data; everything else gets the platform's handling.
UINT_PTR CALLBACK DialogHook(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    auto* ofn = reinterpret_cast<OPENFILENAMEA*>(lp);
    SetPropA(dialog, "KorDirectoryMode", HANDLE(ofn->lCustData));
    if (ofn->lCustData != 0) {
      for (int id : kHiddenInDirectoryMode) ShowWindow(GetDlgItem(dialog, id), SW_HIDE);
      ShowCurrentDirectory(dialog);
    }
    return TRUE;
  }
  if (msg == WM_COMMAND && GetPropA(dialog, "KorDirectoryMode") != nullptr) {
    // The platform changes the current directory as the user moves through
    // the folders and drives: show where it is now.
    int id = LOWORD(wp);
    if (id == lst2 || id == cmb2) ShowCurrentDirectory(dialog);
  }
  if (msg == WM_DESTROY) RemovePropA(dialog, "KorDirectoryMode");
  return FALSE;
}

std::string Cut(const std::string& s, size_t most) { return s.substr(0, std::min(s.size(), most)); }

std::string StartingName(const char* name, int32_t size) {
  std::string value(TrimTrailingBlanks(std::string_view(name, size_t(size))));
  if (value.empty()) return value;
  char full[MAX_PATH] = {};
  DWORD n = GetFullPathNameA(value.c_str(), sizeof full, full, nullptr);
  if (n == 0 || n >= sizeof full) return std::string();
  return full;
}

void Store(char* name, int32_t size, const std::string& value) {
  memset(name, ' ', size_t(size));
  memcpy(name, value.data(), std::min(value.size(), size_t(size)));
}

DWORD Flags(uint32_t options) {
  DWORD flags = OFN_HIDEREADONLY | OFN_SHAREAWARE;
  if ((options & kFileNewStyle) != 0) {
    flags |= OFN_EXPLORER;
  } else {
    flags |= OFN_ENABLEHOOK;
  }
  if (options & kFileKeepDirectory) flags |= OFN_NOCHANGEDIR;
  bool save = (options & (kFileSave | kFileDirectory)) != 0;
  if ((options & kFileNoCheck) == 0) flags |= save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST;
  if (!save) flags |= OFN_PATHMUSTEXIST;
  if (options & kFileMultiple) flags |= OFN_ALLOWMULTISELECT;
  if (LongFileNames()) flags |= OFN_LONGNAMES;
  return flags;
}

HWND OwnerWindow() {
  Window* top = TopWindow();
  return top != nullptr ? top->handle() : nullptr;
}

}  // namespace

std::string PlatformFilter(const std::string& filter) {
  std::string f = Cut(std::string(TrimTrailingBlanks(filter)), kMaxDialogFilter);
  if (f.empty()) f = kDefaultFilter;
  for (char& c : f)
    if (c == '|') c = '\0';
  f.push_back('\0');
  f.push_back('\0');
  return f;
}

std::string JoinMultipleFiles(const char* result, size_t capacity) {
  std::string out;
  size_t at = 0;
  while (at < capacity && result[at] != '\0') {
    size_t len = strnlen(result + at, capacity - at);
    if (!out.empty()) out += '|';
    out.append(result + at, len);
    at += len + 1;
  }
  return out;
}

int32_t ShowFileDialog(const std::string& title, const std::string& filter, char* name,
                       int32_t size, uint32_t options) {
  if (g_replacement != nullptr) return g_replacement(title, filter, name, size, options);
  if (name == nullptr || size <= 0) return 0;
  bool directory = (options & kFileDirectory) != 0;
  std::string shown_title = Cut(std::string(TrimTrailingBlanks(title)), kMaxDialogTitle);
  std::string platform_filter = PlatformFilter(directory ? "*.*|*.*" : filter);
  std::vector<char> buffer(size_t(size) + 1, '\0');
  std::string start = directory ? std::string(kDirectoryDummyName) : StartingName(name, size);
  memcpy(buffer.data(), start.data(), std::min(start.size(), buffer.size() - 1));

  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = OwnerWindow();
  ofn.hInstance = GetModuleHandleA(nullptr);
  ofn.lpstrFilter = platform_filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = DWORD(buffer.size());
  ofn.lpstrTitle = shown_title.empty() ? nullptr : shown_title.c_str();
  ofn.Flags = Flags(options);
  if (ofn.Flags & OFN_ENABLEHOOK) ofn.lpfnHook = &DialogHook;
  if (directory) {
    ofn.Flags =
        (ofn.Flags & ~(OFN_EXPLORER | OFN_OVERWRITEPROMPT)) | OFN_ENABLEHOOK | OFN_ENABLETEMPLATE;
    ofn.lpfnHook = &DialogHook;
    ofn.lpTemplateName = kDirectoryTemplate;
    ofn.lCustData = 1;
  }
  bool save = (options & (kFileSave | kFileDirectory)) != 0;
  BOOL ok = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  if (!ok) return 0;
  std::string result;
  if (directory) {
    result = buffer.data();
    size_t slash = result.find_last_of('\\');
    if (slash != std::string::npos) result.resize(slash + 1);
  } else if (options & kFileMultiple) {
    if (ofn.Flags & OFN_EXPLORER) {
      result = JoinMultipleFiles(buffer.data(), buffer.size());
    } else {
      result = buffer.data();  // the older dialog separates with blanks
      for (char& c : result)
        if (c == ' ') c = '|';
    }
  } else {
    result = buffer.data();
  }
  Store(name, size, result);
  return 1;
}

int32_t FILEDIALOG(char* name, int32_t size, uint32_t options) {
  std::string title = PopToStdString();
  std::string filter = PopToStdString();
  return ShowFileDialog(title, filter, name, size, options);
}

void SetFileDialogReplacement(FileDialogReplacement replacement) { g_replacement = replacement; }

}  // namespace kor
