#pragma once
// The Windows regional settings the program depends on: the short date format, the date
// separator and the long time format, from HKEY_CURRENT_USER\Control Panel\International.

#include <optional>
#include <string>

namespace upfold {

class Registry;

struct CivilDate {
  int year = 0;
  int month = 0;
  int day = 0;
  friend bool operator==(const CivilDate&, const CivilDate&) = default;
};

bool IsValidCivilDate(const CivilDate& date);

struct DateFormats {
  std::string shortDate = "M/d/yyyy";  // sShortDate
  std::string dateSeparator = "/";     // sDate
  std::string timeFormat = "h:mm:ss tt";  // sTimeFormat
  std::string timeSeparator = ":";     // sTime
  std::string am = "AM";               // s1159
  std::string pm = "PM";               // s2359

  // Values missing from the registry (or no registry) keep the defaults above, and so do an
  // empty format or separator. A damaged registry file raises RegistryError.
  static DateFormats FromRegistry(const Registry* registry);
};

// The system's conversions, as the Windows date routines do them with these formats.
// FormatShortDate writes a date in the short date format (d, dd, M, MM, yy, yyyy; also ddd,
// dddd, MMM, MMMM with English names, and quoted text); the format's '/' stands for the
// date separator. ParseShortDate reads three numbers in the short date format's order (day,
// month, year as found in it) with the date separator between them (blanks around them are
// allowed), and refuses anything else and a text that is not a calendar date; day and month
// have one or two digits, the year one to four, and a year of one or two digits is taken as
// 19yy/20yy around 1950..2049.
std::string FormatShortDate(const CivilDate& date, const DateFormats& formats);
std::optional<CivilDate> ParseShortDate(const std::string& text, const DateFormats& formats);
// Time of day in the long time format (h, hh, H, HH, m, mm, s, ss, t, tt); the format's ':'
// stands for the time separator.
std::string FormatTime(int hour, int minute, int second, const DateFormats& formats);

}  // namespace upfold
