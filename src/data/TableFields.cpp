// Field access of Table: reading and writing the presented record by field name.

#include <utility>

#include "data/FixedText.h"
#include "data/Layout.h"
#include "data/RecordField.h"
#include "data/Table.h"
#include "data/TableKey.h"

namespace upfold {

namespace {

std::string Quoted(std::string_view name) {
  return "'" + std::string(name) + "'";
}

}  // namespace

const FieldDef* Table::FindDataField(std::string_view field) const {
  if (!layout_) return nullptr;
  if (const FieldDef* exact = layout_->Field(field)) return exact;
  return layout_->FieldNoCase(field);
}

const FieldDef& Table::DataField(std::string_view field) const {
  const FieldDef* def = FindDataField(field);
  if (!def) Fail("Field " + Quoted(field) + " not found");
  return *def;
}

const Table::CalcField* Table::FindCalcField(std::string_view field) const {
  for (const CalcField& calc : calcFields_)
    if (calc.name == field) return &calc;
  return nullptr;
}

Table::CalcField* Table::FindCalcField(std::string_view field) {
  return const_cast<CalcField*>(std::as_const(*this).FindCalcField(field));
}

bool Table::HasField(std::string_view field) const {
  return FindDataField(field) != nullptr || FindCalcField(field) != nullptr;
}

std::string Table::AsString(std::string_view field) const {
  CheckActive();
  if (const CalcField* calc = FindCalcField(field)) return calc->value;
  const FieldDef& def = DataField(field);
  if (record_.empty()) return {};
  switch (def.type) {
    case FieldType::Text:
      return std::string(FieldBytes(record_, def));
    case FieldType::Date: {
      const CivilDate date = AsDate(field);
      return date == CivilDate{} ? std::string() : FormatShortDate(date, formats_);
    }
    default:
      return PlainNumberText(AsFloat(field));
  }
}

double Table::AsFloat(std::string_view field) const {
  CheckActive();
  if (const CalcField* calc = FindCalcField(field)) {
    if (const std::optional<double> number = ParseNumberText(calc->value)) return *number;
    Fail("Field " + Quoted(field) + " holds no number");
  }
  const FieldDef& def = DataField(field);
  if (record_.empty()) return 0;
  std::optional<double> number;
  if (def.type == FieldType::Text)
    number = ParseNumberText(FieldBytes(record_, def));
  else if (def.type == FieldType::Date)
    Fail("Field " + Quoted(field) + " is a date, not a number");
  else
    number = ReadFieldNumber(record_, def);
  if (!number) Fail("Field " + Quoted(field) + " holds no number");
  return *number;
}

CivilDate Table::AsDate(std::string_view field) const {
  CheckActive();
  const FieldDef& def = DataField(field);
  if (def.type != FieldType::Date) Fail("Field " + Quoted(field) + " is not a date field");
  if (record_.empty()) return {};
  const std::optional<CivilDate> date = ReadFieldDate(record_, def);
  if (!date) Fail("Field " + Quoted(field) + " holds no date");
  return *date;
}

void Table::SetAsString(std::string_view field, std::string_view text) {
  if (CalcField* calc = FindCalcField(field)) {
    CheckActive();
    calc->value = std::string(text.substr(0, calc->size));
    return;
  }
  CheckEditing();
  const FieldDef& def = DataField(field);
  std::string record = record_;
  switch (def.type) {
    case FieldType::Text:
      if (!WriteFieldText(record, def, text))
        Fail("The text is longer than field " + Quoted(field) + " (" + std::to_string(def.length) +
             " characters)");
      break;
    case FieldType::Date: {
      std::optional<CivilDate> date = CivilDate{};
      if (!Trim(text).empty()) date = ParseShortDate(std::string(text), formats_);
      if (!date || !WriteFieldDate(record, def, *date))
        Fail(Quoted(text) + " is not a valid date for field " + Quoted(field));
      break;
    }
    default: {
      std::optional<double> number = 0.0;
      if (!Trim(text).empty()) number = ParseNumberText(text);
      if (!number) Fail(Quoted(text) + " is not a valid number for field " + Quoted(field));
      return SetAsFloat(field, *number);
    }
  }
  record_ = std::move(record);
  modified_ = true;
}

void Table::SetAsFloat(std::string_view field, double value) {
  if (FindCalcField(field)) return SetAsString(field, PlainNumberText(value));
  CheckEditing();
  const FieldDef& def = DataField(field);
  if (def.type == FieldType::Text) return SetAsString(field, PlainNumberText(value));
  if (def.type == FieldType::Date) Fail("Field " + Quoted(field) + " is a date, not a number");
  if (!WriteFieldNumber(record_, def, value))
    Fail("The value " + PlainNumberText(value) + " is out of range for field " + Quoted(field));
  modified_ = true;
}

void Table::SetAsDate(std::string_view field, const CivilDate& date) {
  if (FindCalcField(field))
    return SetAsString(field,
                       date == CivilDate{} ? std::string() : FormatShortDate(date, formats_));
  CheckEditing();
  const FieldDef& def = DataField(field);
  if (def.type != FieldType::Date) Fail("Field " + Quoted(field) + " is not a date field");
  if (!WriteFieldDate(record_, def, date)) Fail("The date is not valid for field " + Quoted(field));
  modified_ = true;
}

void Table::SetRecord(std::string_view bytes) {
  CheckEditing();
  if (bytes.size() != record_.size())
    Fail("A record of " + std::to_string(bytes.size()) + " bytes given for records of " +
         std::to_string(record_.size()));
  record_ = std::string(bytes);
  modified_ = true;
}

}  // namespace upfold
