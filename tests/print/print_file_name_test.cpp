// Print-file names: star-plus expansion, the checks on leaving the name field and the name
// check made on loading and on OK.

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>

#include "app/RunValues.h"
#include "platform/Clock.h"
#include "print/PrintChoices.h"
#include "print/PrintFileName.h"
#include "print/StarPlus.h"
#include "support/ScriptedUi.h"

namespace upfold {
namespace {

using test::ScriptedUi;

constexpr const char* kNotAllowed =
    "File names must not contain the characters  / \\ : * ? \" < > |";

// Report 44 on 5 January 2024 at 09:05:07, month/day/four-digit-year settings.
StarPlusInputs Inputs(const std::string& shortDate = "M/d/yyyy",
                      const std::string& timeFormat = "h:mm:ss tt", TimeOfDay time = {9, 5, 7}) {
  StarPlusInputs inputs;
  inputs.reportNum = kImportReport;
  inputs.workingDate = {2024, 1, 5};
  inputs.time = time;
  inputs.formats.shortDate = shortDate;
  inputs.formats.timeFormat = timeFormat;
  return inputs;
}

TEST(StarPlus, ExpandsPatternsIntoDateAndTimeNames) {
  struct Case {
    std::string pattern;
    std::string expected;
  } cases[] = {
      {"*+", "IR0105T0.905"},
      {"+*", "IR0105T0.905"},
      {"*+TXT", "IR0105T0.905"},  // nothing after the pair is used
      {"*", "IR010524"},
      {"+", "IR090507"},
      {"*TXT", "IR010524.TXT"},
      {"+LST", "IR090507.LST"},
      {"*ABCD", "IR010524.ABC"},  // the extension keeps three characters
      {"*.TXT", "IR010524"},      // a dot in second place gives no extension
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StarPlus(c.pattern, Inputs()), c.expected) << c.pattern;
  }
}

TEST(StarPlus, FollowsTheShortDateOrderAndTheClock) {
  struct Case {
    std::string shortDate;
    std::string timeFormat;
    TimeOfDay time;
    std::string pattern;
    std::string expected;
  } cases[] = {
      {"d/M/yyyy", "h:mm:ss tt", {9, 5, 7}, "*", "IR050124"},
      {"dd.MM.yy", "HH:mm:ss", {9, 5, 7}, "*+", "IR0501T0.905"},
      // Year first: month and day still make the "*+" name.
      {"yyyy-MM-dd", "HH:mm:ss", {9, 5, 7}, "*", "IR240105"},
      {"yyyy-MM-dd", "HH:mm:ss", {9, 5, 7}, "*+", "IR0105T0.905"},
      {"M/d/yyyy", "h:mm:ss tt", {15, 5, 7}, "+", "IR030507"},
      {"M/d/yyyy", "HH:mm:ss", {15, 5, 7}, "+", "IR150507"},
      {"M/d/yyyy", "h:mm:ss tt", {0, 30, 0}, "+", "IR123000"},
      // A format without seconds still gives six digits, not a blank and "AM".
      {"M/d/yyyy", "h:mm tt", {9, 5, 7}, "+", "IR090507"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StarPlus(c.pattern, Inputs(c.shortDate, c.timeFormat, c.time)), c.expected)
        << c.shortDate << " " << c.timeFormat << " " << c.pattern;
  }
}

TEST(StarPlus, UsesTheReportsPrefix) {
  StarPlusInputs inputs = Inputs();
  inputs.reportNum = 38;
  EXPECT_EQ(StarPlus("*", inputs), "TI010524");
  inputs.reportNum = 41;
  EXPECT_EQ(StarPlus("*", inputs), "UP010524");
  EXPECT_EQ(ReportPrefix(1), "  ");
  EXPECT_EQ(ReportPrefix(91), "  ");
}

// Sets the time zone for one test and puts the old one back.
class TimeZone {
 public:
  explicit TimeZone(const char* tz) {
    if (const char* old = std::getenv("TZ")) old_ = old;
    ::setenv("TZ", tz, 1);
    ::tzset();
  }
  ~TimeZone() {
    if (old_) ::setenv("TZ", old_->c_str(), 1); else ::unsetenv("TZ");
    ::tzset();
  }

 private:
  std::optional<std::string> old_;
};

TEST(StarPlus, TakesTheWorkingDateFromTheRunAndTheTimeFromTheClock) {
  TimeZone utc("UTC0");
  RunValues run;
  run.SystemDate = {2024, 1, 5};
  FakeClock clock;
  // 2 March 2024, 09:05:07 UTC: today is not the working date.
  clock.SetNow(std::chrono::system_clock::from_time_t(1709370307));
  const StarPlusInputs inputs = StarPlusInputsNow(kImportReport, run, DateFormats{}, clock);
  EXPECT_EQ(StarPlus("*+", inputs), "IR0105T0.905");
}

TEST(DoPrintPathFileName, JoinsWithExactlyOneBackslash) {
  EXPECT_EQ(DoPrintPathFileName("C:\\REPORTS", "A.TXT"), "C:\\REPORTS\\A.TXT");
  EXPECT_EQ(DoPrintPathFileName("C:\\", "A.TXT"), "C:\\A.TXT");
  EXPECT_EQ(DoPrintPathFileName("", "A.TXT"), "\\A.TXT");
}

TEST(EditFileName, RefusesLongNamesBlanksAndMisplacedPatterns) {
  const std::string tooLong = "File name is too long!";
  const std::string extTooLong = "File extension is too long!";
  const std::string blanks = "There must be no blanks in the print-file name.";
  const std::string pair =
      "To use the *+ feature, the first character of the file name must be a * or a +.";
  const std::string position = "Use * and/or + only in first two positions of file name.";
  struct Case {
    std::string name;
    std::string message;  // empty: accepted unchanged
  } cases[] = {
      {"ABCDEFGHIJKLM", tooLong},
      {"ABCDEFGHIJKL", tooLong},  // twelve without a dot
      {"ABCDEFGH.TXT", ""},
      {"ABCDEFGHI", tooLong},
      {"ABCDEFGH", ""},
      {"ABCDEFGHI.TX", tooLong},  // first dot at position 10
      {"IR0105T0.905", ""},       // dot at position 9, extension of four with the dot
      {"A.B.TEXT", extTooLong},   // the extension starts at the last dot
      {"A.TEXT", extTooLong},
      {"A B.TXT", blanks},
      {"X*", pair},
      {"A+B", pair},
      {"**", pair},
      {"++", pair},
      {"*X+", position},
      {"AB*", position},
      {"ABC+.TXT", position},
      {"", ""},
  };
  for (const Case& c : cases) {
    ScriptedUi ui;
    if (!c.message.empty()) ui.ExpectShow(MessageKind::Error, c.message);
    std::string name = c.name;
    EXPECT_EQ(EditFileName(name, Inputs(), ui), c.message.empty()) << c.name;
    EXPECT_EQ(name, c.name);
  }
}

TEST(EditFileName, ReplacesAPatternByItsExpansion) {
  struct Case {
    std::string typed;
    std::string expected;
  } cases[] = {{"+*", "IR0105T0.905"}, {"*+", "IR0105T0.905"}, {"*TXT", "IR010524.TXT"},
               {"+", "IR090507"}};
  for (const Case& c : cases) {
    ScriptedUi ui;
    std::string name = c.typed;
    EXPECT_TRUE(EditFileName(name, Inputs(), ui)) << c.typed;
    EXPECT_EQ(name, c.expected);
  }
}

TEST(IsPrintFileNameOK, AcceptsShortNamesAndPatterns) {
  for (const std::string name : {"IR0105T0.905", "ABCDEFGH.TXT", "REJ-1.TXT", "*", "+", "*+",
                                 "+*", "*TXT", "*+=", "REPORT"}) {
    ScriptedUi ui;
    EXPECT_TRUE(IsPrintFileNameOK(name, false, ui)) << name;
  }
  ScriptedUi ui;
  EXPECT_TRUE(IsPrintFileNameOK("REJ.PDF", true, ui));
}

TEST(IsPrintFileNameOK, RefusesWithTheReason) {
  struct Case {
    std::string name;
    std::string message;
  } cases[] = {
      {"", "The print-to-file name must not be blank.\r"},
      {"   ", "The print-to-file name must not be blank.\r"},
      {"A B", "There must be no blanks in the print-file name.\r"},
      {"REJ ", "There must be no blanks in the print-file name.\r"},
      {"REJ.pdf",
       "You may not use the file extension PDF when writing a report to a data or text file."},
      {"REJ=1.TXT",
       std::string("The print-to-file name,  REJ=1.TXT,  is not valid.\r") + kNotAllowed},
      {"*A/B", std::string("The print-to-file name suffix,  A/B,  is not valid.\r") + kNotAllowed},
      {"+TX*", std::string("The print-to-file name suffix,  TX*,  is not valid.\r") + kNotAllowed},
      {"..", "The print-to-file name,  ..,  is not valid.\rFile names must not consist of dots "
             "only."},
      {"A\tB", std::string("The print-to-file name,  A\tB,  is not valid.\r") + kNotAllowed},
  };
  for (const Case& c : cases) {
    ScriptedUi ui;
    ui.ExpectShow(MessageKind::Error, c.message);
    EXPECT_FALSE(IsPrintFileNameOK(c.name, false, ui)) << c.name;
  }
}

TEST(IsPrintFileNameOK, RefusesEveryForbiddenCharacter) {
  for (char c : std::string("/\\:*?\"<>|+=,[]")) {
    const std::string name = std::string("A") + c + "B";
    ScriptedUi ui;
    ui.ExpectShow(MessageKind::Error,
                  "The print-to-file name,  " + name + ",  is not valid.\r" + kNotAllowed);
    EXPECT_FALSE(IsPrintFileNameOK(name, false, ui)) << name;
  }
}

TEST(IsRefusedNameKey, RefusesTheTwelveButLetsPatternsAndEditingKeysThrough) {
  for (char c : std::string("/\\:?\"<>|=,[]")) EXPECT_TRUE(IsRefusedNameKey(c)) << c;
  for (char c : std::string("*+A1.-_\b")) EXPECT_FALSE(IsRefusedNameKey(c)) << c;
  EXPECT_STREQ(kRefusedNameKeyMessage,
               "Do not use characters  / \\ : ? \" < > | , = [ ] in the print file name");
}

}  // namespace
}  // namespace upfold
