// The run's printer list, the printer offered at each opening and the orientation codes.

#include <gtest/gtest.h>

#include "platform/printers/RecordingPrinters.h"
#include "print/PrinterChoice.h"
#include "print/PrinterList.h"
#include "support/ScriptedUi.h"

namespace upfold {
namespace {

using test::ScriptedUi;

const std::string kNoPrinters =
    "You have no windows printers!\r\rYou must have at least one windows printer in order to "
    "print MARROWFIELD reports.";

TEST(PrinterListEntry, DropsAPortAfterOn) {
  struct Case {
    std::string name;
    std::string entry;
  } cases[] = {
      {"HP LaserJet on LPT1:", "HP LaserJet"},
      {"HP on ne01: on LPT2:", "HP"},   // the first " on " counts
      {" on LPT1:", " on LPT1:"},       // at the first character: listed whole
      {"X on Y", "X"},
      {"Canon iR on", "Canon iR on"},   // no blank after "on"
      {"Office-Printer", "Office-Printer"},
      {"Front ON LPT1:", "Front ON LPT1:"},  // " on " in lower case only
  };
  for (const Case& c : cases) EXPECT_EQ(PrinterListEntry(c.name), c.entry) << c.name;
}

TEST(PrinterList, IsBuiltOnceInTheSystemsOrder) {
  RecordingPrinters printers({"Zeta on LPT1:", "Alpha", "Upfold PDF Printer"});
  ScriptedUi ui;
  PrinterList list;
  EXPECT_FALSE(list.Built());
  list.Build(printers, ui);
  EXPECT_EQ(list.Entries(), (std::vector<std::string>{"Zeta", "Alpha", "Upfold PDF Printer"}));
  EXPECT_EQ(list.PrinterNameOf("Zeta"), "Zeta on LPT1:");
  EXPECT_EQ(list.PrinterNameOf("zeta"), "");

  RecordingPrinters others({"Other"});
  list.Build(others, ui);  // never rebuilt
  EXPECT_EQ(list.Entries().size(), 3u);
}

TEST(PrinterList, WithoutPrintersSaysSoOnceAndStaysEmpty) {
  RecordingPrinters none({});
  ScriptedUi ui;
  ui.ExpectShow(MessageKind::Information, kNoPrinters);
  PrinterList list;
  list.Build(none, ui);
  list.Build(none, ui);
  EXPECT_TRUE(list.Built());
  EXPECT_TRUE(list.Empty());

  PrinterChoice choice;
  std::string printSize = "R";
  EXPECT_EQ(choice.ShowAvailPrinters(list, "Alpha", printSize).selected, -1);
}

class PrinterChoiceTest : public ::testing::Test {
 protected:
  PrinterChoiceTest() { list.Build(printers, ui); }
  PrinterChoiceView Open(const std::string& printerName, std::string printSize = "R") {
    return choice.ShowAvailPrinters(list, printerName, printSize);
  }
  RecordingPrinters printers{{"Front on LPT1:", "Back", "Upstairs", "Upfold PDF Printer"}};
  ScriptedUi ui;
  PrinterList list;
  PrinterChoice choice;
};

TEST_F(PrinterChoiceTest, SelectsTheSavedPrinterIgnoringSurroundingBlanks) {
  const PrinterChoiceView view = Open("  Upstairs ");
  EXPECT_EQ(view.entries, list.Entries());
  EXPECT_EQ(view.selected, 2);
  EXPECT_EQ(Open("Front").selected, 0);
}

TEST_F(PrinterChoiceTest, AnUninstalledPrinterGetsTheRememberedPosition) {
  EXPECT_EQ(Open("Gone").selected, 0);  // at first the first printer
  Open("Back");
  choice.Choose(2);  // the user picks the third printer
  EXPECT_EQ(Open("Gone").selected, 2);
  EXPECT_EQ(Open("").selected, 2);
  EXPECT_EQ(Open("Back").selected, 1);
  EXPECT_EQ(Open("Gone").selected, 1);
}

TEST_F(PrinterChoiceTest, OrientationFollowsTheCodeAndNormalisesIt) {
  struct Case {
    std::string saved;
    Orientation orientation;
    std::string returned;
  } cases[] = {
      {"C", Orientation::Landscape, "C"}, {"R", Orientation::Portrait, "R"},
      {"D", Orientation::Portrait, "R"},  {"", Orientation::Portrait, "R"},
      {" ", Orientation::Portrait, "R"},  {"c", Orientation::Portrait, "R"},
  };
  for (const Case& c : cases) {
    std::string printSize = c.saved;
    EXPECT_EQ(choice.ShowAvailPrinters(list, "Back", printSize).orientation, c.orientation)
        << "'" << c.saved << "'";
    EXPECT_EQ(printSize, c.returned);
    EXPECT_EQ(OrientationCode(c.orientation), c.returned);
  }
}

}  // namespace
}  // namespace upfold
