#pragma once
// Conversions between calendar dates, six-digit file dates ("YYMMDD", YY = years since 1980,
// so only 1980..2079 exist) and display dates ("dd/MM/yyyy" or "MM/dd/yyyy", always with "/",
// in the order of the system short date format).
//
// None of them throws: a date that cannot be converted gives the fallback, after an error box
// with the reason unless quiet is set.

#include <string>

#include "platform/Locale.h"

namespace upfold {

class Ui;

inline constexpr const char* kFallbackFileDate = "010101";
inline constexpr const char* kFallbackDisplayDate = "01/01/81";

// "YYMMDD" for a calendar date of 1980..2079; kFallbackFileDate for anything else.
std::string DateToFileDate(const CivilDate& date, bool quiet, const DateFormats& formats, Ui& ui);

// A six-digit file date (surrounding blanks ignored) as a display date with a four-digit year.
// Month and day are copied as they stand, not checked as a calendar date.
std::string FileDateToDisplayDate(const std::string& fileDate, bool quiet,
                                  const DateFormats& formats, Ui& ui);

// As FileDateToDisplayDate with a two-digit year ("05" for 2005).
std::string FileDateToShortDisplayDate(const std::string& fileDate, bool quiet,
                                       const DateFormats& formats, Ui& ui);

}  // namespace upfold
