#include "app/DateConversions.h"

#include <cctype>
#include <cstdio>
#include <optional>

#include "app/Ui.h"
#include "data/FileDate.h"
#include "data/FixedText.h"

namespace upfold {

namespace {

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
  const std::string digits = Trim(fileDate);
  const std::string cannotConvert =
      ")  Can't convert to MF display date. Date 01/01/81 will be used. ";
  if (digits.size() != 6) return refuse(kLengthText + fileDate + cannotConvert);
  if (digits.find_first_not_of("0123456789") != std::string::npos) {
    return refuse(style.notDigitsText + fileDate + cannotConvert);
  }

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
  if (std::optional<std::string> fileDate = EncodeFileDate(date)) return *fileDate;
  if (!quiet) {
    ui.Error("Invalid date (" + FormatShortDate(date, formats) +
             ") cannot convert to MF file format. Date 01/01/1981 will be used. " + kContactLine);
  }
  return kFallbackFileDate;
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
