#include "app/LaunchCheck.h"

#include <cctype>

namespace upfold {

namespace {

bool Between(const std::string& text, const char* low, const char* high) {
  return text >= low && text <= high;
}

bool AllDigits(const std::string& text) {
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return !text.empty();
}

int TwoDigits(const std::string& text, std::size_t at) {
  return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

}  // namespace

bool PassesLaunchCheck(const std::string& parameter) {
  if (parameter.size() != 6) return false;
  return Between(parameter.substr(0, 2), "01", "99") &&
         Between(parameter.substr(2, 2), "01", "12") &&
         Between(parameter.substr(4, 2), "01", "31");
}

std::optional<std::string> ComposeWorkingDateText(const std::string& parameter,
                                                  const std::string& shortDate) {
  if (parameter.size() != 6 || !AllDigits(parameter)) return std::nullopt;
  const std::string year = std::to_string(1980 + TwoDigits(parameter, 0));
  const std::string month = parameter.substr(2, 2);
  const std::string day = parameter.substr(4, 2);
  const bool monthFirst =
      !shortDate.empty() && std::toupper(static_cast<unsigned char>(shortDate[0])) == 'M';
  return monthFirst ? month + "/" + day + "/" + year : day + "/" + month + "/" + year;
}

std::optional<CivilDate> WorkingDateOf(const std::string& parameter) {
  if (parameter.size() != 6 || !AllDigits(parameter)) return std::nullopt;
  const CivilDate date{1980 + TwoDigits(parameter, 0), TwoDigits(parameter, 2),
                       TwoDigits(parameter, 4)};
  if (!IsValidCivilDate(date)) return std::nullopt;
  return date;
}

std::string NotADateMessage(const std::string& parameter, const std::string& shortDate) {
  const std::optional<std::string> composed = ComposeWorkingDateText(parameter, shortDate);
  const std::string named = composed ? *composed + " (" + parameter + ")" : parameter;
  return "The working date " + named + " is not a calendar date.\r\r" + kLaunchMessage;
}

}  // namespace upfold
