// Splitting NAME into file and table (see table_name.h).
#include "files/velocore/table_name.h"

#include "runtime/locale/collation.h"

namespace kor::vel {

std::string WithDefaultExtension(std::string_view name) {
  size_t slash = name.find_last_of("\\/:");
  size_t dot = name.find_last_of('.');
  bool has = dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash);
  std::string out(name);
  if (!has) out += kDefaultExtension;
  return out;
}

SplitName SplitTableName(std::string_view name,
                         const std::function<bool(const std::string&)>& exists) {
  for (size_t at = name.find("\\!"); at != std::string_view::npos; at = name.find("\\!", at + 1)) {
    std::string prefix(name.substr(0, at));
    std::string file = exists(prefix) ? prefix : WithDefaultExtension(prefix);
    if (!exists(file)) continue;
    std::string table(name.substr(at + 2));
    ToUpperText(table.data(), table.size());
    return {file, table.empty() ? "UNNAMED" : table};
  }
  return {WithDefaultExtension(name), "UNNAMED"};
}

}  // namespace kor::vel
