#pragma once
// Six-digit file dates: the text "YYMMDD", YY the years since 1980 ("00" is 1980, "99" is
// 2079), six blanks for no date. This is the quiet codec of the direct record access; the
// conversions with messages live in app/DateConversions.h.

#include <optional>
#include <string>
#include <string_view>

#include "platform/Locale.h"

namespace upfold {

// The calendar date of a file date; nullopt for six blanks, a text that is not six digits, or
// digits that are no calendar date (month 13, 30 February).
std::optional<CivilDate> DecodeFileDate(std::string_view fileDate);
// "YYMMDD"; nullopt for a year outside 1980-2079 or a date that is not a calendar date.
std::optional<std::string> EncodeFileDate(const CivilDate& date);

// How display dates are written: the order of day, month and year ('D', 'M' or 'Y') and
// whether the year has four digits.
struct DisplayDateStyle {
  char order = 'D';
  bool fourDigitYear = false;

  // From a short date format: the order is its first letter upper-cased when that is D, M or
  // Y, else 'D'; four digits when the upper-cased format contains "YYYY".
  static DisplayDateStyle FromShortDateFormat(std::string_view shortDateFormat);
};

// The display text of a file date in that style, parts joined by `separator`: "15/03/2005".
// Month and day are copied as they stand. With two-digit years six blanks give eight blanks.
// nullopt when the year part is not two digits (blank included, with four-digit years).
std::optional<std::string> FileDateDisplayText(std::string_view fileDate,
                                               const DisplayDateStyle& style,
                                               std::string_view separator);

}  // namespace upfold
