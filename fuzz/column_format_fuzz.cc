// Fuzz target for the list box's column format parser. The input is a format
// string; the first byte also picks a unit scale. Every column must have a
// sane width and field numbers inside the counted fields, groups must cover
// existing columns, and parsing the same text twice gives the same columns.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ui/resource/column_format.h"

namespace {

void Check(const kor::ColumnFormat& f) {
  if (f.columns.size() > kor::kMaxColumns) std::abort();
  if (!f.columns.empty() && (f.designated < 0 || size_t(f.designated) >= f.columns.size()))
    std::abort();
  int32_t x = 0;
  for (const kor::ListColumn& c : f.columns) {
    if (c.width < 0 || c.x < x || c.right != c.x + c.width - 1) std::abort();
    x = c.x + c.width;
    if (c.value_field < 1 || c.value_field > f.field_count) std::abort();
    for (int32_t field : {c.colour_field, c.icon_field, c.tree_field, c.style_field})
      if (field < 0 || field > f.field_count) std::abort();
    if (c.group >= int32_t(f.groups.size())) std::abort();
    if (c.header_lines < 0) std::abort();
  }
  for (const kor::ColumnGroup& g : f.groups)
    if (g.first_column < 0 || g.column_count < 0 ||
        size_t(g.first_column) + size_t(g.column_count) > f.columns.size())
      std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  kor::UnitScale scale = {1, 1, 1};
  if (size > 0 && (data[0] & 1)) scale = {12, 13, 8};
  kor::ColumnFormat f = kor::ParseColumnFormat(text, scale);
  Check(f);
  kor::ColumnFormat again = kor::ParseColumnFormat(text, scale);
  if (again.columns.size() != f.columns.size() || again.field_count != f.field_count) std::abort();
  return 0;
}
