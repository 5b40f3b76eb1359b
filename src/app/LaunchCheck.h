#pragma once
// The first start-up parameter: the working date handed over by the suite's main menu as
// "YYMMDD", YY counted from 1980 ("01" is 1981, "99" is 2079).

#include <optional>
#include <string>

#include "platform/Locale.h"

namespace upfold {

// Shown, in an error box, when the program was not started with a usable working date.
inline constexpr const char* kLaunchMessage =
    "Please run this program from Marrowfield  main menu.";

// The launch check: exactly six characters, and, compared as text, characters 1-2 between
// "01" and "99", 3-4 between "01" and "12", 5-6 between "01" and "31". It does not make the
// text a calendar date ("250231" and "0A0101" pass).
bool PassesLaunchCheck(const std::string& parameter);

// The working date as text, "/" between the parts and the four-digit year last: month first
// when the short date format begins with "M" or "m", day first otherwise ("250315" gives
// "03/15/2005" or "15/03/2005"). nullopt when the parameter is not six digits.
std::optional<std::string> ComposeWorkingDateText(const std::string& parameter,
                                                  const std::string& shortDate);

// The calendar date a parameter that passed the launch check stands for; nullopt when its
// parts are not digits or do not make a calendar date. Independent of the system's date
// order and separator: the parameter's own layout is fixed.
std::optional<CivilDate> WorkingDateOf(const std::string& parameter);

// Error text for a parameter that passed the launch check but is no calendar date; names
// the date as composed for the short date format when it is made of digits.
std::string NotADateMessage(const std::string& parameter, const std::string& shortDate);

}  // namespace upfold
