#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/RunValues.h"
#include "merge/MergeChoices.h"
#include "merge/MergeCommandLine.h"
#include "platform/WindowsCommandLine.h"

namespace upfold {
namespace {

using test::ToFile;
using test::ToPrinter;

std::string Blanks(std::size_t n) {
  return std::string(n, ' ');
}

RunValues Values() {
  RunValues values;
  values.PgmDir = "C:\\MFW";
  values.PgmDirTessel = "/MFW/C";
  values.WSID = "01";
  values.SystemFileDate = "461211";
  return values;
}

std::string Normal(const PrintChoices& choices) {
  return NormalMergeCommandLine(Values(), choices, BuildMergeFields(choices, false));
}

const std::string kFifty = "Accounts Department Colour Laser Printer 2nd Floor";

TEST(MergeCommandLineTest, NormalModeLines) {
  ASSERT_EQ(kFifty.size(), 50u);
  struct Case {
    const char* what;
    PrintChoices choices;
    std::string argument;  // between the quotes
  } cases[] = {
      {"printer", ToPrinter("Office Printer"),
       "IMPORT256Office Printer" + Blanks(28) + Blanks(42) + "C" + "66 "},
      {"file: 30 blanks for F1, then the full path", ToFile(),
       "IMPORT101" + Blanks(30) + "C:\\PRINT\\MERGE.TXT" + Blanks(24) + "R" + "60 "},
      {"50 characters: F1 the first 42, F2 the other 8", ToPrinter(kFifty),
       "IMPORT256Accounts Department Colour Laser Printer 2nd Floor" + Blanks(34) + "C" + "66 "},
      {"a name over 84 characters is cut", ToPrinter(std::string(90, 'P')),
       "IMPORT256" + std::string(84, 'P') + "C" + "66 "},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Normal(c.choices), "C:\\MFW\\Brask.exe \"" + c.argument + "\" 461211") << c.what;
  }
}

// Whatever a field holds, the posting program's first argument is exactly the fixed text.
TEST(MergeCommandLineTest, NormalArgumentSurvivesTheWindowsRules) {
  for (const std::string& printer :
       {std::string("HP \"Front\" Desk"), std::string(84, 'Q'), std::string("Back\\Office")}) {
    PrintChoices choices = ToPrinter(printer);
    choices.PageLen = "66\\";  // a backslash right before the closing quote
    const MergeFields f = BuildMergeFields(choices, false);
    const std::vector<std::string> expected = {"C:\\MFW\\Brask.exe",
                                               "IMPORT" + f.D + f.F1 + f.F2 + f.S + f.L, "461211"};
    EXPECT_EQ(SplitWindowsCommandLine(Normal(choices)), expected) << printer;
  }
}

TEST(MergeCommandLineTest, FieldsHaveTheirWidths) {
  PrintChoices choices = ToFile();
  choices.TimeName = "A1";
  const MergeFields f = BuildMergeFields(choices, true);
  EXPECT_EQ(f.D, "100");
  EXPECT_EQ(f.P, "10");
  EXPECT_EQ(f.N, "Office Printer" + Blanks(16));
  EXPECT_EQ(f.F1, "MERGE.TXT/PRINT/C" + Blanks(25));
  EXPECT_EQ(f.F2, "C:\\PRINT\\MERGE.TXT" + Blanks(24));
  EXPECT_EQ(f.S, "R");
  EXPECT_EQ(f.L, "60 ");
  EXPECT_EQ(f.T, "A1  ");
  EXPECT_EQ(f.R, "R");
  EXPECT_EQ(BuildMergeFields(ToPrinter("X"), true).D, "255");
  const MergeFields fifty = BuildMergeFields(ToPrinter(kFifty), false);
  EXPECT_EQ(fifty.N, "Accounts Department Colour Las");
  EXPECT_EQ(fifty.F1, "Accounts Department Colour Laser Printer 2");
  EXPECT_EQ(fifty.F2, "nd Floor" + Blanks(34));
}

TEST(MergeCommandLineTest, BridgeLineHasNoBlankInItsLastArgument) {
  const std::string b(1, kBridgeBlank);
  auto bridged = [&](std::string text) {
    for (char& c : text)
      if (c == ' ') c = kBridgeBlank;
    return text;
  };
  struct Case {
    const char* what;
    PrintChoices choices;
    std::string debugSwitch;
    std::string line;
  } cases[] = {
      {"printer, interrupt on", ToPrinter("Office Printer"), "-d",
       "C:\\MFW\\KVX  Mfvrn.ini -d BRIDGE/MFW/C 461211TI" + b + b + b + b + "01R25510" +
           bridged("Office Printer" + Blanks(16) + "Office Printer" + Blanks(28) + Blanks(42) +
                   "C66 ")},
      {"file, no switch", ToFile(), "",
       "C:\\MFW\\KVX  Mfvrn.ini  BRIDGE/MFW/C 461211TI" + bridged(Blanks(4)) + "01R10010" +
           bridged("Office Printer" + Blanks(16) + "MERGE.TXT/PRINT/C" + Blanks(25) +
                   "C:\\PRINT\\MERGE.TXT" + Blanks(24) + "R60 ")},
  };
  for (Case& c : cases) {
    RunValues values = Values();
    values.BridgeDebugSwitch = c.debugSwitch;
    const std::string line = BridgeMergeCommandLine(values, BuildMergeFields(c.choices, true));
    EXPECT_EQ(line, c.line) << c.what;
    const std::string last = line.substr(line.rfind(' ') + 1);
    EXPECT_EQ(last.size(), 6u + 2 + 4 + 2 + 1 + 3 + 2 + 30 + 42 + 42 + 1 + 3) << c.what;
  }
}

TEST(MergeCommandLineTest, BridgeLineKeepsFixedPositionsForAShortWorkstationId) {
  RunValues values = Values();
  values.WSID = "7";
  const std::string line = BridgeMergeCommandLine(values, BuildMergeFields(ToFile(), true));
  EXPECT_EQ(line.substr(line.rfind(' ') + 1, 18),
            std::string("461211TI") + std::string(4, kBridgeBlank) + "7" + kBridgeBlank + "R100");
}

TEST(MergeCommandLineTest, TesselPathOfThePrintDirectory) {
  struct Case {
    std::string directory, tessel;
  } cases[] = {
      {"C:\\PRINT", "/PRINT/C"},     {"C:\\", "//C"}, {"C:", "//C"},
      {"D:\\A\\B", "/A\\B/D"},       {"", "/C"},      {"   ", "/C"},
      {"C:\\PRINT\\", "/PRINT\\/C"},
  };
  for (const Case& c : cases) EXPECT_EQ(GetTesselPathFmt(c.directory), c.tessel) << c.directory;
}

}  // namespace
}  // namespace upfold
