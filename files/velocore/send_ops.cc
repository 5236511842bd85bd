// SEND commands, the table and key properties and the BLOB operations of
// the VELOCORE driver (the commands and properties are listed in
// velocore_driver.h).
#include <cstdlib>
#include <string>

#include "files/operations.h"
#include "files/velocore/driver_block.h"
#include "runtime/os/ascii.h"

namespace kor::vel {

namespace {

constexpr uint32_t kMaxRecoverSeconds = 3600;

std::string ArgText(const char* text, uint32_t length) {
  return text == nullptr ? std::string() : std::string(text, length);
}

// A whole decimal number, or false.
bool ParseNumber(const std::string& text, unsigned long* value) {
  char* end = nullptr;
  if (text.empty() || text[0] == '-') return false;
  *value = std::strtoul(text.c_str(), &end, 10);
  return end != text.c_str() && *end == '\0';
}

std::string OnOff(bool on) { return on ? "ON" : "OFF"; }

bool IsOpen(const VelBlock& b) { return b.table != nullptr && (b.flags & kVelOpen) != 0; }

// FLAGS[=n]: the statistics flags of an open table; setting is one update.
Status Flags(VelBlock& b, bool setting, const std::string& value, std::string* out) {
  if (!IsOpen(b)) return Status::Ok();
  unsigned long n = 0;
  Status s;
  if (setting && ParseNumber(value, &n) && n <= 0xFFFFFFFFul) {
    s = b.physical->BeginWrite();
    if (s.ok()) s = b.physical->EndWrite(b.table->SetFlags(uint32_t(n)));
    if (!s.ok()) return s;
  }
  uint32_t flags = 0;
  s = b.physical->BeginRead();
  if (s.ok()) s = b.table->Flags(&flags);
  b.physical->EndRead();
  if (s.ok()) *out = std::to_string(flags);
  return s;
}

// PNM=name: the stored name of that table when the open file holds it.
Status StoredName(VelBlock& b, const std::string& name, std::string* out) {
  if (!IsOpen(b)) return Status::Ok();
  std::vector<TableName> tables;
  Status s = b.physical->BeginRead();
  if (s.ok()) s = ListTables(b.physical->store(), &tables);
  b.physical->EndRead();
  for (const TableName& t : tables) {
    if (s.ok() && EqualIgnoringAsciiCase(t.name, TrimBlanks(name))) *out = t.name;
  }
  return s;
}

std::string& ControlFileName() {
  static std::string name;
  return name;
}

}  // namespace

const std::string& ProgramControlFile() { return ControlFileName(); }

Status Send(VelBlock& b, const DriverArgs& args, DriverOutput& out) {
  std::string command = ArgText(args.text, args.text_length);
  size_t eq = command.find('=');
  bool setting = eq != std::string::npos;
  std::string word = AsciiUpperText(TrimBlanks(command.substr(0, eq)));
  std::string value = setting ? std::string(TrimBlanks(command.substr(eq + 1))) : std::string();
  out.text.clear();
  if (word == "TCF") {
    if (setting) ControlFileName() = value;
    out.text = ControlFileName();
    return Status::Ok();
  }
  if (word == "FULLBUILD") {
    if (setting)
      b.flags = AsciiUpperText(value) == "ON" ? b.flags | kVelFullBuild
                                              : b.flags & ~uint32_t{kVelFullBuild};
    out.text = OnOff((b.flags & kVelFullBuild) != 0);
    return Status::Ok();
  }
  if (word == "FLAGS") return Flags(b, setting, value, &out.text);
  if (word == "PNM" && setting) return StoredName(b, value, &out.text);
  if (word == "RECOVER") {
    unsigned long seconds = 0;
    if (setting && ParseNumber(value, &seconds) && seconds <= kMaxRecoverSeconds) {
      b.open_wait_ms = uint32_t(seconds) * 1000u;
      if (b.physical != nullptr) b.physical->set_wait_ms(b.open_wait_ms);
    }
    out.text = std::to_string(b.open_wait_ms / 1000u);
    return Status::Ok();
  }
  return Status::Ok();
}

namespace {

Status KeyProperty(VelBlock& b, bool set, const std::string& name, const std::string& value,
                   const DriverArgs& args, std::string* out) {
  size_t k = 0;
  Status s = KeyIndex(b, args.key, &k);
  if (!s.ok()) return s;
  KeyDescriptor& key = *args.key;
  if (name == "NAME" && !set) {
    *out = key.name == nullptr ? std::string() : std::string(key.name);
  } else if (name == "LABEL" && !set) {
    *out = key.label == nullptr ? std::string() : std::string(key.label, size_t(key.label_length));
  } else if (name == "BUILT") {
    // Only a build-on-demand index may be marked unbuilt: every other key is
    // kept by ADD, PUT and DELETE.
    if (set && (key.attributes & kKeyOnDemand) && AsciiUpperText(value) != "ON") {
      key.state &= ~kKeyBuilt;
    }
    bool built = !(key.attributes & kKeyOnDemand) || (key.state & kKeyBuilt);
    *out = OnOff(built);
  } else {
    return Status::Error(kErrUnsupported);
  }
  return Status::Ok();
}

Status TableProperty(VelBlock& b, bool set, const std::string& name, const std::string& value,
                     std::string* out) {
  if (name == "FULLBUILD") {
    if (set)
      b.flags = AsciiUpperText(value) == "ON" ? b.flags | kVelFullBuild
                                              : b.flags & ~uint32_t{kVelFullBuild};
    *out = OnOff((b.flags & kVelFullBuild) != 0);
  } else if (name == "DEFERBUILD") {
    if (set)
      b.state = AsciiUpperText(value) == "ON" ? b.state | kDeferBuild : b.state & ~kDeferBuild;
    *out = OnOff((b.state & kDeferBuild) != 0);
  } else if (set) {
    return Status::Error(kErrUnsupported);
  } else if (name == "NAME") {
    *out = b.external_name;
  } else if (name == "TABLE") {
    *out = b.table_name;
  } else if (name == "RECORDLENGTH") {
    *out = std::to_string(b.file->record_length);
  } else {
    return Status::Error(kErrUnsupported);
  }
  return Status::Ok();
}

// The BLOB a BLOB operation names (args.index, from 1 among the MEMO and
// BLOB declarations); 80 for a number that is not a BLOB's.
Status BlobOf(VelBlock& b, const DriverArgs& args, Bytes** blob) {
  uint32_t m = uint32_t(args.index) - 1;
  if (args.index < 1 || m >= b.file->memo_count || !(b.file->memos[m]->flags & kMemoBlob)) {
    return Status::Error(kErrUnsupported);
  }
  if (b.blobs.size() < b.file->memo_count) b.blobs.resize(b.file->memo_count);
  *blob = &b.blobs[m];
  return Status::Ok();
}

}  // namespace

Status Property(VelBlock& b, int32_t op, const DriverArgs& args, DriverOutput& out) {
  bool set = op == kOpSET_PROPERTY || op == kOpSETPROPERTYkey;
  std::string name = AsciiUpperText(TrimBlanks(ArgText(args.text, args.text_length)));
  std::string value = ArgText(args.value, args.value_length);
  out.text.clear();
  if (op == kOpSETPROPERTYkey || op == kOpGETPROPERTYkey) {
    return KeyProperty(b, set, name, value, args, &out.text);
  }
  return TableProperty(b, set, name, value, &out.text);
}

Status Blob(VelBlock& b, int32_t op, const DriverArgs& args, DriverOutput& out) {
  Bytes* blob = nullptr;
  Status s = BlobOf(b, args, &blob);
  if (!s.ok()) return s;
  std::string name = AsciiUpperText(TrimBlanks(ArgText(args.text, args.text_length)));
  switch (op) {
    case kOpBLOB_TAKE:
      blob->assign(args.text == nullptr ? nullptr : reinterpret_cast<const uint8_t*>(args.text),
                   args.text == nullptr
                       ? nullptr
                       : reinterpret_cast<const uint8_t*>(args.text) + args.text_length);
      return Status::Ok();
    case kOpBLOB_YIELD: blob->clear(); return Status::Ok();
    case kOpBLOB_SIZE: out.value = intptr_t(blob->size()); return Status::Ok();
    case kOpBLOB_GET_PROP:
    case kOpBLOB_SET_PROP: {
      if (name != "SIZE") return Status::Error(kErrUnsupported);
      unsigned long size = 0;
      std::string value = ArgText(args.value, args.value_length);
      if (op == kOpBLOB_SET_PROP) {
        if (!ParseNumber(std::string(TrimBlanks(value)), &size) || size > 0xFFFFu) {
          return Status::Error(kErrUnsupported);
        }
        blob->resize(size);
      }
      out.text = std::to_string(blob->size());
      return Status::Ok();
    }
    default: return Status::Error(kErrUnsupported);
  }
}

}  // namespace kor::vel
