#include "JsonRecord.h"

#include <cstdio>

#include "data/PackedDecimal.h"
#include "data/RecordField.h"
#include "platform/TextEncoding.h"

namespace upfold::mfrec {

namespace {

std::string DateText(const CivilDate& date) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

// "YYYY-MM-DD" exactly, as a calendar date.
std::optional<CivilDate> ParseDate(const std::string& text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
  const CivilDate date{std::stoi(text.substr(0, 4)), std::stoi(text.substr(5, 2)),
                       std::stoi(text.substr(8, 2))};
  if (!IsValidCivilDate(date)) return std::nullopt;
  return date;
}

// Stores one member; an empty result is success, else the reason.
std::string StoreField(const FieldDef& field, const nlohmann::json& value, std::string& record) {
  switch (field.type) {
    case FieldType::Text: {
      if (!value.is_string()) return "takes a text";
      const std::string& utf8 = value.get_ref<const std::string&>();
      if (!FitsCp1252(utf8)) return "holds a character that Windows-1252 cannot hold";
      const std::string text = Utf8ToCp1252(utf8);
      if (!WriteFieldText(record, field, text))
        return "text of " + std::to_string(text.size()) + " characters is longer than the field (" +
               std::to_string(field.length) + ")";
      return {};
    }
    case FieldType::Packed:
    case FieldType::Integer:
    case FieldType::AutoInc: {
      if (!value.is_number()) return "takes a number";
      if (WriteFieldNumber(record, field, value.get<double>())) return {};
      const std::string number = value.dump();
      if (field.type == FieldType::Packed)
        return number + " does not fit the field (" + std::to_string(2 * field.length - 1) +
               " digits, " + std::to_string(field.decimals) + " decimals)";
      if (field.type == FieldType::Integer)
        return number + " is not a whole number from -32768 to 32767";
      return number + " is not a whole number from 0 to 4294967295";
    }
    case FieldType::Date: {
      if (!value.is_string()) return "takes a date \"YYYY-MM-DD\"";
      const std::string& text = value.get_ref<const std::string&>();
      const std::optional<CivilDate> date = text.empty() ? CivilDate{} : ParseDate(text);
      if (!date || !WriteFieldDate(record, field, *date))
        return "\"" + text + "\" is not a valid date (YYYY-MM-DD)";
      return {};
    }
  }
  return "has an unknown type";
}

}  // namespace

bool RecordFromJson(const Layout& layout, const nlohmann::json& object, std::string& record,
                    JsonRecordError& error) {
  record = EmptyRecord(layout);
  if (!object.is_object()) {
    error = {"", "not a JSON object"};
    return false;
  }
  for (const auto& [name, value] : object.items()) {
    const FieldDef* field = layout.Field(name);
    if (!field) {
      error = {name, "no such field in layout " + std::string(layout.name)};
      if (const FieldDef* near = layout.FieldNoCase(name))
        error.reason += " (did you mean \"" + std::string(near->name) + "\"?)";
      return false;
    }
    if (value.is_null()) continue;
    const std::string reason = StoreField(*field, value, record);
    if (!reason.empty()) {
      error = {name, reason};
      return false;
    }
  }
  return true;
}

nlohmann::ordered_json RecordToJson(const Layout& layout, std::string_view record,
                                    std::vector<std::string>& problems) {
  nlohmann::ordered_json object = nlohmann::ordered_json::object();
  for (const FieldDef& field : layout.fields) {
    const std::string name(field.name);
    nlohmann::ordered_json& out = object[name];
    switch (field.type) {
      case FieldType::Text:
        out = Cp1252ToUtf8(std::string(FieldBytes(record, field)));
        break;
      case FieldType::Packed:
      case FieldType::Integer:
      case FieldType::AutoInc: {
        const std::optional<double> number = ReadFieldNumber(record, field);
        if (!number)
          problems.push_back("field \"" + name + "\" does not hold a packed decimal number");
        else if (field.type == FieldType::Packed && field.decimals > 0)
          out = *number;
        else
          out = static_cast<std::int64_t>(*number);
        break;
      }
      case FieldType::Date: {
        const std::optional<CivilDate> date = ReadFieldDate(record, field);
        if (!date)
          problems.push_back("field \"" + name + "\" does not hold a date");
        else if (*date != CivilDate{})
          out = DateText(*date);
        break;
      }
    }
  }
  return object;
}

}  // namespace upfold::mfrec
