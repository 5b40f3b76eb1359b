#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "merge/MergeCommand.h"
#include "merge/MergeFixture.h"

namespace upfold {
namespace {

using test::ToPrinter;

const std::string kQuestion =
    "Batch Name: DECEMBER FEES  Dated 12/11/2026\r\rAre you sure you want to merge this batch?";
const std::string kNormalLine = test::OfficePrinterLine();
const std::string kRefused =
    "The Merge may not be run at this time.\rPlease wait until the previous Merge is done.\r\r"
    "and then try again.";
const std::vector<std::string> kProgressShownAndHidden = {std::string("show") + kMergingLine,
                                                          "hide"};

class MergeCommandTest : public test::MergeFixture {
 protected:
  // Nothing was handed on and the command ended with the arrow cursor.
  void ExpectNothingStarted() {
    EXPECT_TRUE(fakeLauncher.calls.empty());
    EXPECT_TRUE(view.log.empty());
    EXPECT_FALSE(ui.hourglass);
    EXPECT_FALSE(tables->TrinScratchTB.Active());
  }
};

TEST_F(MergeCommandTest, MergesAfterConfirmationAndWaitsForThePostingProgram) {
  MakeHostBatch(2);
  main.Values().SystemFileDate = "010101";  // refreshed from the working date
  // A table left open elsewhere would keep the posting program from its files.
  MakeDescriptions();
  tables->DescScratchTB.SetTableName("C:\\MFW\\DATA\\Desc01.s;RES:TrDesc");
  tables->DescScratchTB.Open();
  fakeLauncher.onStart = [&](const std::string&) {
    EXPECT_FALSE(tables->DescScratchTB.Active());
    EXPECT_FALSE(tables->TrinScratchTB.Active());
  };
  fakeLauncher.pollsBeforeExit = 3;
  std::vector<int> runningDuringWait;
  ui.onProcessMessages = [&] { runningDuringWait.push_back(main.Values().RunningOperation); };
  ui.ExpectAsk(MessageKind::Question, kQuestion, Answer::Yes);

  Command().MergeSBClick();

  EXPECT_EQ(headerReads, 1);
  EXPECT_EQ(asker.reports, std::vector<int>{kMergeReport});
  ASSERT_EQ(fakeLauncher.calls.size(), 1u);
  EXPECT_EQ(fakeLauncher.calls[0].commandLine, kNormalLine);
  EXPECT_EQ(fakeLauncher.calls[0].show, WindowShow::Minimized);
  EXPECT_EQ(main.Values().SystemFileDate, "461211");
  // The windows were kept alive before every poll of the running program.
  EXPECT_EQ(runningDuringWait, (std::vector<int>{2, 2, 2, 2}));
  EXPECT_EQ(main.Values().RunningOperation, 0);
  EXPECT_EQ(choices.PrintDest, kPrintNothing);
  EXPECT_EQ(view.log, kProgressShownAndHidden);
  EXPECT_FALSE(ui.hourglass);
  EXPECT_FALSE(tables->TrinScratchTB.Active());
  EXPECT_TRUE(printerList.Built());
}

TEST_F(MergeCommandTest, NothingToMergeWithoutTransactions) {
  for (bool fileExists : {false, true}) {
    SCOPED_TRACE(fileExists ? "empty host batch" : "no host batch");
    if (fileExists) MakeHostBatch(0);
    ui.ExpectShow(MessageKind::Plain, kNothingToMerge);
    Command().MergeSBClick();
    ExpectNothingStarted();
    EXPECT_EQ(headerReads, 0);
    EXPECT_TRUE(asker.reports.empty());
  }
}

TEST_F(MergeCommandTest, StopsQuietlyWhenTheHeaderFailsOrTheMergeIsNotConfirmed) {
  MakeHostBatch(1);
  headerReadable = false;
  Command().MergeSBClick();
  ExpectNothingStarted();

  headerReadable = true;
  ui.ExpectAsk(MessageKind::Question, kQuestion, Answer::No);
  Command().MergeSBClick();
  ExpectNothingStarted();
  EXPECT_TRUE(asker.reports.empty());
  EXPECT_EQ(headerReads, 2);
}

TEST_F(MergeCommandTest, RefusedWhileAConflictingProgramRuns) {
  MakeHostBatch(1);
  struct Case {
    const char* windowClass;
    const char* label;
  } cases[] = {{"TBraskF", "Transaction entry/alter"}, {"TKelvoF", "Generic Import"}};
  for (const Case& c : cases) {
    desktop.windows = {{c.windowClass, 1}};
    ui.ExpectShow(
        MessageKind::Information,
        std::string(c.label) + " is running. You must close it before running Merge remote batch.");
    Command().MergeSBClick();
    ExpectNothingStarted();
    EXPECT_EQ(headerReads, 0);
  }
}

TEST_F(MergeCommandTest, CancelledPrintingChoicesStartNothing) {
  asker.answer.reset();
  EXPECT_FALSE(Command().RunTrim());
  EXPECT_EQ(asker.reports, std::vector<int>{kMergeReport});
  EXPECT_TRUE(fakeLauncher.calls.empty());
  EXPECT_TRUE(view.log.empty());
}

// Only a list built by the hand-off itself stops it; later a file destination is still possible.
TEST_F(MergeCommandTest, NoPrinterStopsTheFirstHandOff) {
  RecordingPrinters none{std::vector<std::string>{}};
  PrinterList list;
  MergeCommand command(
      main, {*fs, clock, desktop, fakeLauncher, *tables, choices, asker, list, none, &view});
  ui.ExpectShow(MessageKind::Information,
                "You have no windows printers!\r\rYou must have at least one windows printer in "
                "order to print MARROWFIELD reports.");
  EXPECT_FALSE(command.RunTrim());
  EXPECT_TRUE(asker.reports.empty());

  EXPECT_TRUE(command.RunTrim());
  EXPECT_EQ(asker.reports, std::vector<int>{kMergeReport});
  EXPECT_EQ(fakeLauncher.calls.size(), 1u);
}

TEST_F(MergeCommandTest, AProgramThatCannotStartIsReportedAndKeepsTheDestination) {
  fakeLauncher.failWith = "The system cannot find the file specified.";
  ui.ExpectShow(MessageKind::Plain, kCannotStartPosting);
  EXPECT_TRUE(Command().RunTrim());
  EXPECT_EQ(choices.PrintDest, kPrintToPrinter);
  EXPECT_EQ(main.Values().RunningOperation, 0);
  EXPECT_EQ(view.log,
            (std::vector<std::string>{std::string("show") + kMergingLine, "hide", "hide"}));
  EXPECT_FALSE(ui.hourglass);
}

// A failure while starting or waiting is reported once, and the next merge is not refused.
TEST_F(MergeCommandTest, AnErrorDuringTheWaitLeavesNoMergeRunning) {
  struct Case {
    const char* what;
    std::function<void()> failStart;
    std::function<void()> failPump;
  } cases[] = {
      {"start", [] { throw std::runtime_error("no process slots"); }, nullptr},
      {"wait", nullptr, [] { throw std::runtime_error("window gone"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fakeLauncher.onStart = [&](const std::string&) {
      if (c.failStart) c.failStart();
    };
    ui.onProcessMessages = c.failPump;
    ui.ExpectShow(MessageKind::Plain, kStartUpInfoError);
    EXPECT_TRUE(Command().RunTrim());
    EXPECT_EQ(main.Values().RunningOperation, 0);
    EXPECT_TRUE(Command().IsRunningZero(kMergeOperation));
    EXPECT_FALSE(ui.hourglass);
  }
}

TEST_F(MergeCommandTest, ASecondMergeDuringTheWaitIsRefused) {
  MakeHostBatch(1);
  fakeLauncher.pollsBeforeExit = 5;
  int clicks = 0;
  ui.onProcessMessages = [&] {
    if (clicks++ == 0) Command().MergeSBClick();
  };
  ui.ExpectAsk(MessageKind::Question, kQuestion, Answer::Yes);
  ui.ExpectShow(MessageKind::Plain, kRefused);

  Command().MergeSBClick();

  EXPECT_EQ(fakeLauncher.calls.size(), 1u);
  EXPECT_EQ(asker.reports.size(), 1u);
  EXPECT_EQ(headerReads, 1);
  EXPECT_EQ(main.Values().RunningOperation, 0);
}

// The unmerged-batch dialog's "Print and merge" comes straight to the hand-off.
TEST_F(MergeCommandTest, HandOffRefusedWhileAnotherRuns) {
  int nested = 0;
  ui.onProcessMessages = [&] {
    if (nested++ == 0) {
      EXPECT_FALSE(Command().RunTrim());
    }
  };
  fakeLauncher.pollsBeforeExit = 2;
  ui.ExpectShow(MessageKind::Plain, kRefused);
  EXPECT_TRUE(Command().RunTrim());
  EXPECT_EQ(fakeLauncher.calls.size(), 1u);
  EXPECT_EQ(asker.reports.size(), 1u);
  EXPECT_EQ(view.log, kProgressShownAndHidden);
}

TEST_F(MergeCommandTest, IsRunningZeroNamesTheAskingAndTheRunningOperation) {
  EXPECT_TRUE(Command().IsRunningZero("Merge"));
  main.Values().RunningOperation = kMergeRunning;
  ui.ExpectShow(MessageKind::Plain,
                "The Import may not be run at this time.\rPlease wait until the previous Merge "
                "is done.\r\rand then try again.");
  EXPECT_FALSE(Command().IsRunningZero("Import"));
  EXPECT_EQ(clock.TotalSlept(), 0u);  // refused at once, without freezing the windows
}

TEST_F(MergeCommandTest, BridgeModeLastsForOneHandOff) {
  main.SetKvxInterrupt(true);
  PrintChoices toFile = test::ToFile();
  toFile.TimeName = "Z9";
  asker.answer = toFile;

  EXPECT_TRUE(Command().RunTrim());
  ASSERT_EQ(fakeLauncher.calls.size(), 1u);
  const std::string& line = fakeLauncher.calls[0].commandLine;
  const std::string prefix = "C:\\MFW\\KVX  Mfvrn.ini -d BRIDGE/MFW/C ";
  ASSERT_EQ(line.substr(0, prefix.size()), prefix);
  const std::string argument = line.substr(prefix.size());
  EXPECT_EQ(argument.find(' '), std::string::npos);
  EXPECT_EQ(argument.substr(0, 20),
            "461211TIZ9\x84\x84"
            "01R10010");
  EXPECT_EQ(choices.TimeName, "Z9  ");  // padded and kept
  EXPECT_FALSE(main.KvxInterrupt());
  EXPECT_FALSE(view.kvxChecked);
  EXPECT_EQ(main.Values().BridgeDebugSwitch, "");

  asker.answer = ToPrinter();
  EXPECT_TRUE(Command().RunTrim());
  ASSERT_EQ(fakeLauncher.calls.size(), 2u);
  EXPECT_EQ(fakeLauncher.calls[1].commandLine, kNormalLine);
}

TEST_F(MergeCommandTest, TheWaitEndsWhenTheApplicationCloses) {
  fakeLauncher.pollsBeforeExit = 1000;
  Command().terminating = [] { return true; };
  EXPECT_TRUE(Command().RunTrim());
  EXPECT_EQ(ui.processed, 1);
  EXPECT_EQ(main.Values().RunningOperation, 0);
}

}  // namespace
}  // namespace upfold
