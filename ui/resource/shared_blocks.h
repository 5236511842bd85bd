// The shared blocks of a compiled window resource, decoded: positions,
// message blocks with their alert keys, fonts, colours, bound-variable
// descriptors, image and cursor names, and status-bar widths. Layouts are in
// window_format.h. Every decoder reads through a BlockReader, which stops at
// the first read outside the buffer and keeps one message saying where.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "ui/resource/resource_buffer.h"
#include "ui/resource/window_format.h"

namespace kor {

// A failed decode: what was being read and the record it belongs to.
struct DecodeError {
  int32_t offset = 0;  // buffer offset of the record or block
  std::string what;
};

// Bounded reads with one sticky failure: after the first failure every read
// gives zero or empty and the error keeps the first message.
class BlockReader {
 public:
  BlockReader(const ResourceBuffer& buffer, DecodeError* error) : buffer_(buffer), error_(error) {}
  bool ok() const { return ok_; }
  const ResourceBuffer& buffer() const { return buffer_; }

  uint8_t U8(int32_t at, const char* what);
  uint16_t U16(int32_t at, const char* what);
  int16_t I16(int32_t at, const char* what);
  int32_t I32(int32_t at, const char* what);
  double F64(int32_t at, const char* what);
  // The offset of another block stored at `at`: 0 (none) or a place inside
  // the buffer; anything else fails here, so that the fixed offsets added to
  // it afterwards can never run past the range of an int32_t.
  int32_t Ref(int32_t at, const char* what);
  // The string whose offset is stored at `ref`.
  std::string StringAt(int32_t ref, const char* what);
  // The string at an offset (0 = "").
  std::string String(int32_t offset, const char* what);
  // Records the failure unless one is already recorded.
  void Fail(int32_t offset, const std::string& what);
  // Marks a record as read. A record outside the buffer fails, and so does
  // one reached a second time: a damaged chain that loops, or records shared
  // where each has one place, would otherwise be read forever or many times
  // over.
  bool Visit(int32_t offset, const char* what);

 private:
  const ResourceBuffer& buffer_;
  DecodeError* error_;
  bool ok_ = true;
  std::unordered_set<int32_t> visited_;
};

struct Position {
  int32_t x = kOmitted;
  int32_t y = kOmitted;
  int32_t width = kOmitted;
  int32_t height = kOmitted;
  bool operator==(const Position&) const = default;
};

// An image or cursor name: a file name, or a reference to an image resource of
// the program (kRefProgram) or of the platform (kRefPlatform).
struct ImageName {
  enum class Kind : uint8_t { kNone, kFile, kReference };
  Kind kind = Kind::kNone;
  std::string file;      // kFile
  uint8_t ref_kind = 0;  // kReference
  uint16_t stored = 0;   // kReference: the identifier plus one
  bool operator==(const ImageName&) const = default;
  // The resource or platform identifier of a reference.
  int32_t Identifier() const { return static_cast<int32_t>(stored) - 1; }
};
// The platform cursor a stored cursor reference stands for (0x7F81 is the
// size-all cursor 32646, 0x7F82 the arrow 32512, others the identifier).
int32_t CursorIdentifier(uint16_t stored);

struct MessageBlock {
  std::string message;  // status-bar message
  std::string tooltip;
  std::string help;
  int32_t hot_key = 0;
  std::vector<int32_t> alert_keys;  // in chain order
  bool operator==(const MessageBlock&) const = default;
};
// The text a tooltip shows: the status message when the tooltip text starts
// with "~" and there is a message, else the tooltip text as it stands.
std::string EffectiveTooltip(const MessageBlock& block);

struct FontBlock {
  int32_t offset = 0;  // 0 = none (inherit the window's); equal offsets share a font
  std::string face;
  int32_t size = 0;  // points
  int32_t colour = kDefaultColour;
  int32_t weight = kDefaultColour;  // -1 default, 400 normal, 700 bold
  bool present() const { return offset != 0; }
};

struct ColourBlock {
  int32_t offset = 0;  // 0 = none
  int32_t colour[3] = {kDefaultColour, kDefaultColour, kDefaultColour};
  bool present() const { return offset != 0; }
};

struct VariableDescriptor {
  int32_t offset = 0;   // 0 = none
  uint8_t type = 0;     // field type code
  int32_t size = 0;     // bytes; 0 = the 32-bit value at the bound address
  int32_t extra = 0;    // DECIMAL/PDECIMAL places; string types: picture offset
  std::string picture;  // string types: the picture the variable is kept in
  bool present() const { return offset != 0; }
};
// Whether a type code's extra word is a picture offset (STRING, CSTRING, PSTRING).
bool IsStringType(uint8_t type);

// Decoders of the blocks. Each reads through `r`; a failure stays in `r`.
Position ReadPosition(BlockReader& r, int32_t at);
MessageBlock ReadMessageBlock(BlockReader& r, int32_t at);
FontBlock ReadFontBlock(BlockReader& r, int32_t offset);
ColourBlock ReadColourBlock(BlockReader& r, int32_t offset);
VariableDescriptor ReadVariable(BlockReader& r, int32_t offset);
ImageName ReadImageName(BlockReader& r, int32_t offset);
// The widths up to the ending 0 (offset 0: no status bar, no widths).
std::vector<int32_t> ReadStatusWidths(BlockReader& r, int32_t offset);

}  // namespace kor
