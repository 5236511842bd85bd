// Splitting a FILE's NAME into the physical file and the table inside it.
//
// The name may carry a table name after the two characters "\!". Each "\!"
// is tried from the left; at the first whose prefix names an existing file
// (as written, or with ".VEL" added when it has no extension) the name is
// split there, and the part after it, in upper case, is the table name. A
// name without such a split uses the table "UNNAMED". The file name then
// receives the extension ".VEL" if it has none.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace kor::vel {

inline constexpr const char* kDefaultExtension = ".VEL";

struct SplitName {
  std::string file;
  std::string table;
};

// `exists` tells whether a file of that name exists (the file system's
// answer in the driver; tests pass their own).
SplitName SplitTableName(std::string_view name,
                         const std::function<bool(const std::string&)>& exists);
// The name with ".VEL" added when its last path component has no extension.
std::string WithDefaultExtension(std::string_view name);

}  // namespace kor::vel
