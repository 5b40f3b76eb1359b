#include "data/RecordField.h"

#include <cmath>
#include <cstdint>
#include <map>
#include <mutex>

#include "data/FixedText.h"
#include "data/Layout.h"
#include "data/PackedDecimal.h"

namespace upfold {

namespace {

std::uint64_t ReadLittleEndian(std::string_view bytes) {
  std::uint64_t value = 0;
  for (std::size_t i = bytes.size(); i-- > 0;)
    value = (value << 8) | static_cast<unsigned char>(bytes[i]);
  return value;
}

void WriteLittleEndian(std::string& record, int offset, int length, std::uint64_t value) {
  for (int i = 0; i < length; ++i) {
    record[offset + i] = static_cast<char>(value & 0xFF);
    value >>= 8;
  }
}

bool IsWhole(double value, double low, double high) {
  return std::isfinite(value) && value == std::floor(value) && value >= low && value <= high;
}

}  // namespace

std::string_view FieldBytes(std::string_view record, const FieldDef& field) {
  return record.substr(field.offset, field.length);
}

std::optional<double> ReadFieldNumber(std::string_view record, const FieldDef& field) {
  const std::string_view bytes = FieldBytes(record, field);
  switch (field.type) {
    case FieldType::Packed:
      return DecodePacked(bytes, field.decimals, PackedSign::NegativeOnlyD);
    case FieldType::AutoInc:
      return static_cast<double>(ReadLittleEndian(bytes));
    case FieldType::Integer:
      return static_cast<double>(static_cast<std::int16_t>(ReadLittleEndian(bytes)));
    default:
      return std::nullopt;
  }
}

std::optional<CivilDate> ReadFieldDate(std::string_view record, const FieldDef& field) {
  if (field.type != FieldType::Date) return std::nullopt;
  const std::string_view bytes = FieldBytes(record, field);
  const CivilDate date{static_cast<int>(ReadLittleEndian(bytes.substr(2, 2))),
                       static_cast<unsigned char>(bytes[1]), static_cast<unsigned char>(bytes[0])};
  if (date == CivilDate{}) return date;
  if (!IsValidCivilDate(date)) return std::nullopt;
  return date;
}

bool WriteFieldText(std::string& record, const FieldDef& field, std::string_view text) {
  if (field.type != FieldType::Text || text.size() > static_cast<std::size_t>(field.length))
    return false;
  record.replace(field.offset, field.length, LeftJust(text, field.length));
  return true;
}

bool WriteFieldNumber(std::string& record, const FieldDef& field, double value) {
  switch (field.type) {
    case FieldType::Packed: {
      const std::optional<std::string> bytes = EncodePacked(value, field.length, field.decimals);
      if (!bytes) return false;
      record.replace(field.offset, field.length, *bytes);
      return true;
    }
    case FieldType::AutoInc:
      if (!IsWhole(value, 0, 4294967295.0)) return false;
      WriteLittleEndian(record, field.offset, field.length, static_cast<std::uint64_t>(value));
      return true;
    case FieldType::Integer:
      if (!IsWhole(value, -32768, 32767)) return false;
      WriteLittleEndian(record, field.offset, field.length,
                        static_cast<std::uint16_t>(static_cast<std::int16_t>(value)));
      return true;
    default:
      return false;
  }
}

bool WriteFieldDate(std::string& record, const FieldDef& field, const CivilDate& date) {
  if (field.type != FieldType::Date) return false;
  if (date != CivilDate{} && (date.year < 1 || date.year > 9999 || !IsValidCivilDate(date)))
    return false;
  record[field.offset] = static_cast<char>(date.day);
  record[field.offset + 1] = static_cast<char>(date.month);
  WriteLittleEndian(record, field.offset + 2, 2, static_cast<std::uint64_t>(date.year));
  return true;
}

namespace {

std::string MakeEmptyRecord(const Layout& layout) {
  std::string record(layout.recordLength, '\0');
  for (const FieldDef& field : layout.fields) {
    if (field.type == FieldType::Text)
      record.replace(field.offset, field.length, field.length, ' ');
    else if (field.type == FieldType::Packed)
      WriteFieldNumber(record, field, 0);
  }
  return record;
}

}  // namespace

std::string EmptyRecord(const Layout& layout) {
  // Every lookup and every new record starts from one: those of the program's own layouts
  // are made once.
  if (FindLayout(layout.name) != &layout) return MakeEmptyRecord(layout);
  static std::mutex mutex;
  static std::map<const Layout*, std::string> made;
  const std::lock_guard<std::mutex> guard(mutex);
  auto [at, added] = made.try_emplace(&layout);
  if (added) at->second = MakeEmptyRecord(layout);
  return at->second;
}

}  // namespace upfold
