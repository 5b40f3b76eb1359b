#include "app/DateConversions.h"

#include <cctype>
#include <cstdio>
#include <optional>

#include "app/Ui.h"

namespace upfold {

namespace {

std::string TrimBlanks(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
  return text.substr(begin, end - begin);
}

bool IsSixDigits(const std::string& text) {
  if (text.size() != 6) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

enum class DayMonthOrder { DayFirst, MonthFirst };

// Order of day and month in a display date: from the first letter of the short date format
// ("d..." or "M..."); for a format that starts with the year (yyyy-MM-dd) from the order in
// which day and month appear in it, month first when neither does. An empty format gives no
// order at all.
std::optional<DayMonthOrder> OrderOf(const std::string& shortDate) {
  if (shortDate.empty()) return std::nullopt;
  const char first = static_cast<char>(std::toupper(static_cast<unsigned char>(shortDate[0])));
  if (first == 'D') return DayMonthOrder::DayFirst;
  if (first == 'M') return DayMonthOrder::MonthFirst;
  const std::size_t day = shortDate.find_first_of("dD");
  const std::size_t month = shortDate.find_first_of("mM");
  return day < month ? DayMonthOrder::DayFirst : DayMonthOrder::MonthFirst;
}

struct DisplayStyle {
  bool fourDigitYear;
  // Texts of the messages; they differ slightly between the two conversions.
  const char* notDigitsText;
  const char* orderFailureSeparator;
  const char* orderFailureFallback;
};

constexpr const char* kLengthText = "Invalid MF file date length - Must be 6 integers. (";
constexpr const char* kIntegerText = "Invalid MF file date - must be 6 integers. (";

constexpr DisplayStyle kLongStyle{true, kIntegerText,
                                  ". MF file date = ", "Date 01/01/1981 will be used. "};
constexpr DisplayStyle kShortStyle{false, kLengthText,
                                   ".  MF file date = ", "Date 01/01/81 will be used. "};

std::string ToDisplayDate(const std::string& fileDate, bool quiet, const DateFormats& formats,
                          Ui& ui, const DisplayStyle& style) {
  const auto refuse = [&](const std::string& message) {
    if (!quiet) ui.Error(message + kContactLine);
    return std::string(kFallbackDisplayDate);
  };
  const std::string digits = TrimBlanks(fileDate);
  const std::string cannotConvert =
      ")  Can't convert to MF display date. Date 01/01/81 will be used. ";
  if (digits.size() != 6) return refuse(kLengthText + fileDate + cannotConvert);
  if (!IsSixDigits(digits)) return refuse(style.notDigitsText + fileDate + cannotConvert);

  const std::optional<DayMonthOrder> order = OrderOf(formats.shortDate);
  if (!order) {
    return refuse(
        "Can't convert MF file date to MF display date. DateFormat = " + formats.shortDate +
        style.orderFailureSeparator + fileDate + ". " + style.orderFailureFallback);
  }
  const int year = 1980 + std::stoi(digits.substr(0, 2));
  char yearText[16];
  std::snprintf(yearText, sizeof yearText, "%02d", style.fourDigitYear ? year : year % 100);
  const std::string month = digits.substr(2, 2);
  const std::string day = digits.substr(4, 2);
  if (*order == DayMonthOrder::DayFirst) return day + "/" + month + "/" + yearText;
  return month + "/" + day + "/" + yearText;
}

}  // namespace

std::string DateToFileDate(const CivilDate& date, bool quiet, const DateFormats& formats, Ui& ui) {
  // Years outside 1980..2079 have no two-digit form; writing one would corrupt the field.
  if (!IsValidCivilDate(date) || date.year < 1980 || date.year > 2079) {
    if (!quiet) {
      ui.Error("Invalid date (" + FormatShortDate(date, formats) +
               ") cannot convert to MF file format. Date 01/01/1981 will be used. " + kContactLine);
    }
    return kFallbackFileDate;
  }
  char text[16];
  std::snprintf(text, sizeof text, "%02d%02d%02d", date.year - 1980, date.month, date.day);
  return text;
}

std::string FileDateToDisplayDate(const std::string& fileDate, bool quiet,
                                  const DateFormats& formats, Ui& ui) {
  return ToDisplayDate(fileDate, quiet, formats, ui, kLongStyle);
}

std::string FileDateToShortDisplayDate(const std::string& fileDate, bool quiet,
                                       const DateFormats& formats, Ui& ui) {
  return ToDisplayDate(fileDate, quiet, formats, ui, kShortStyle);
}

}  // namespace upfold
