// The list view's rows, icons, measures and hit tests; the painting is in
// list_draw.cc.
#include "ui/controls/list_view.h"

#include <algorithm>
#include <cstdlib>

#include "ui/controls/list_box.h"
#include "ui/window.h"

namespace kor {

HINSTANCE ModuleOf(const Control& control) {
  auto module = static_cast<HINSTANCE>(control.window()->state().module_instance);
  return module != nullptr ? module : GetModuleHandleA(nullptr);
}

ListView::~ListView() {
  for (auto& [number, icon] : icons_)
    if (icon.loaded.owned) DestroyIcon(icon.loaded.icon);
}

const void* ListView::RowData(int32_t row) const {
  if (binding_ == nullptr || binding_->queue == nullptr || row < 0 || row >= Count())
    return nullptr;
  return binding_->queue->Row(uint32_t(row) + 1);
}

std::string ListView::CellText(int32_t row, const ListColumn& c) const {
  const void* data = RowData(row);
  if (data == nullptr) return std::string();
  return FormatQueueField(*binding_, data, c.value_field,
                          c.picture.empty() ? std::string(kDefaultColumnPicture) : c.picture);
}

std::string ListView::RowText(int32_t row, bool trim) const {
  std::string text;
  for (size_t i = 0; i < format_.columns.size(); ++i) {
    if (i > 0) text += '\t';
    std::string cell = CellText(row, format_.columns[i]);
    cell.erase(cell.find_last_not_of(' ') + 1);
    if (trim) cell.erase(0, cell.find_first_not_of(' '));
    text += cell;
  }
  return text;
}

std::string ListView::DesignatedValue(int32_t row) const {
  if (row < 0 || size_t(format_.designated) >= format_.columns.size()) return std::string();
  const void* data = RowData(row);
  if (data == nullptr) return std::string();
  const ListColumn& c = format_.columns[size_t(format_.designated)];
  return FormatQueueField(*binding_, data, c.value_field, "");
}

int32_t ListView::IconOf(int32_t row, const ListColumn& c) const {
  const void* data = RowData(row);
  if (data == nullptr || (c.options & kColIcon) == 0 || c.icon_field == 0) return 0;
  return QueueFieldLong(*binding_, data, c.icon_field);
}

int32_t ListView::TreeLevel(int32_t row, const ListColumn& c) const {
  const void* data = RowData(row);
  if (data == nullptr || (c.options & kColTree) == 0 || c.tree_field == 0) return 0;
  return QueueFieldLong(*binding_, data, c.tree_field);
}

bool ListView::SetIcon(int32_t number, const std::string& name, HINSTANCE module) {
  if (number < 1) return false;
  auto old = icons_.find(number);
  if (old != icons_.end()) {
    if (old->second.loaded.owned) DestroyIcon(old->second.loaded.icon);
    icons_.erase(old);
  }
  if (name.empty()) return true;
  ImageName image;
  image.kind = ImageName::Kind::kFile;
  image.file = name;
  LoadedIcon loaded = LoadIconByName(image, module);
  if (loaded.icon == nullptr) return false;
  icons_[number] = Icon{name, loaded};
  return true;
}

const std::string& ListView::IconName(int32_t number) const {
  static const std::string kNone;
  auto it = icons_.find(number);
  return it == icons_.end() ? kNone : it->second.name;
}

bool ListView::SetProperty(uint32_t property, int32_t index, const std::string& value,
                           HINSTANCE module) {
  if (property == kPropListIcon) {
    SetIcon(index, value, module);  // a missing image leaves no icon: no error
    return true;
  }
  if (property == kPropListColumnWidth) {
    ResizeColumn(index - 1, atoi(value.c_str()));
    return true;
  }
  return false;
}

bool ListView::GetProperty(uint32_t property, int32_t index, std::string* value) const {
  if (property == kPropListIcon) {
    *value = IconName(index);
    return true;
  }
  if (property == kPropListColumnWidth) {
    bool there = index >= 1 && size_t(index) <= format_.columns.size();
    *value = there ? std::to_string(format_.columns[size_t(index) - 1].width) : "";
    return true;
  }
  return false;
}

bool ListView::HasIconColumn() const {
  for (const ListColumn& c : format_.columns)
    if (c.options & (kColIcon | kColTree)) return true;
  return false;
}

int ListView::step() const { return GetSystemMetrics(SM_CXSMICON); }

void ListView::Measure(HDC dc, int height, bool header) {
  TEXTMETRICA tm = {};
  GetTextMetricsA(dc, &tm);
  average_char_ = std::max<int>(1, tm.tmAveCharWidth);
  row_height = std::max<int>(1, tm.tmHeight + 2);
  if (HasIconColumn()) row_height = std::max(row_height, GetSystemMetrics(SM_CYSMICON) + 2);
  int lines = 0;
  if (header)
    for (const ListColumn& c : format_.columns) lines = std::max(lines, c.header_lines);
  header_height = lines > 0 ? lines * tm.tmHeight + 4 : 0;
  rows_shown = std::max(0, (height - header_height) / row_height);
}

int32_t ListView::RowAt(int y) const {
  if (y < header_height || row_height <= 0) return -1;
  int32_t row = top + (y - header_height) / row_height;
  return row < Count() ? row : -1;
}

int32_t ListView::EdgeAt(int x) const {
  x += hscroll;
  for (size_t i = 0; i < format_.columns.size(); ++i) {
    const ListColumn& c = format_.columns[i];
    int edge = c.x + c.width;
    if ((c.options & kColResizable) && x >= edge - kGripPixels && x <= edge + kGripPixels)
      return int32_t(i);
  }
  return -1;
}

bool ListView::ResizeColumn(int32_t column, int width) {
  if (column < 0 || size_t(column) >= format_.columns.size()) return false;
  ListColumn& c = format_.columns[size_t(column)];
  width = std::max(width, kMinColumnWidth);
  int delta = width - c.width;
  int old_edge = c.x + c.width;
  c.width = width;
  c.right = c.x + width - 1;
  for (ListColumn& other : format_.columns) {
    if (&other == &c || other.x < old_edge) continue;
    other.x += delta;
    other.right += delta;
  }
  format_.total_width = std::max(0, format_.total_width + delta);
  return true;
}

bool ListView::HasChildren(int32_t row, const ListColumn& c) const {
  int32_t level = TreeLevel(row, c);
  if (level < 0) return true;
  return row + 1 < Count() && std::abs(TreeLevel(row + 1, c)) > level;
}

int ListView::TreeBoxAt(int32_t row, int x) const {
  for (const ListColumn& c : format_.columns) {
    if ((c.options & kColTree) == 0 || !HasChildren(row, c)) continue;
    int level = std::max(1, std::abs(TreeLevel(row, c)));
    int left = c.x - hscroll + 2 + (level - 1) * step();
    if (x >= left && x < left + step()) return TreeLevel(row, c) < 0 ? 1 : -1;
  }
  return 0;
}

}  // namespace kor
