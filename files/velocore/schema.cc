// Building and checking table schemas.
#include "files/velocore/schema.h"

#include "files/velocore/format.h"

namespace kor::vel {

namespace {

OptText Text(const char* p) { return p ? OptText(p) : std::nullopt; }

uint16_t Elements(const FieldDescriptor& f) {
  uint32_t n = 1;
  for (uint8_t i = 0; i < f.dim_count && f.dims; ++i) n *= f.dims[i];
  return uint16_t(n);
}

bool Accepted(uint8_t type) {
  switch (type) {
    case kTypeByte:
    case kTypeShort:
    case kTypeUShort:
    case kTypeDate:
    case kTypeTime:
    case kTypeLong:
    case kTypeULong:
    case kTypeSReal:
    case kTypeReal:
    case kTypeDecimal:
    case kTypeString:
    case kTypeCString:
    case kTypePString:
    case kTypeGroup:
    case kTypeArray: return true;
    default: return false;
  }
}

bool IsText(uint8_t type) {
  return type == kTypeString || type == kTypeCString || type == kTypePString;
}

}  // namespace

TableSchema SchemaFromDescriptor(const FileDescriptor& file) {
  TableSchema t;
  t.record_length = uint16_t(file.record_length);
  for (size_t i = 0, n = FieldCount(file); i < n; ++i) {
    const FieldDescriptor& f = file.fields[i];
    FieldDecl d;
    d.type = f.type;
    d.offset = uint16_t(f.offset);
    d.name = Text(f.label);
    d.level = f.level;
    d.elements = Elements(f);
    d.size = uint16_t(f.size * (f.type == kTypeGroup ? 1 : d.elements));
    d.marker = f.marker;
    d.digits = f.digits;
    d.places = f.places;
    if (IsText(f.type)) {
      d.characters = uint16_t(f.type == kTypeString ? f.size : f.size - (f.size > 0));
      d.picture = Text(f.picture);
    }
    t.fields.push_back(d);
  }
  for (uint32_t i = 0; i < file.memo_count; ++i) {
    const MemoDescriptor& m = *file.memos[i];
    uint16_t flags = uint16_t(((m.flags & kMemoBinary) ? kStreamBinary : 0) |
                              ((m.flags & kMemoBlob) ? kStreamBlob : 0));
    t.memos.push_back({Text(m.label), Text(m.name), uint16_t(m.size), flags});
  }
  for (uint32_t i = 0; i < file.key_count; ++i) {
    const KeyDescriptor& k = *file.keys[i];
    KeyDecl d{Text(k.name), Text(k.label), uint8_t(k.attributes & 0xFF), {}};
    for (uint8_t c = 0; c < k.component_count; ++c) {
      int32_t v = k.components[c];
      uint16_t field = uint16_t((v < 0 ? -v : v) - 1);
      d.components.push_back({field, uint16_t(v < 0 ? 1 : 0)});
    }
    t.keys.push_back(d);
  }
  return t;
}

uint32_t KeyImageSize(const TableSchema& schema, const KeyDecl& key) {
  uint32_t n = 0;
  for (const KeyComponent& c : key.components) n += schema.fields[c.field].size;
  return n;
}

Status ValidateSchema(const TableSchema& t, std::string* why) {
  auto fail = [&](std::string text) {
    *why = std::move(text);
    return Status::Error(kErrInvalidRecordDeclaration);
  };
  if (t.record_length == 0 || t.record_length + 9u > kMaxRecordBytes) {
    return fail("record length must be 1 to " + std::to_string(kMaxRecordBytes - 9));
  }
  for (const FieldDecl& f : t.fields) {
    std::string name = f.name.value_or("?");
    if (!Accepted(f.type)) return fail("field " + name + ": type not supported");
    if (f.size == 0 || f.offset + f.size > t.record_length) {
      return fail("field " + name + ": outside the record");
    }
  }
  if (t.keys.size() > kMaxKeys) return fail("too many keys");
  for (const KeyDecl& k : t.keys) {
    std::string name = k.label.value_or("?");
    if (k.components.empty()) return fail("key " + name + ": no components");
    for (const KeyComponent& c : k.components) {
      if (c.field >= t.fields.size()) return fail("key " + name + ": no such field");
    }
    if (4 + 1 + KeyImageSize(t, k) + 4 + 4 > kMaxRecordBytes)
      return fail("key " + name + " too long");
  }
  return Status::Ok();
}

}  // namespace kor::vel
