#pragma once
// Print-file names made from the date and time: a pattern that begins with "*" (the working
// date), "+" (the time) or "*+" / "+*" (both) becomes the report's two-letter prefix followed
// by digits, and for "*" and "+" the rest of the pattern as an extension ("*TXT" on 5 January
// 2024 for report 44 gives IR010524.TXT).

#include <chrono>
#include <string>

#include "platform/Locale.h"

namespace upfold {

class Clock;
struct RunValues;

struct TimeOfDay {
  int hour = 0;
  int minute = 0;
  int second = 0;
};

struct StarPlusInputs {
  int reportNum = 0;
  CivilDate workingDate;   // the run's working date, not necessarily today
  TimeOfDay time;          // the time of day of the expansion
  DateFormats formats;     // the order of day, month and year; 12- or 24-hour time
};

// The time of day on this machine's local clock.
TimeOfDay LocalTimeOfDay(std::chrono::system_clock::time_point now);

// The inputs for a report now: the run's working date and the clock's local time of day.
StarPlusInputs StarPlusInputsNow(int reportNum, const RunValues& run, const DateFormats& formats,
                                 Clock& clock);

// The date as six digits, two each for day, month and year in the short date format's order
// (M/d/yyyy gives "010524" for 5 January 2024, d/M/yyyy gives "050124").
std::string StarPlusDate(const CivilDate& date, const DateFormats& formats);
// The time as six digits hhmmss, the hour on the 12-hour clock when the time format uses one.
std::string StarPlusTime(const TimeOfDay& time, const DateFormats& formats);

// The name for a pattern beginning with "*" or "+"; other patterns give the prefix alone
// followed by their extension part, so callers expand only star-plus patterns.
std::string StarPlus(const std::string& pattern, const StarPlusInputs& inputs);

}  // namespace upfold
