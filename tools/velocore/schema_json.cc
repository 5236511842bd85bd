// Table declarations as JSON (see schema_json.h).
#include "tools/velocore/schema_json.h"

#include "runtime/values/data_types.h"

namespace velocore_tool {

using kor::vel::FieldDecl;
using kor::vel::KeyDecl;
using kor::vel::MemoDecl;
using kor::vel::OptText;
using kor::vel::TableSchema;
using nlohmann::json;

namespace {

json Text(const OptText& t) { return t ? json(*t) : json(nullptr); }

OptText TextOf(const json& j, const char* key) {
  if (!j.contains(key) || j[key].is_null()) return std::nullopt;
  return j[key].get<std::string>();
}

int TypeCode(const std::string& name) {
  for (int code = 1; code <= 31; ++code) {
    if (name == kor::TypeCodeName(code)) return code;
  }
  return -1;
}

}  // namespace

json SchemaToJson(const std::string& table, const TableSchema& t, bool oem) {
  json fields = json::array(), memos = json::array(), keys = json::array();
  for (const FieldDecl& f : t.fields) {
    json jf = {{"name", Text(f.name)}, {"type", kor::TypeCodeName(f.type)},
               {"offset", f.offset},   {"size", f.size},
               {"level", f.level},     {"elements", f.elements},
               {"marker", f.marker}};
    if (f.type == kor::kTypeDecimal || f.type == kor::kTypePDecimal) {
      jf["digits"] = f.digits;
      jf["places"] = f.places;
    }
    if (f.type == kor::kTypeString || f.type == kor::kTypeCString || f.type == kor::kTypePString) {
      jf["characters"] = f.characters;
      jf["picture"] = Text(f.picture);
    }
    fields.push_back(jf);
  }
  for (const MemoDecl& m : t.memos) {
    memos.push_back({{"label", Text(m.label)},
                     {"name", Text(m.name)},
                     {"size", m.size},
                     {"binary", m.binary()},
                     {"blob", m.blob()}});
  }
  for (const KeyDecl& k : t.keys) {
    json components = json::array();
    for (const auto& c : k.components) {
      components.push_back(
          {{"field", Text(t.fields[c.field].name)}, {"descending", c.descending()}});
    }
    keys.push_back({{"label", Text(k.label)},
                    {"name", Text(k.name)},
                    {"attributes", k.attributes},
                    {"dup", bool(k.attributes & kor::kKeyDup)},
                    {"opt", bool(k.attributes & kor::kKeyOpt)},
                    {"nocase", bool(k.attributes & kor::kKeyNoCase)},
                    {"primary", bool(k.attributes & kor::kKeyPrimary)},
                    {"components", components}});
  }
  return {{"table", table},       {"oem", oem},
          {"version", t.version}, {"record_length", t.record_length},
          {"fields", fields},     {"memos", memos},
          {"keys", keys}};
}

bool SchemaFromJson(const json& j, TableSchema* t, bool* oem, std::string* error) {
  try {
    *t = TableSchema{};
    *oem = j.value("oem", false);
    t->version = j.value("version", uint16_t(1));
    t->record_length = j.at("record_length").get<uint16_t>();
    for (const json& jf : j.at("fields")) {
      FieldDecl f;
      f.name = TextOf(jf, "name");
      int type = TypeCode(jf.at("type").get<std::string>());
      if (type < 0) {
        *error = "field " + f.name.value_or("?") + ": unknown type " + jf.at("type").dump();
        return false;
      }
      f.type = uint8_t(type);
      f.offset = jf.at("offset").get<uint16_t>();
      f.size = jf.at("size").get<uint16_t>();
      f.level = jf.value("level", uint16_t(0));
      f.elements = jf.value("elements", uint16_t(1));
      f.marker = jf.value("marker", uint16_t(0));
      f.digits = jf.value("digits", uint8_t(0));
      f.places = jf.value("places", uint8_t(0));
      f.characters = jf.value("characters", uint16_t(0));
      f.picture = TextOf(jf, "picture");
      t->fields.push_back(f);
    }
    for (const json& jm : j.value("memos", json::array())) {
      uint16_t flags = uint16_t((jm.value("binary", false) ? kor::vel::kStreamBinary : 0) |
                                (jm.value("blob", false) ? kor::vel::kStreamBlob : 0));
      t->memos.push_back(
          {TextOf(jm, "label"), TextOf(jm, "name"), jm.at("size").get<uint16_t>(), flags});
    }
    for (const json& jk : j.value("keys", json::array())) {
      KeyDecl k{TextOf(jk, "name"), TextOf(jk, "label"), 0, {}};
      if (jk.contains("attributes")) {
        k.attributes = jk["attributes"].get<uint8_t>();
      } else {
        k.attributes = uint8_t((jk.value("dup", false) ? kor::kKeyDup : 0) |
                               (jk.value("opt", false) ? kor::kKeyOpt : 0) |
                               (jk.value("nocase", false) ? kor::kKeyNoCase : 0) |
                               (jk.value("primary", false) ? kor::kKeyPrimary : 0));
      }
      for (const json& jc : jk.at("components")) {
        std::string field = jc.at("field").get<std::string>();
        size_t i = 0;
        while (i < t->fields.size() && t->fields[i].name != field) ++i;
        if (i == t->fields.size()) {
          *error = "key " + k.label.value_or("?") + ": no field " + field;
          return false;
        }
        k.components.push_back({uint16_t(i), uint16_t(jc.value("descending", false) ? 1 : 0)});
      }
      t->keys.push_back(k);
    }
  } catch (const json::exception& e) {
    *error = e.what();
    return false;
  }
  return true;
}

}  // namespace velocore_tool
