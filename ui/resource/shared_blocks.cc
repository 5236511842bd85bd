// Decoding of the shared blocks through the bounded, sticky-failure reader.
#include "ui/resource/shared_blocks.h"

namespace kor {

namespace {

std::string Describe(const char* what, int32_t at) {
  return std::string(what) + " at " + std::to_string(at) + " is outside the resource";
}

}  // namespace

void BlockReader::Fail(int32_t offset, const std::string& what) {
  if (!ok_) return;
  ok_ = false;
  if (error_ != nullptr) *error_ = {offset, what};
}

bool BlockReader::Visit(int32_t offset, const char* what) {
  if (!ok_) return false;
  if (!buffer_.Contains(offset, 1)) {
    Fail(offset,
         std::string(what) + " record at " + std::to_string(offset) + " lies outside the resource");
  } else if (!visited_.insert(offset).second) {
    Fail(offset, std::string(what) + " record at " + std::to_string(offset) +
                     " is reached twice (a damaged chain)");
  }
  return ok_;
}

uint8_t BlockReader::U8(int32_t at, const char* what) {
  uint8_t v = 0;
  if (ok_ && !buffer_.ReadU8(at, &v)) Fail(at, Describe(what, at));
  return ok_ ? v : 0;
}

uint16_t BlockReader::U16(int32_t at, const char* what) {
  uint16_t v = 0;
  if (ok_ && !buffer_.ReadU16(at, &v)) Fail(at, Describe(what, at));
  return ok_ ? v : 0;
}

int16_t BlockReader::I16(int32_t at, const char* what) {
  return static_cast<int16_t>(U16(at, what));
}

int32_t BlockReader::I32(int32_t at, const char* what) {
  int32_t v = 0;
  if (ok_ && !buffer_.ReadI32(at, &v)) Fail(at, Describe(what, at));
  return ok_ ? v : 0;
}

int32_t BlockReader::Ref(int32_t at, const char* what) {
  int32_t v = I32(at, what);
  if (v != 0 && !buffer_.Contains(v, 1)) {
    Fail(at, std::string(what) + " at " + std::to_string(at) + " points outside the resource (" +
                 std::to_string(v) + ")");
    return 0;
  }
  return v;
}

double BlockReader::F64(int32_t at, const char* what) {
  double v = 0;
  if (ok_ && !buffer_.ReadF64(at, &v)) Fail(at, Describe(what, at));
  return ok_ ? v : 0;
}

std::string BlockReader::String(int32_t offset, const char* what) {
  std::string s;
  if (ok_ && !buffer_.ReadString(offset, &s)) {
    Fail(offset, std::string(what) + " at " + std::to_string(offset) +
                     " is outside the resource or not terminated");
  }
  return ok_ ? s : std::string();
}

std::string BlockReader::StringAt(int32_t ref, const char* what) {
  int32_t offset = I32(ref, what);
  return String(offset, what);
}

int32_t CursorIdentifier(uint16_t stored) {
  if (stored == kStoredSizeAllCursor) return 32646;
  if (stored == kStoredArrowCursor) return 32512;
  return static_cast<int32_t>(stored) - 1;
}

std::string EffectiveTooltip(const MessageBlock& block) {
  if (!block.tooltip.empty() && block.tooltip[0] == '~' && !block.message.empty())
    return block.message;
  return block.tooltip;
}

bool IsStringType(uint8_t type) { return type == 18 || type == 19 || type == 20; }

Position ReadPosition(BlockReader& r, int32_t at) {
  Position p;
  p.x = r.I32(at + kPosX, "position");
  p.y = r.I32(at + kPosY, "position");
  p.width = r.I32(at + kPosWidth, "position");
  p.height = r.I32(at + kPosHeight, "position");
  return p;
}

MessageBlock ReadMessageBlock(BlockReader& r, int32_t at) {
  MessageBlock m;
  m.message = r.StringAt(at + kMsgText, "status message");
  m.tooltip = r.StringAt(at + kMsgTooltip, "tooltip");
  m.help = r.StringAt(at + kMsgHelp, "help identifier");
  m.hot_key = r.I32(at + kMsgHotKey, "hot key");
  // Alert-key chains may be shared between records, so they are not marked as
  // visited; a chain longer than the buffer has nodes loops.
  size_t limit = r.buffer().size() / kAlertSize + 1;
  for (int32_t node = r.Ref(at + kMsgAlert, "alert key"); node != 0 && r.ok();
       node = r.Ref(node + kAlertNext, "alert key")) {
    if (m.alert_keys.size() >= limit) {
      r.Fail(node, "alert-key chain at " + std::to_string(node) + " loops");
      break;
    }
    int32_t key = r.I32(node + kAlertKey, "alert key");
    if (r.ok()) m.alert_keys.push_back(key);
  }
  return m;
}

FontBlock ReadFontBlock(BlockReader& r, int32_t offset) {
  FontBlock f;
  if (offset == 0) return f;
  f.offset = offset;
  f.face = r.StringAt(offset + kFontFace, "font face");
  f.size = r.I32(offset + kFontSize, "font block");
  f.colour = r.I32(offset + kFontColour, "font block");
  f.weight = r.I32(offset + kFontWeight, "font block");
  return f;
}

ColourBlock ReadColourBlock(BlockReader& r, int32_t offset) {
  ColourBlock c;
  if (offset == 0) return c;
  c.offset = offset;
  for (int i = 0; i < 3; ++i) c.colour[i] = r.I32(offset + 4 * i, "colour block");
  return c;
}

VariableDescriptor ReadVariable(BlockReader& r, int32_t offset) {
  VariableDescriptor v;
  if (offset == 0) return v;
  v.offset = offset;
  v.type = r.U8(offset + kVarType, "variable descriptor");
  v.size = r.I32(offset + kVarBytes, "variable descriptor");
  v.extra = r.I32(offset + kVarExtra, "variable descriptor");
  if (IsStringType(v.type)) v.picture = r.String(v.extra, "variable picture");
  return v;
}

ImageName ReadImageName(BlockReader& r, int32_t offset) {
  ImageName n;
  if (offset == 0) return n;
  if (r.U8(offset, "image name") == kImageRefMark) {
    // A reference is four raw bytes: its number may hold zero bytes.
    n.kind = ImageName::Kind::kReference;
    n.ref_kind = r.U8(offset + 1, "image reference");
    n.stored = r.U16(offset + 2, "image reference");
    return n;
  }
  n.file = r.String(offset, "image name");
  if (!n.file.empty()) n.kind = ImageName::Kind::kFile;
  return n;
}

std::vector<int32_t> ReadStatusWidths(BlockReader& r, int32_t offset) {
  std::vector<int32_t> widths;
  if (offset == 0) return widths;
  for (int32_t at = offset; r.ok(); at += 4) {
    int32_t w = r.I32(at, "status-bar widths");
    if (!r.ok() || w == 0) break;
    widths.push_back(w);
  }
  return widths;
}

}  // namespace kor
