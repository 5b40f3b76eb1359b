#pragma once
// Records as JSON objects, one member per layout field under the field's exact name. Texts are
// JSON strings (UTF-8 in JSON, Windows-1252 in the record), packed, integer and auto-increment
// fields are numbers, 4-byte dates are "YYYY-MM-DD" strings.

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "data/Layout.h"

namespace upfold::mfrec {

// Why a JSON value could not become a record: the member concerned (empty when the value is
// not an object) and the reason.
struct JsonRecordError {
  std::string field;
  std::string reason;
};

// Builds a record from an object. Fields left out (or null) stay empty: texts blank, numbers
// and dates zero, so the record manager assigns the auto-increment value. On the first member
// that cannot be stored, returns false and describes it in `error`.
bool RecordFromJson(const Layout& layout, const nlohmann::json& object, std::string& record,
                    JsonRecordError& error);

// Every field of the record in layout order: texts exactly as stored, packed fields as the
// tables read them, the empty date as null. A field whose bytes hold no value of its type
// (garbage in a packed field, an impossible date) is null and named in `problems`.
nlohmann::ordered_json RecordToJson(const Layout& layout, std::string_view record,
                                    std::vector<std::string>& problems);

}  // namespace upfold::mfrec
