#include "app/CkPgm.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Desktop.h"
#include "support/ScriptedUi.h"

namespace upfold {
namespace {

using test::ScriptedUi;

const std::string kContact = "\r\rPlease contact Verrin, Inc. for assistance.";

FakeDesktop DesktopWith(std::vector<TopLevelWindow> windows) {
  FakeDesktop desktop;
  desktop.windows = std::move(windows);
  return desktop;
}

TEST(IsThisRunning, ComparesClassNamesWithoutCaseAndBlanks) {
  struct Case {
    const char* wanted;
    std::vector<TopLevelWindow> windows;
    bool running;
  } cases[] = {
      {"TBraskF", {{"Progman", 2}, {"TBraskF", 5}}, true},
      {"TBraskF", {{"  tbraskf\t", 1}}, true},
      {"tbraskf", {{"TBRASKF", 1}}, true},
      {"TBraskF", {{"TBraskF", 0}}, false},  // no child windows: not a program window
      {"TBraskF", {{"TBraskFX", 1}, {"TBrask", 1}, {"", 3}}, false},
      {"TBraskF", {}, false},
  };
  for (const Case& c : cases) {
    FakeDesktop desktop = DesktopWith(c.windows);
    ScriptedUi ui;
    if (c.running)
      ui.ExpectShow(MessageKind::Information,
                    "Transaction entry/alter is running. You must close it before running "
                    "Remote batch import.");
    EXPECT_EQ(IsThisRunning(c.wanted, "Transaction entry/alter", kImportAction, ui, desktop, ""),
              c.running)
        << c.wanted << " among " << c.windows.size() << " windows";
  }
}

TEST(IsThisRunning, NamesTheProgramAndTheAction) {
  FakeDesktop desktop = DesktopWith({{"TKelvoF", 4}});
  ScriptedUi ui;
  ui.ExpectShow(MessageKind::Information,
                "Generic Import is running. You must close it before running Merge remote batch.");
  EXPECT_TRUE(IsThisRunning("TKelvoF", "Generic Import", kMergeAction, ui, desktop, ""));
}

// With the diagnostic switch R (any case) each stored window is traced, up to the hit.
TEST(IsThisRunning, TracesEachExaminedWindowForSwitchR) {
  FakeDesktop desktop =
      DesktopWith({{"Progman", 2}, {"Hidden", 0}, {"  TBraskF ", 1}, {"Shell_TrayWnd", 3}});
  for (const char* diag : {"r", "R"}) {
    ScriptedUi ui;
    ui.ExpectShow(MessageKind::Plain, "In IsThisRunning /RowCount=3 Progman TBraskF");
    ui.ExpectShow(MessageKind::Plain, "In IsThisRunning /RowCount=3 TBraskF TBraskF");
    ui.ExpectShow(MessageKind::Information,
                  "Transaction entry/alter is running. You must close it before running "
                  "Remote batch import.");
    EXPECT_TRUE(
        IsThisRunning("TBraskF", "Transaction entry/alter", kImportAction, ui, desktop, diag));
  }
  // A miss traces every window; other switches trace nothing.
  ScriptedUi ui;
  ui.ExpectShow(MessageKind::Plain, "In IsThisRunning /RowCount=3 Progman TKelvoF");
  ui.ExpectShow(MessageKind::Plain, "In IsThisRunning /RowCount=3 TBraskF TKelvoF");
  ui.ExpectShow(MessageKind::Plain, "In IsThisRunning /RowCount=3 Shell_TrayWnd TKelvoF");
  EXPECT_FALSE(IsThisRunning("TKelvoF", "Generic Import", kImportAction, ui, desktop, "r"));
  ScriptedUi quiet;
  EXPECT_FALSE(IsThisRunning("TKelvoF", "Generic Import", kImportAction, quiet, desktop, "G"));
}

class ThrowingDesktop final : public Desktop {
 public:
  EnumResult EnumWindows(const std::function<bool(const TopLevelWindow&)>&) override {
    throw std::runtime_error("Out of resources.");
  }
};

// A check that cannot be made counts as a running program.
TEST(IsThisRunning, FailureCountsAsRunning) {
  FakeDesktop failing;
  failing.failure = "The window list of the X display cannot be read.";
  ScriptedUi ui;
  ui.ExpectShow(MessageKind::Error,
                "The window list of the X display cannot be read.\r\r"
                "Unable to run EnumWindows in CkPgm.\r\r" +
                    kContact);
  EXPECT_TRUE(IsThisRunning("TBraskF", "Transaction entry/alter", kImportAction, ui, failing, ""));

  ThrowingDesktop throwing;
  ui.ExpectShow(MessageKind::Error,
                "Out of resources.\r\rUnable to check if other programs are running." + kContact);
  EXPECT_TRUE(IsThisRunning("TBraskF", "Transaction entry/alter", kImportAction, ui, throwing, ""));
}

// The table holds 1000 names; a program beyond them is still found, and the enumeration ends
// there. Without a hit every window is examined.
TEST(IsThisRunning, FindsAProgramPastTheTablesCapacity) {
  std::vector<TopLevelWindow> many(1200, TopLevelWindow{"Filler", 1});
  many[1100] = {"tbraskf ", 2};
  FakeDesktop desktop = DesktopWith(many);
  ScriptedUi ui;
  ui.ExpectShow(MessageKind::Information,
                "Transaction entry/alter is running. You must close it before running "
                "Remote batch import.");
  EXPECT_TRUE(IsThisRunning("TBraskF", "Transaction entry/alter", kImportAction, ui, desktop, ""));
  EXPECT_EQ(desktop.visited, 1101);

  FakeDesktop none = DesktopWith(std::vector<TopLevelWindow>(1200, TopLevelWindow{"Filler", 1}));
  EXPECT_FALSE(IsThisRunning("TBraskF", "Transaction entry/alter", kImportAction, ui, none, ""));
  EXPECT_EQ(none.visited, 1200);
}

TEST(CollectWindowClass, StoresNamesOfWindowsWithChildrenCutTo255) {
  WindowClassTable table;
  table.wanted = "TBRASKF";
  EXPECT_TRUE(CollectWindowClass({std::string(300, 'x'), 1}, table));
  EXPECT_TRUE(CollectWindowClass({"NoKids", 0}, table));
  EXPECT_TRUE(CollectWindowClass({"Next", 1}, table));
  ASSERT_EQ(table.count, 2);
  EXPECT_EQ(table.entries[0], std::string(255, 'x'));
  EXPECT_EQ(table.entries[1], "Next");
}

// A command checks the entry/alter program first and stops at the first that runs.
TEST(IsConflictingProgramRunning, ChecksBothProgramsInOrder) {
  struct Case {
    std::vector<TopLevelWindow> windows;
    const char* message;  // nullptr: none
    int enumerations;
  } cases[] = {
      {{{"TKelvoF", 1}, {"TBraskF", 1}},
       "Transaction entry/alter is running. You must close it before running Merge remote batch.",
       1},
      {{{"TKelvoF", 1}},
       "Generic Import is running. You must close it before running Merge remote batch.",
       2},
      {{{"Progman", 1}}, nullptr, 2},
  };
  for (const Case& c : cases) {
    FakeDesktop desktop = DesktopWith(c.windows);
    ScriptedUi ui;
    if (c.message) ui.ExpectShow(MessageKind::Information, c.message);
    EXPECT_EQ(IsConflictingProgramRunning(kMergeAction, ui, desktop, ""), c.message != nullptr);
    EXPECT_EQ(desktop.enumerations, c.enumerations);
  }
}

}  // namespace
}  // namespace upfold
