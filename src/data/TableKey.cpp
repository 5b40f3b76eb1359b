#include "data/TableKey.h"

#include <charconv>
#include <cmath>

#include "data/FixedText.h"
#include "data/Layout.h"
#include "data/RecordField.h"
#include "data/Table.h"

namespace upfold {

namespace tablekey {

namespace {

// The layout's field that the segment covers exactly; nullptr for a segment over several.
const FieldDef* FieldOf(const Layout& layout, const KeySegment& segment) {
  for (const FieldDef& field : layout.fields)
    if (field.offset == segment.offset && field.length == segment.length) return &field;
  return nullptr;
}

std::string FieldLabel(const FieldDef* field, const KeySegment& segment) {
  return field ? std::string(field->name) : "at offset " + std::to_string(segment.offset);
}

[[noreturn]] void WrongKind(const std::string& table, const FieldDef* field,
                            const KeySegment& segment, const std::string& what) {
  throw TableError(table + ": " + what + " for the key field " + FieldLabel(field, segment));
}

std::string TextOf(const KeyValue& value, const std::string& table, const FieldDef* field,
                   const KeySegment& segment) {
  if (const auto* text = std::get_if<std::string>(&value.Value())) return *text;
  if (const auto* number = std::get_if<double>(&value.Value())) return PlainNumberText(*number);
  WrongKind(table, field, segment, "a date is no value");
}

double NumberOf(const KeyValue& value, const std::string& table, const FieldDef* field,
                const KeySegment& segment) {
  if (const auto* number = std::get_if<double>(&value.Value())) return *number;
  if (const auto* text = std::get_if<std::string>(&value.Value())) {
    if (const std::optional<double> parsed = ParseNumberText(*text)) return *parsed;
    WrongKind(table, field, segment, "'" + *text + "' is not a number");
  }
  WrongKind(table, field, segment, "a date is no value");
}

}  // namespace

Fit Put(std::string& record, const Layout& layout, const KeySegment& segment, const KeyValue& value,
        const std::string& table) {
  const FieldDef* field = FieldOf(layout, segment);
  if (!field) {
    // Adjacent text fields joined into one segment take one text of the whole width.
    if (segment.type != KeyType::String)
      WrongKind(table, field, segment, "no layout field matches the key segment");
    const std::string text = TextOf(value, table, field, segment);
    if (text.size() > segment.length) return Fit::TooLarge;
    record.replace(segment.offset, segment.length, LeftJust(text, segment.length));
    return Fit::Stored;
  }
  bool stored = false;
  switch (field->type) {
    case FieldType::Text:
      stored = WriteFieldText(record, *field, TextOf(value, table, field, segment));
      break;
    case FieldType::Packed:
    case FieldType::Integer:
    case FieldType::AutoInc:
      stored = WriteFieldNumber(record, *field, NumberOf(value, table, field, segment));
      break;
    case FieldType::Date: {
      const auto* date = std::get_if<CivilDate>(&value.Value());
      if (!date) WrongKind(table, field, segment, "only a date is a value");
      stored = WriteFieldDate(record, *field, *date);
      break;
    }
  }
  return stored ? Fit::Stored : Fit::TooLarge;
}

void PutLowest(std::string& record, const KeySegment& segment) {
  const std::size_t at = segment.offset;
  const std::size_t n = segment.length;
  switch (segment.type) {
    case KeyType::Integer:  // the most negative number: little-endian 0x80 00 .. 00
      record.replace(at, n, n, '\0');
      record[at + n - 1] = static_cast<char>(0x80);
      return;
    case KeyType::Decimal:  // all nines, negative
      record.replace(at, n, n, static_cast<char>(0x99));
      record[at + n - 1] = static_cast<char>(0x9D);
      return;
    default:  // texts, unsigned numbers and dates: zero bytes
      record.replace(at, n, n, '\0');
      return;
  }
}

}  // namespace tablekey

std::string PlainNumberText(double value) {
  if (value == 0) return "0";  // never "-0"
  char buffer[400];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  if (result.ec != std::errc()) result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::optional<double> ParseNumberText(std::string_view text) {
  std::string trimmed = Trim(text);
  std::string_view digits = trimmed;
  if (!digits.empty() && digits.front() == '+') {
    digits.remove_prefix(1);
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) return std::nullopt;
  }
  if (digits.empty()) return std::nullopt;
  double number = 0;
  const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (result.ec != std::errc() || result.ptr != digits.data() + digits.size() ||
      !std::isfinite(number))
    return std::nullopt;
  return number;
}

}  // namespace upfold
