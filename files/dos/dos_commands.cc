// The DOS driver's SEND commands, driver options and properties.
#include <cstdlib>
#include <string>

#include "files/dos/dos_driver.h"
#include "runtime/core/error_codes.h"
#include "runtime/os/ascii.h"

namespace kor {

namespace {

constexpr uint32_t kBufferUnit = 512;

void SetBufferUnits(DosControlBlock& b, long units) {
  if (units < 0) return;
  uint64_t size = static_cast<uint64_t>(units) * kBufferUnit;
  if (size < b.record_length) size = b.record_length;
  if (size > (uint64_t{1} << 30)) size = uint64_t{1} << 30;
  b.buffer_size = static_cast<uint32_t>(size);
  b.buffer.clear();
  b.buffer.shrink_to_fit();
  DosDropBuffer(b);
}

// FILEBUFFERS[=n]: n sets n units of 512 bytes; text that is not a whole
// number changes nothing.
std::string FileBuffers(DosControlBlock& b, bool setting, const std::string& value) {
  if (setting) {
    char* end = nullptr;
    long units = std::strtol(value.c_str(), &end, 10);
    if (end != value.c_str() && *end == '\0') SetBufferUnits(b, units);
  }
  return std::to_string(b.buffer_size);
}

// QUICKSCAN[=ON|OFF]: any other value changes nothing but still drops the
// read-ahead buffer.
std::string QuickScan(DosControlBlock& b, bool setting, const std::string& value) {
  if (setting) {
    std::string v = AsciiUpperText(value);
    if (v == "ON") b.flags |= kDosQuickScan;
    if (v == "OFF") b.flags &= ~kDosQuickScan;
    DosDropBuffer(b);
  }
  return (b.flags & kDosQuickScan) ? "ON" : "OFF";
}

}  // namespace

std::string DosCommand(DosControlBlock& b, const std::string& command) {
  std::string word = command;
  std::string value;
  bool setting = false;
  size_t eq = command.find('=');
  if (eq != std::string::npos) {
    word = command.substr(0, eq);
    value = TrimBlanks(std::string_view(command).substr(eq + 1));
    setting = true;
  }
  word = AsciiUpperText(TrimBlanks(word));
  if (word == "FILEBUFFERS") return FileBuffers(b, setting, value);
  if (word == "QUICKSCAN") return QuickScan(b, setting, value);
  return std::string();
}

void DosApplyOptions(DosControlBlock& b) {
  size_t start = 0;
  const std::string& options = b.options;
  while (start < options.size()) {
    size_t end = options.find('/', start);
    if (end == std::string::npos) end = options.size();
    std::string_view option = TrimBlanks(std::string_view(options).substr(start, end - start));
    if (!option.empty()) DosCommand(b, std::string(option));
    start = end + 1;
  }
}

int32_t DosProperty(DosControlBlock& b, std::string_view name_text, std::string_view value_text,
                    bool set, std::string* out) {
  std::string name = AsciiUpperText(TrimBlanks(name_text));
  std::string value(TrimBlanks(value_text));
  if (name == "FILEBUFFERS" || name == "QUICKSCAN") {
    *out = DosCommand(b, set ? name + "=" + value : name);
    return 0;
  }
  if (set) return kErrUnsupported;  // unknown or read only
  if (name == "RECORDLENGTH") {
    *out = std::to_string(b.file->record_length);
  } else if (name == "FILESIZE") {
    *out = std::to_string(b.file_size);
  } else if (name == "NAME") {
    *out = b.external_name;
  } else {
    return kErrUnsupported;
  }
  return 0;
}

}  // namespace kor
