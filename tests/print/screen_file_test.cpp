// The screen-file reservation: generated names from the tick count and an empty file for
// each reservation in the host data directory.

#include <gtest/gtest.h>

#include "app/RunValues.h"
#include "platform/Clock.h"
#include "print/HostFixture.h"
#include "print/PrintChoices.h"
#include "print/ScreenFile.h"

namespace upfold {
namespace {

TEST(TimeNameValue, CutsLargeTickCountsToTheirLastDigits) {
  struct Case {
    std::uint64_t ticks;
    std::uint64_t expected;
  } cases[] = {
      {0, 0},
      {1'679'615, 1'679'615},      // 36^4 - 1 is kept
      {1'679'616, 679'616},        // seven digits: the last six
      {2'000'000, 0},
      {12'345'678, 345'678},       // the last seven, still too large, then the last six
      {123'456'789, 456'789},
      {10'001'000'000, 1'000'000},
  };
  for (const Case& c : cases) EXPECT_EQ(TimeNameValue(c.ticks), c.expected) << c.ticks;
}

TEST(GetTimeName, SpellsTheValueInBase36WithRandomDigitsWhereItIsTooSmall) {
  struct Case {
    std::uint64_t value;
    std::string expected;  // random digits come as 0, 1, 2, ... from the fake clock
  } cases[] = {
      {1'679'615, "YYYY"},
      {1'000'000, "KEKR"},
      {46'657, "0010"},
      {2'629, "0100"},  // 2 * 1296 + 1 * 36 + 1
      {36, "012Z"},      // a value equal to a divisor is "not greater" than it
      {0, "0123"},
  };
  for (const Case& c : cases) {
    FakeClock clock;
    EXPECT_EQ(GetTimeName(c.value, clock), c.expected) << c.value;
  }
}

class DoViewerTest : public test::HostFixture {
 protected:
  DoViewerTest() {
    run.DataPath = "C:\\MFW\\DATA";
    run.WSID = "01";
    choices.PrintReportNum = kImportReport;
    choices.TimeName = "OLD1";
  }
  bool Reserve() { return DoViewer(choices, run, *fs, clock, ui); }
  void ExpectFailed() {
    EXPECT_EQ(choices.PrintDest, kPrintNothing);
    EXPECT_FALSE(choices.PrintToScreen);
    EXPECT_EQ(choices.TimeName, "");
  }

  RunValues run;
  PrintChoices choices;
  FakeClock clock;  // ticks start at 1,000,000: the name is IRKEKR01
};

TEST_F(DoViewerTest, ReservesAnEmptyFileWithTheGeneratedName) {
  ASSERT_TRUE(Reserve());
  EXPECT_TRUE(HostExists("MFW/DATA/IRKEKR01"));
  EXPECT_EQ(dir.Read("c/MFW/DATA/IRKEKR01"), "");
  EXPECT_EQ(choices.TimeName, "KEKR");
  EXPECT_EQ(choices.PrintPathFileName, "NONE (PRINTING TO SCREEN)");
  EXPECT_TRUE(choices.PrintToScreen);
  EXPECT_EQ(choices.PrintDest, kPrintToFile);
}

TEST_F(DoViewerTest, TakesTheNextNameWhenOneIsTaken) {
  dir.Write("c/MFW/DATA/irkekr01", "someone else's report");
  ASSERT_TRUE(Reserve());
  EXPECT_EQ(choices.TimeName, "KEKS");
  EXPECT_EQ(dir.Read("c/MFW/DATA/irkekr01"), "someone else's report");
  EXPECT_TRUE(HostExists("MFW/DATA/IRKEKS01"));
}

// A clock whose random digits are always 0, so the names it leads to can be foreseen.
class ZeroDigitClock final : public Clock {
 public:
  std::uint64_t TickCount() override { return ticks; }
  void Sleep(std::uint32_t milliseconds) override { ticks += milliseconds; }
  std::chrono::system_clock::time_point Now() override { return {}; }
  int RandomDigit(int) override { return 0; }
  std::uint64_t ticks = 1'000'000;
};

TEST_F(DoViewerTest, GivesUpWhenEveryNameItTriesIsTaken) {
  ZeroDigitClock zero;
  std::string last;
  for (int i = 0; i < 1000; ++i) {
    last = "IR" + GetTimeName(1'000'000 + i, zero) + "01";
    dir.Write("c/MFW/DATA/" + last, "");
  }
  ui.ExpectShow(MessageKind::Error, "Unable to create the file C:\\MFW\\DATA\\" + last);
  EXPECT_FALSE(DoViewer(choices, run, *fs, zero, ui));
  ExpectFailed();
}

TEST_F(DoViewerTest, FailsWhenTheNameIsRefused) {
  struct Case {
    int report;
    std::string wsid;
  } cases[] = {{kImportReport, "1 "}, {1, "01"}};  // a blank in the WSID, a report without prefix
  for (const Case& c : cases) {
    choices.PrintReportNum = c.report;
    choices.TimeName = "OLD1";
    run.WSID = c.wsid;
    ui.ExpectShow(MessageKind::Error, "There must be no blanks in the print-file name.\r");
    EXPECT_FALSE(Reserve());
    ExpectFailed();
  }
}

TEST_F(DoViewerTest, FailsWhenTheFileCannotBeCreated) {
  run.DataPath = "C:\\GONE";
  ui.ExpectShow(MessageKind::Error, "Unable to create the file C:\\GONE\\IRKEKR01");
  EXPECT_FALSE(Reserve());
  ExpectFailed();
}

}  // namespace
}  // namespace upfold
