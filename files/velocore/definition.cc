// The table definition stream's one walking routine (see definition.h).
#include "files/velocore/definition.h"

#include "runtime/values/data_types.h"

namespace kor::vel {

namespace {

enum class Mode { kWrite, kRead, kCompare };

// One position in a stream, moving values in the direction of its mode. In
// compare mode the first difference (outside the tolerances) is remembered
// and everything after it is skipped.
class Walker {
 public:
  Walker(Mode mode, std::vector<uint8_t>* out, const std::vector<uint8_t>* in)
      : mode_(mode), out_(out), in_(in) {}

  bool going() const { return !malformed_ && difference_.empty(); }
  bool malformed() const { return malformed_ || (in_ && going() && at_ != in_->size()); }
  const std::string& difference() const { return difference_; }
  bool reading() const { return mode_ == Mode::kRead; }

  void Byte(uint8_t& v, const std::string& what, uint8_t ignored = 0) {
    if (!going()) return;
    if (mode_ == Mode::kWrite) {
      out_->push_back(v);
      return;
    }
    uint8_t got = 0;
    if (!Get(&got)) return;
    if (mode_ == Mode::kRead) v = got;
    else if ((got & ~ignored) != (v & ~ignored)) difference_ = what;
  }

  void Word(uint16_t& v, const std::string& what, bool tolerated = false) {
    if (!going()) return;
    if (mode_ == Mode::kWrite) {
      out_->push_back(uint8_t(v));
      out_->push_back(uint8_t(v >> 8));
      return;
    }
    uint8_t lo = 0, hi = 0;
    if (!Get(&lo) || !Get(&hi)) return;
    uint16_t got = uint16_t(lo | hi << 8);
    if (mode_ == Mode::kRead) v = got;
    else if (got != v && !tolerated) difference_ = what;
  }

  void Text(OptText& v, const std::string& what) {
    if (!going()) return;
    if (mode_ == Mode::kWrite) {
      if (v && !v->empty()) out_->insert(out_->end(), v->begin(), v->end());
      out_->push_back(0);
      if (!v || v->empty()) out_->push_back(v ? 0 : 1);
      return;
    }
    std::string s;
    while (at_ < in_->size() && (*in_)[at_] != 0) s.push_back(char((*in_)[at_++]));
    if (at_ >= in_->size()) {
      malformed_ = true;
      return;
    }
    ++at_;
    OptText got = s;
    if (s.empty()) {
      if (at_ >= in_->size() || (*in_)[at_] > 1) {
        malformed_ = true;
        return;
      }
      if ((*in_)[at_++] == 1) got = std::nullopt;
    }
    if (mode_ == Mode::kRead) v = got;
    else if (got != v) difference_ = what;
  }

  // A count: in read mode it sizes the vector.
  template <typename T>
  void Count(std::vector<T>& items, const std::string& what) {
    uint16_t n = uint16_t(items.size());
    Word(n, what);
    if (going() && mode_ == Mode::kRead) items.resize(n);
  }

  void Malformed() { malformed_ = true; }

 private:
  bool Get(uint8_t* got) {
    if (at_ >= in_->size()) {
      malformed_ = true;
      return false;
    }
    *got = (*in_)[at_++];
    return true;
  }

  Mode mode_;
  std::vector<uint8_t>* out_;
  const std::vector<uint8_t>* in_;
  size_t at_ = 0;
  bool malformed_ = false;
  std::string difference_;
};

bool IsText(uint8_t type) {
  return type == kTypeString || type == kTypeCString || type == kTypePString;
}

void WalkField(Walker& w, FieldDecl& f) {
  std::string at = "field " + f.name.value_or("?");
  w.Byte(f.type, at + ": type");
  w.Word(f.offset, at + ": offset");
  w.Text(f.name, at + ": name");
  w.Word(f.level, at + ": level");
  w.Word(f.size, at + ": size");
  w.Word(f.marker, at + ": marker");
  w.Word(f.elements, at + ": elements");
  if (f.type == kTypeDecimal || f.type == kTypePDecimal) {
    w.Byte(f.digits, at + ": digits");
    w.Byte(f.places, at + ": places");
  } else if (IsText(f.type)) {
    w.Word(f.characters, at + ": characters");
    w.Text(f.picture, at + ": picture");
  }
}

void WalkKey(Walker& w, KeyDecl& k) {
  std::string at = "key " + k.label.value_or("?");
  w.Text(k.name, at + ": name");
  w.Text(k.label, at + ": label");
  w.Byte(k.attributes, at + ": attributes", kKeyPrimary);
  w.Count(k.components, at + ": component count");
  for (KeyComponent& c : k.components) {
    w.Word(c.field, at + ": component field");
    w.Word(c.flags, at + ": component order");
  }
}

// The routine itself: the same walk writes, reads and compares.
void Walk(Walker& w, TableSchema& t) {
  w.Word(t.version, "version");
  if (w.reading() && w.going() && t.version != 1 && t.version != 2) w.Malformed();
  w.Word(t.record_length, "record length");
  w.Count(t.fields, "field count");
  w.Count(t.memos, "memo count");
  w.Count(t.keys, "key count");
  for (FieldDecl& f : t.fields) WalkField(w, f);
  for (MemoDecl& m : t.memos) {
    std::string at = "memo " + m.label.value_or("?");
    w.Text(m.label, at + ": label");
    w.Text(m.name, at + ": name");
    w.Word(m.size, at + ": size", m.blob());
    w.Word(m.flags, at + ": flags");
  }
  for (KeyDecl& k : t.keys) WalkKey(w, k);
}

}  // namespace

std::vector<uint8_t> WriteDefinition(const TableSchema& schema) {
  std::vector<uint8_t> out;
  Walker w(Mode::kWrite, &out, nullptr);
  TableSchema copy = schema;
  Walk(w, copy);
  return out;
}

Status ReadDefinition(const std::vector<uint8_t>& stream, TableSchema* schema) {
  Walker w(Mode::kRead, nullptr, &stream);
  *schema = TableSchema{};
  Walk(w, *schema);
  return w.malformed() ? Check(kCheckDefinition) : Status::Ok();
}

Status CompareDefinition(const std::vector<uint8_t>& stream, const TableSchema& declared,
                         std::string* why) {
  Walker w(Mode::kCompare, nullptr, &stream);
  TableSchema copy = declared;
  Walk(w, copy);
  if (!w.difference().empty()) {
    *why = w.difference();
    return Status::Error(kErrInvalidRecordDeclaration);
  }
  return w.malformed() ? Check(kCheckDefinition) : Status::Ok();
}

}  // namespace kor::vel
