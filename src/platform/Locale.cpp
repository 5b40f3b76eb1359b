#include "platform/Locale.h"

#include <cstdio>

#include "platform/Registry.h"

namespace upfold {

namespace {

const char* const kShortMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kLongMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
const char* const kShortDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kLongDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// 0 = Sunday (Sakamoto's method).
int DayOfWeek(const CivilDate& d) {
  static const int kOffsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  int y = d.month < 3 ? d.year - 1 : d.year;
  int w = (y + y / 4 - y / 100 + y / 400 + kOffsets[(d.month + 11) % 12] + d.day) % 7;
  return (w + 7) % 7;
}

std::string Number(int value, int width) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
  return buffer;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// Walks a format: quoted text ('...' or "...") is copied, runs of one letter are handed to
// field(letter, count), every other character to literal(c).
template <typename Field, typename Literal>
void WalkFormat(const std::string& format, Field field, Literal literal) {
  for (std::size_t i = 0; i < format.size();) {
    char c = format[i];
    if (c == '\'' || c == '"') {
      std::size_t end = format.find(c, i + 1);
      if (end == std::string::npos) end = format.size();
      for (std::size_t k = i + 1; k < end; ++k) literal(format[k]);
      i = end + 1;
      continue;
    }
    std::size_t run = i;
    while (run < format.size() && format[run] == c) ++run;
    if (!field(c, static_cast<int>(run - i))) {
      for (std::size_t k = i; k < run; ++k) literal(c);
    }
    i = run;
  }
}

// The order in which day ('d'), month ('m') and year ('y') appear in the short date format;
// letters it lacks follow in the order month, day, year.
std::string DateOrder(const std::string& format) {
  std::string order;
  WalkFormat(format, [&](char c, int) {
    char l = Lower(c);
    if ((l == 'd' || l == 'm' || l == 'y') && order.find(l) == std::string::npos) order += l;
    return true;
  }, [](char) {});
  for (char l : std::string("mdy"))
    if (order.find(l) == std::string::npos) order += l;
  return order;
}

}  // namespace

bool IsValidCivilDate(const CivilDate& date) {
  return date.year >= 1 && date.year <= 9999 && date.month >= 1 && date.month <= 12 &&
         date.day >= 1 && date.day <= DaysInMonth(date.year, date.month);
}

DateFormats DateFormats::FromRegistry(const Registry* registry) {
  DateFormats formats;
  if (!registry) return formats;
  const std::string key = "\\Control Panel\\International";
  // An empty format or separator would make dates unreadable; only the AM and PM texts
  // may be empty (a 24-hour clock has none).
  auto take = [&](const char* name, std::string& field, bool mayBeEmpty) {
    auto value = registry->ReadString(Hive::CurrentUser, key, name);
    if (value && (mayBeEmpty || !value->empty())) field = *value;
  };
  take("sShortDate", formats.shortDate, false);
  take("sDate", formats.dateSeparator, false);
  take("sTimeFormat", formats.timeFormat, false);
  take("sTime", formats.timeSeparator, false);
  take("s1159", formats.am, true);
  take("s2359", formats.pm, true);
  return formats;
}

std::string FormatShortDate(const CivilDate& date, const DateFormats& formats) {
  std::string out;
  bool named = date.month >= 1 && date.month <= 12;
  WalkFormat(formats.shortDate, [&](char c, int count) {
    switch (Lower(c)) {
      case 'd':
        if (count <= 2) out += Number(date.day, count);
        else if (IsValidCivilDate(date)) out += (count == 3 ? kShortDays : kLongDays)[DayOfWeek(date)];
        return true;
      case 'm':
        if (count <= 2) out += Number(date.month, count);
        else if (named) out += (count == 3 ? kShortMonths : kLongMonths)[date.month - 1];
        return true;
      case 'y':
        out += count <= 2 ? Number(date.year % 100, 2) : Number(date.year, 4);
        return true;
      case 'g':  // era: none in the Gregorian calendar
        return true;
      case '/':
        for (int k = 0; k < count; ++k) out += formats.dateSeparator;
        return true;
    }
    return false;
  }, [&](char c) { out += c; });
  return out;
}

std::optional<CivilDate> ParseShortDate(const std::string& text, const DateFormats& formats) {
  const std::string& separator = formats.dateSeparator;
  std::size_t pos = 0;
  auto skipBlanks = [&] {
    while (pos < text.size() && text[pos] == ' ') ++pos;
  };
  int values[3] = {0, 0, 0};
  int digits[3] = {0, 0, 0};
  for (int part = 0; part < 3; ++part) {
    skipBlanks();
    if (part > 0) {
      if (separator.empty() || text.compare(pos, separator.size(), separator) != 0) return std::nullopt;
      pos += separator.size();
      skipBlanks();
    }
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits[part] < 5) {
      values[part] = values[part] * 10 + (text[pos++] - '0');
      ++digits[part];
    }
    if (digits[part] == 0) return std::nullopt;
  }
  skipBlanks();
  if (pos != text.size()) return std::nullopt;

  CivilDate date;
  std::string order = DateOrder(formats.shortDate);
  for (int part = 0; part < 3; ++part) {
    int limit = order[part] == 'y' ? 4 : 2;
    if (digits[part] > limit) return std::nullopt;
    if (order[part] == 'd') date.day = values[part];
    if (order[part] == 'm') date.month = values[part];
    if (order[part] == 'y') {
      date.year = values[part];
      if (digits[part] <= 2) date.year += date.year < 50 ? 2000 : 1900;
    }
  }
  if (!IsValidCivilDate(date)) return std::nullopt;
  return date;
}

std::string FormatTime(int hour, int minute, int second, const DateFormats& formats) {
  std::string out;
  const std::string& marker = hour < 12 ? formats.am : formats.pm;
  int hour12 = hour % 12 == 0 ? 12 : hour % 12;
  WalkFormat(formats.timeFormat, [&](char c, int count) {
    int width = count >= 2 ? 2 : 1;
    switch (c) {
      case 'h': out += Number(hour12, width); return true;
      case 'H': out += Number(hour, width); return true;
      case 'm': out += Number(minute, width); return true;
      case 's': out += Number(second, width); return true;
      case 't': out += count == 1 ? marker.substr(0, 1) : marker; return true;
      case ':':
        for (int k = 0; k < count; ++k) out += formats.timeSeparator;
        return true;
    }
    return false;
  }, [&](char c) { out += c; });
  return out;
}

}  // namespace upfold
