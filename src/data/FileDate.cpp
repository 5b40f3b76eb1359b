#include "data/FileDate.h"

#include <cctype>

namespace upfold {

namespace {

constexpr int kFirstYear = 1980;
constexpr int kLastYear = 2079;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

int TwoDigits(std::string_view text) {
  return (text[0] - '0') * 10 + (text[1] - '0');
}

std::string Pad2(int value) {
  return {static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)};
}

}  // namespace

std::optional<CivilDate> DecodeFileDate(std::string_view fileDate) {
  if (fileDate.size() != 6) return std::nullopt;
  for (char c : fileDate)
    if (!IsDigit(c)) return std::nullopt;
  CivilDate date{kFirstYear + TwoDigits(fileDate.substr(0, 2)), TwoDigits(fileDate.substr(2, 2)),
                 TwoDigits(fileDate.substr(4, 2))};
  if (!IsValidCivilDate(date)) return std::nullopt;
  return date;
}

std::optional<std::string> EncodeFileDate(const CivilDate& date) {
  if (date.year < kFirstYear || date.year > kLastYear || !IsValidCivilDate(date))
    return std::nullopt;
  return Pad2(date.year - kFirstYear) + Pad2(date.month) + Pad2(date.day);
}

DisplayDateStyle DisplayDateStyle::FromShortDateFormat(std::string_view shortDateFormat) {
  DisplayDateStyle style;
  std::string upper;
  for (char c : shortDateFormat)
    upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (!upper.empty() && (upper[0] == 'D' || upper[0] == 'M' || upper[0] == 'Y'))
    style.order = upper[0];
  style.fourDigitYear = upper.find("YYYY") != std::string::npos;
  return style;
}

std::optional<std::string> FileDateDisplayText(std::string_view fileDate,
                                               const DisplayDateStyle& style,
                                               std::string_view separator) {
  if (!style.fourDigitYear && fileDate == "      ") return std::string(8, ' ');
  if (fileDate.size() != 6 || !IsDigit(fileDate[0]) || !IsDigit(fileDate[1])) return std::nullopt;
  const int year = kFirstYear + TwoDigits(fileDate);
  const std::string yearText = style.fourDigitYear ? std::to_string(year) : Pad2(year % 100);
  const std::string month(fileDate.substr(2, 2));
  const std::string day(fileDate.substr(4, 2));
  const std::string sep(separator);
  switch (style.order) {
    case 'M':
      return month + sep + day + sep + yearText;
    case 'Y':
      return yearText + sep + month + sep + day;
    default:
      return day + sep + month + sep + yearText;
  }
}

}  // namespace upfold
