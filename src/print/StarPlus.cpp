#include "print/StarPlus.h"

#include <ctime>

#include "app/RunValues.h"
#include "platform/Clock.h"
#include "print/PrintFileName.h"

namespace upfold {

namespace {

std::string TwoDigits(int value) {
  value %= 100;
  if (value < 0) value += 100;
  return {static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)};
}

// Day, month and year ('d', 'M', 'y') in the order they first appear in the short date
// format, quoted literals skipped; fields the format leaves out follow in month, day, year
// order.
std::string DateOrder(const DateFormats& formats) {
  std::string order;
  bool quoted = false;
  for (char c : formats.shortDate) {
    if (c == '\'') quoted = !quoted;
    if (!quoted && (c == 'd' || c == 'M' || c == 'y') && order.find(c) == std::string::npos) {
      order += c;
    }
  }
  for (char c : std::string("Mdy")) {
    if (order.find(c) == std::string::npos) order += c;
  }
  return order;
}

std::string DateDigits(const CivilDate& date, const std::string& order) {
  std::string digits;
  for (char c : order) {
    digits += TwoDigits(c == 'd' ? date.day : c == 'M' ? date.month : date.year);
  }
  return digits;
}

}  // namespace

TimeOfDay LocalTimeOfDay(std::chrono::system_clock::time_point now) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&seconds, &local);
  return {local.tm_hour, local.tm_min, local.tm_sec};
}

StarPlusInputs StarPlusInputsNow(int reportNum, const RunValues& run, const DateFormats& formats,
                                 Clock& clock) {
  return {reportNum, run.SystemDate, LocalTimeOfDay(clock.Now()), formats};
}

std::string StarPlusDate(const CivilDate& date, const DateFormats& formats) {
  return DateDigits(date, DateOrder(formats));
}

std::string StarPlusTime(const TimeOfDay& time, const DateFormats& formats) {
  // 'h' is the 12-hour clock and 'H' the 24-hour one, as in the system's time format.
  const bool twelveHour = formats.timeFormat.find('h') != std::string::npos;
  int hour = time.hour;
  if (twelveHour) {
    hour %= 12;
    if (hour == 0) hour = 12;
  }
  return TwoDigits(hour) + TwoDigits(time.minute) + TwoDigits(time.second);
}

std::string StarPlus(const std::string& pattern, const StarPlusInputs& inputs) {
  const std::string prefix = ReportPrefix(inputs.reportNum);
  const std::string date = StarPlusDate(inputs.workingDate, inputs.formats);
  const std::string time = StarPlusTime(inputs.time, inputs.formats);
  if (pattern.rfind("*+", 0) == 0 || pattern.rfind("+*", 0) == 0) {
    // Month and day in the format's order, then hour and minute split by the dot.
    std::string monthDay = DateOrder(inputs.formats);
    monthDay.erase(monthDay.find('y'), 1);
    return prefix + DateDigits(inputs.workingDate, monthDay) + "T" + time.substr(0, 1) + "." +
           time.substr(1, 3);
  }
  std::string name = prefix;
  if (!pattern.empty() && pattern[0] == '*') name += date;
  if (!pattern.empty() && pattern[0] == '+') name += time;
  if (pattern.size() > 1 && pattern[1] != '.') name += "." + pattern.substr(1, 3);
  return name;
}

}  // namespace upfold
