// The file dialog: the platform's open and save dialogs for one string
// variable, and a directory-choosing mode of its own.
//
// Arguments: the title (up to 80 characters; empty = the platform's title),
// the filter (up to 255; "|" between description and pattern and between
// pairs; empty = "All Files (*.*)|*.*"), the string variable (its value,
// trailing blanks cut and made a full path, is the starting name; a name
// that cannot be made one starts empty), and the option word:
//   1  save dialog instead of open
//   2  keep the current directory
//   4  no existence check (else: save asks before overwriting, open needs
//      the file to exist); an open dialog always needs the path to exist
//   8  several files: the result is the directory and the names joined by
//      "|" ("C:\DIR|A.APP|B.APP")
//   16 the platform's newer dialog (no hook)
//   32 choose a directory: the save dialog with the template "CHOOSEDIR"
//      (resources/dialogs.rc), filter "*.*" and the dummy name
//      "XXYZZY.NIG"; its hook hides the name, list and type items and keeps
//      item 100 showing the current directory; the result is cut after its
//      last backslash ("C:\WORK\")
// The dialog starts hide-read-only, share-aware and (unless 16) with the
// hook; the runtime's long-file-name setting adds long names. Its owner is
// the thread's top window.
//
// The name buffer holds the variable's size plus one characters (a result
// that does not fit is the platform's failure and counts as cancelled).
// Result: 1 when the user confirmed (the variable then holds the new name,
// cut to its size and blank-padded), 0 when cancelled (the variable is
// unchanged).
#pragma once

#include <cstdint>
#include <string>

namespace kor {

inline constexpr size_t kMaxDialogTitle = 80;
inline constexpr size_t kMaxDialogFilter = 255;
inline constexpr char kDefaultFilter[] = "All Files (*.*)|*.*";
inline constexpr char kDirectoryTemplate[] = "CHOOSEDIR";
inline constexpr char kDirectoryDummyName[] = "XXYZZY.NIG";
inline constexpr int kDirectoryItem = 100;

enum FileDialogOption : uint32_t {
  kFileSave = 1,
  kFileKeepDirectory = 2,
  kFileNoCheck = 4,
  kFileMultiple = 8,
  kFileNewStyle = 16,
  kFileDirectory = 32,
};

// Shows the dialog for the variable `name` of `size` bytes.
int32_t ShowFileDialog(const std::string& title, const std::string& filter, char* name,
                       int32_t size, uint32_t options);
// FILEDIALOG on the string stack: pops the title (the top) and the filter.
int32_t FILEDIALOG(char* name, int32_t size, uint32_t options);

// The filter as the platform takes it: "|" turned into NUL, a second NUL at
// the end; the default when empty.
std::string PlatformFilter(const std::string& filter);
// The platform's multiple-file result (the directory and the names,
// separated by NUL and ended by two) as one "|"-joined string.
std::string JoinMultipleFiles(const char* result, size_t capacity);

using FileDialogReplacement = int32_t (*)(const std::string& title, const std::string& filter,
                                          char* name, int32_t size, uint32_t options);
void SetFileDialogReplacement(FileDialogReplacement replacement);

}  // namespace kor
