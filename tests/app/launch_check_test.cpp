#include "app/LaunchCheck.h"

#include <gtest/gtest.h>

namespace upfold {
namespace {

TEST(LaunchCheck, AcceptsOnlySixCharactersWithinTheTextRanges) {
  struct Case {
    const char* parameter;
    bool passes;
  };
  const Case cases[] = {
      {"990101", true},  {"200101", true},  {"010101", true},   {"991231", true},
      {"000101", false}, {"991301", false}, {"990132", false},  {"990001", false},
      {"990100", false}, {"", false},       {"99010", false},   {"9901011", false},
      {" 90101", false}, {"99 101", false},
      // Text comparison lets through what is no date; that is caught afterwards.
      {"250231", true},  {"0A0101", true},  {"1:0101", true},   {"250A01", true},
      {"251A01", false}, {"2501A1", false}, {"25012A", true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PassesLaunchCheck(c.parameter), c.passes) << "parameter " << c.parameter;
}

TEST(LaunchCheck, WorkingDateCountsYearsFrom1980) {
  struct Case {
    const char* parameter;
    CivilDate date;
  };
  const Case cases[] = {
      {"990101", {2079, 1, 1}},  {"200101", {2000, 1, 1}},   {"010101", {1981, 1, 1}},
      {"190101", {1999, 1, 1}},  {"250315", {2005, 3, 15}},  {"461211", {2026, 12, 11}},
      {"200229", {2000, 2, 29}}, {"991231", {2079, 12, 31}},
  };
  for (const Case& c : cases) {
    const auto date = WorkingDateOf(c.parameter);
    ASSERT_TRUE(date.has_value()) << "parameter " << c.parameter;
    EXPECT_EQ(*date, c.date) << "parameter " << c.parameter;
  }
}

TEST(LaunchCheck, ParametersThatPassTheCheckButAreNoDateGiveNoWorkingDate) {
  for (const char* parameter : {"250231", "250431", "210229", "0A0101", "1:0101", "250A01", "25012A"})
    EXPECT_FALSE(WorkingDateOf(parameter).has_value()) << "parameter " << parameter;
}

TEST(LaunchCheck, ComposedTextFollowsTheFirstLetterOfTheShortDateFormat) {
  struct Case {
    const char* shortDate;
    const char* text;
  };
  const Case cases[] = {
      {"dd/MM/yyyy", "15/03/2005"}, {"d.M.yyyy", "15/03/2005"}, {"yyyy-MM-dd", "15/03/2005"},
      {"M/d/yyyy", "03/15/2005"},   {"MM-dd-yy", "03/15/2005"}, {"mm/dd/yyyy", "03/15/2005"},
      {"", "15/03/2005"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ComposeWorkingDateText("250315", c.shortDate), c.text) << "format " << c.shortDate;
  EXPECT_EQ(ComposeWorkingDateText("990101", "M/d/yyyy"), "01/01/2079");
  EXPECT_EQ(ComposeWorkingDateText("200101", "dd/MM/yyyy"), "01/01/2000");
  EXPECT_FALSE(ComposeWorkingDateText("0A0101", "M/d/yyyy").has_value());
}

TEST(LaunchCheck, NotADateMessageNamesTheDateAndHowToStart) {
  EXPECT_EQ(NotADateMessage("250231", "dd/MM/yyyy"),
            "The working date 31/02/2005 (250231) is not a calendar date.\r\r"
            "Please run this program from Marrowfield  main menu.");
  EXPECT_EQ(NotADateMessage("0A0101", "M/d/yyyy"),
            "The working date 0A0101 is not a calendar date.\r\r"
            "Please run this program from Marrowfield  main menu.");
}

}  // namespace
}  // namespace upfold
