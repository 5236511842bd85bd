// Key value images (see key_image.h for the transformations).
#include "files/velocore/key_image.h"

#include <algorithm>

#include "runtime/values/data_types.h"

namespace kor::vel {

namespace {

void Complement(uint8_t* p, size_t n) {
  for (size_t i = 0; i < n; ++i) p[i] = uint8_t(~p[i]);
}

void Transform(uint8_t type, uint8_t* c, uint32_t size) {
  switch (type) {
    case kTypeUShort:
    case kTypeULong:
    case kTypeDate:
    case kTypeTime: std::reverse(c, c + size); break;
    case kTypeShort:
    case kTypeLong:
      std::reverse(c, c + size);
      c[0] ^= 0x80;
      break;
    case kTypeSReal:
    case kTypeReal:
      std::reverse(c, c + size);
      if (c[0] & 0x80) Complement(c, size);
      else c[0] |= 0x80;
      break;
    case kTypeDecimal:
      if (c[0] >> 4) {
        c[0] &= 0x0F;
        Complement(c, size);
      }
      c[0] ^= 0x80;
      break;
    default: break;
  }
}

bool IsCollated(uint8_t type) {
  return type == kTypeString || type == kTypeGroup || type == kTypeCString || type == kTypePString;
}

}  // namespace

void AppendComponentImage(uint8_t type, const uint8_t* p, uint32_t size, bool descending,
                          bool nocase, const KeyCollation& collation, std::vector<uint8_t>* out) {
  size_t at = out->size();
  if (type == kTypeCString) {
    uint32_t n = 0;
    while (n < size && p[n] != 0) ++n;
    out->insert(out->end(), p, p + n);
    out->resize(at + size, 0);
  } else if (type == kTypePString) {
    uint32_t n = size ? std::min<uint32_t>(p[0], size - 1) : 0;
    out->insert(out->end(), p + 1, p + 1 + n);
    out->resize(at + size, 0);
  } else {
    out->insert(out->end(), p, p + size);
  }
  uint8_t* c = out->data() + at;
  if (IsCollated(type)) {
    CollateKeyBytes(*collation.tables, collation.oem, nocase, c, size);
  } else {
    Transform(type, c, size);
  }
  if (descending) Complement(c, size);
}

std::vector<uint8_t> KeyImage(const TableSchema& schema, const KeyDecl& key, const uint8_t* record,
                              const KeyCollation& collation) {
  std::vector<uint8_t> image;
  AppendKeyImage(schema, key, record, collation, &image);
  return image;
}

void AppendKeyImage(const TableSchema& schema, const KeyDecl& key, const uint8_t* record,
                    const KeyCollation& collation, std::vector<uint8_t>* out) {
  bool nocase = key.attributes & kKeyNoCase;
  for (const KeyComponent& c : key.components) {
    const FieldDecl& f = schema.fields[c.field];
    AppendComponentImage(f.type, record + f.offset, f.size, c.descending(), nocase, collation, out);
  }
}

bool KeyComponentsEmpty(const TableSchema& schema, const KeyDecl& key, const uint8_t* record) {
  for (const KeyComponent& c : key.components) {
    const FieldDecl& f = schema.fields[c.field];
    const uint8_t* p = record + f.offset;
    if (f.type == kTypeCString || f.type == kTypePString) {
      if (f.size && p[0] != 0) return false;
      continue;
    }
    uint8_t blank = (f.type == kTypeString || f.type == kTypeGroup) ? ' ' : 0;
    if (!std::all_of(p, p + f.size, [&](uint8_t b) { return b == blank; })) return false;
  }
  return true;
}

}  // namespace kor::vel
