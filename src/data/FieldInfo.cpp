#include "data/FieldInfo.h"

#include <charconv>
#include <cmath>

#include "data/AbortError.h"
#include "data/FixedText.h"
#include "data/PackedDecimal.h"

namespace upfold {

namespace {

[[noreturn]] void Fail(const std::string& message) {
  throw AbortError(message);
}

// A number written out as the shortest text that reads back as the same double.
std::string NumberText(double value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace

// TFieldInfo

TFieldInfo::TFieldInfo(std::string name, int position, int size, Clock& clock)
    : clock_(clock),
      name_(std::move(name)),
      position_(position),
      size_(size < 0 ? 0 : size),
      value_(size_, ' ') {}

void TFieldInfo::SetValue(std::string_view raw) {
  value_ = LeftFit(raw, size_);
}

void TFieldInfo::StoreText(std::string_view text) {
  if (text.size() > value_.size())
    Fail("The text is longer than the field " + name_ + " (" + std::to_string(size_) +
         " characters).");
  value_ = LeftJust(text, size_);
}

std::int64_t TFieldInfo::ReadInteger() const {
  return 0;
}

void TFieldInfo::Resize(int size) {
  if (size < 0) size = 0;
  if (size == size_) return;
  size_ = size;
  value_.resize(size_, ' ');
}

FieldVariant TFieldInfo::ReadVariant() const {
  return std::string();
}
void TFieldInfo::WriteVariant(const FieldVariant&) {
  Fail("variant");
}
double TFieldInfo::ReadFloat() const {
  return 0;
}
void TFieldInfo::WriteFloat(double) {
  Fail("float");
}
std::string TFieldInfo::ReadText() const {
  return std::string();
}
void TFieldInfo::WriteText(std::string_view) {
  Fail("string");
}
FieldDateTime TFieldInfo::ReadDate() const {
  return clock_.Now();
}
void TFieldInfo::WriteDate(FieldDateTime) {
  Fail("date");
}

// TPacDecFieldInfo

TPacDecFieldInfo::TPacDecFieldInfo(std::string name, int position, int size, int decimals,
                                   Clock& clock)
    : TFieldInfo(std::move(name), position, size, clock), decimals_(decimals) {}

std::int64_t TPacDecFieldInfo::ReadInteger() const {
  const std::optional<std::int64_t> unscaled =
      DecodePackedUnscaled(Value(), PackedSign::NegativeUnlessF);
  if (!unscaled) Fail("The field " + Name() + " does not hold a packed decimal number.");
  return *unscaled;
}

FieldVariant TPacDecFieldInfo::ReadVariant() const {
  return ReadFloat();
}

void TPacDecFieldInfo::WriteVariant(const FieldVariant& value) {
  if (const double* number = std::get_if<double>(&value)) return WriteFloat(*number);
  if (const std::string* text = std::get_if<std::string>(&value)) {
    const std::string trimmed = Trim(*text);
    double number = 0;
    const auto result = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), number);
    if (!trimmed.empty() && result.ec == std::errc() &&
        result.ptr == trimmed.data() + trimmed.size())
      return WriteFloat(number);
  }
  Fail("The value for the field " + Name() + " is not a number.");
}

double TPacDecFieldInfo::ReadFloat() const {
  const std::optional<double> number =
      DecodePacked(Value(), decimals_, PackedSign::NegativeUnlessF);
  if (!number) Fail("The field " + Name() + " does not hold a packed decimal number.");
  return *number;
}

void TPacDecFieldInfo::WriteFloat(double value) {
  const std::optional<std::string> bytes = EncodePacked(value, Size(), decimals_);
  if (!bytes) Fail(kValueExceedsRange);
  SetValue(*bytes);
}

// TStringFieldInfo

FieldVariant TStringFieldInfo::ReadVariant() const {
  return ReadText();
}

void TStringFieldInfo::WriteVariant(const FieldVariant& value) {
  if (const std::string* text = std::get_if<std::string>(&value)) return WriteText(*text);
  if (const double* number = std::get_if<double>(&value)) return WriteText(NumberText(*number));
  Fail("The value for the field " + Name() + " is not a text.");
}

std::string TStringFieldInfo::ReadText() const {
  return Value();
}
void TStringFieldInfo::WriteText(std::string_view text) {
  StoreText(text);
}

// TDateFieldInfo

TDateFieldInfo::TDateFieldInfo(std::string name, int position, int size, const DateFormats& formats,
                               Clock& clock)
    : TFieldInfo(std::move(name), position, size, clock),
      style_(DisplayDateStyle::FromShortDateFormat(formats.shortDate)),
      separator_(formats.dateSeparator) {}

std::optional<std::string> TDateFieldInfo::DisplayText() const {
  return FileDateDisplayText(Value(), style_, separator_);
}

FieldVariant TDateFieldInfo::ReadVariant() const {
  return ReadDate();
}

void TDateFieldInfo::WriteVariant(const FieldVariant& value) {
  if (const FieldDateTime* date = std::get_if<FieldDateTime>(&value)) return WriteDate(*date);
  Fail("The value for the field " + Name() + " is not a date.");
}

void TDateFieldInfo::WriteText(std::string_view text) {
  StoreText(text);
}

FieldDateTime TDateFieldInfo::ReadDate() const {
  const std::optional<CivilDate> date = DecodeFileDate(Value());
  if (!date) return clock_.Now();
  using namespace std::chrono;
  return sys_days{year{date->year} / date->month / date->day};
}

void TDateFieldInfo::WriteDate(FieldDateTime date) {
  using namespace std::chrono;
  const year_month_day ymd{floor<days>(date)};
  const CivilDate civil{static_cast<int>(ymd.year()), static_cast<int>(unsigned(ymd.month())),
                        static_cast<int>(unsigned(ymd.day()))};
  const std::optional<std::string> text = EncodeFileDate(civil);
  if (!text) Fail("Only dates from 1980 to 2079 can be stored in the field " + Name() + ".");
  SetValue(*text);
}

}  // namespace upfold
