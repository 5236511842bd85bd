// The creation table of control kinds and the walk that creates a window's
// controls through it.
#include "ui/resource/control_kinds.h"

namespace kor {

namespace {

// clang-format off
constexpr uint8_t kSlotCodes[kControlSlotCount] = {
    1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 21,
    32, 33, 34, 35, 37, 38, 39};
// clang-format on

const ControlKind* g_slots[kControlSlotCount] = {};

void* CreateNothing(const ControlCreation&) { return nullptr; }

// The class names of the kinds, as the window library registers them.
const char* ClassNameOf(uint8_t type) {
  switch (type) {
    case kRecBoundString:
    case kRecString: return "KorString";
    case kRecImage: return "KorGraphic";
    case kRecGraphic: return "KorDrawing";
    case kRecEntry:
    case kRecSpin: return "KorEdit";
    case kRecButton: return "KorButton";
    case kRecPrompt: return "KorPrompt";
    case kRecCheck: return "KorCheck";
    case kRecGroup: return "KorGroup";
    case kRecList: return "KorList";
    default: return "KorControl";
  }
}

}  // namespace

int ControlSlotOf(uint8_t type) {
  for (int i = 0; i < kControlSlotCount; ++i)
    if (kSlotCodes[i] == type) return i;
  return -1;
}

bool RegisterControlKind(uint8_t type, const ControlKind* kind) {
  int slot = ControlSlotOf(type);
  if (slot < 0) return false;
  g_slots[slot] = kind;
  return true;
}

const ControlKind* ControlKindOf(uint8_t type) {
  int slot = ControlSlotOf(type);
  return slot < 0 ? nullptr : g_slots[slot];
}

void ClearControlKinds() {
  for (const ControlKind*& slot : g_slots) slot = nullptr;
}

const ControlKind* PlaceholderControlKind(uint8_t type) {
  static ControlKind placeholders[kControlSlotCount];
  int slot = ControlSlotOf(type);
  if (slot < 0) return nullptr;
  placeholders[slot] = {ClassNameOf(type), &CreateNothing};
  return &placeholders[slot];
}

int RegisterPlaceholderKinds(const uint8_t* types, size_t count) {
  int filled = 0;
  for (size_t i = 0; i < count; ++i) {
    if (ControlSlotOf(types[i]) < 0 || ControlKindOf(types[i]) != nullptr) continue;
    RegisterControlKind(types[i], PlaceholderControlKind(types[i]));
    ++filled;
  }
  return filled;
}

int CreateControls(const ResourceBuffer& buffer, const std::vector<ControlRecord>& records,
                   void* window, void* parent) {
  int created = 0;
  for (const ControlRecord& record : records) {
    const ControlKind* kind = ControlKindOf(record.type);
    if (kind == nullptr || kind->create == nullptr) continue;
    void* control = kind->create({&buffer, &record, window, parent});
    ++created;
    if (!record.children.empty())
      created += CreateControls(buffer, record.children, window, control);
  }
  return created;
}

}  // namespace kor
