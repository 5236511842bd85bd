// A table's declaration as JSON, both ways, for the velocore tool's schema
// and load commands:
//   {"table": "PEOPLE", "oem": false, "version": 1, "record_length": 40,
//    "fields": [{"name": "SMP:ID", "type": "LONG", "offset": 0, "size": 4,
//                "level": 0, "elements": 1, "marker": 0,
//                "digits": 7, "places": 2,            (DECIMAL)
//                "characters": 20, "picture": "@s20"} (strings; null = none)],
//    "memos": [{"label": "SMP:NOTES", "name": "notes", "size": 300,
//               "binary": false, "blob": false}],
//    "keys": [{"label": "SMP:IDKEY", "name": null, "attributes": 16,
//              "dup": false, "opt": false, "nocase": false, "primary": true,
//              "components": [{"field": "SMP:ID", "descending": false}]}]}
// Reading takes "attributes" when present, else builds it from the flags.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "files/velocore/schema.h"

namespace velocore_tool {

nlohmann::json SchemaToJson(const std::string& table, const kor::vel::TableSchema& schema,
                            bool oem);
// False with *error naming the first thing wrong.
bool SchemaFromJson(const nlohmann::json& j, kor::vel::TableSchema* schema, bool* oem,
                    std::string* error);

}  // namespace velocore_tool
