#include <gtest/gtest.h>

#include <cstdlib>

#include "import/ImportCommand.h"
#include "import/RunJournal.h"
#include "import_command_fixture.h"
#include "merge/UnMergedDialog.h"
#include "platform/Desktop.h"
#include "platform/printers/RecordingPrinters.h"
#include "print/PrintChoices.h"
#include "print/PrintChoicesAsker.h"
#include "print/PrinterList.h"

namespace upfold::test {
namespace {
using namespace command;

const std::string kBrask =
    "Transaction entry/alter is running. You must close it before running Remote batch import.";

class FakeAsker final : public PrintChoicesAsker {
 public:
  bool Ask(int reportNumber, PrintChoices& choices) override {
    asked.push_back(reportNumber);
    if (!choose) return false;
    choices.PrintDest = kPrintToFile;
    choices.PrintReportNum = reportNumber;
    return true;
  }
  bool choose = true;
  std::vector<int> asked;
};

class FakeUnMerged final : public UnMergedDialog {
 public:
  explicit FakeUnMerged(CommandFixture& f) : f_(f) {}
  std::optional<UnMergedOutcome> Show(const std::string&, const std::string&) override {
    ++shown;
    if (outcome.choice == 3 && !outcome.stop)  // erased as the dialog does
      for (const char* file : {"MFW/DATA/Trin01.s", "MFW/DATA/Desc01.s"})
        std::filesystem::remove(f_.HostPath(file));
    return outcome;
  }
  UnMergedOutcome outcome{2, false};  // append
  int shown = 0;

 private:
  CommandFixture& f_;
};

// The results window: records what it was given and runs the journal's part of a run, which
// posts `post` records of every batch into the host batch and then, unless it `dies`, ends.
class FakeWindow final : public ImportWindow {
 public:
  explicit FakeWindow(CommandFixture& f) : f_(f) {}
  bool Run(const ImportRequest& request) override {
    requests.push_back(request);
    if (!created) return false;
    RunJournal& journal = *request.journal;
    journal.RunStarted(request.remoteFiles);
    for (const std::string& file : request.remoteFiles) {
      RecordMark mark;
      mark.remoteFile = file;
      const std::optional<BatchResume> resume = journal.BatchStarting(file);
      resumedAt.push_back(resume ? resume->mark.recordsDone : 0);
      if (resume) mark = resume->mark;
      while (mark.recordsDone < post) {
        DataFile trin;
        EXPECT_EQ(trin.Open(f_.HostPath("MFW/DATA/Trin01.s")), RmStatus::Success);
        std::string record = CommandFixture::HostRecord("P" + std::to_string(mark.recordsDone));
        EXPECT_EQ(trin.Insert(record), RmStatus::Success);
        mark.hostBatchHigh = static_cast<unsigned char>(record[0]);
        ++mark.recordsDone;
        journal.RecordDone(mark);
      }
      if (dies) return true;
      journal.BatchFinished(file, true);
    }
    journal.RunFinished(false);
    return true;
  }
  bool created = true;
  bool dies = false;
  std::uint64_t post = 0;
  std::vector<ImportRequest> requests;
  std::vector<std::uint64_t> resumedAt;

 private:
  CommandFixture& f_;
};

class ImportCommandTest : public CommandFixture {
 protected:
  ImportCommandTest() { choices.PrintDest = kPrintNothing; }

  // Picks the files and presses "Process".
  void SelectAndProcess(const std::vector<std::string>& files) {
    ui.ExpectOpenFiles(files);
    command.ProcessSBClick();
    ASSERT_TRUE(view.boxVisible);
    command.ProcessSBClick();
  }
  std::size_t HostRecords() { return Stored("MFW/DATA/Trin01.s").size(); }

  FakeDesktop desktop;
  RecordingPrinters printers{{"Office laser"}};
  PrinterList printerList;
  PrintChoices choices;
  FakeAsker asker;
  FakeUnMerged unMerged{*this};
  FakeWindow window{*this};
  FakeMainView view;
  ImportCommand command{
      ctx, dm, view,
      ImportServices{desktop, printers, printerList, choices, asker, unMerged, window, nullptr}};
};

TEST_F(ImportCommandTest, AConflictingProgramStopsTheCommandBeforeAnythingElse) {
  for (const char* running : {"TBraskF", " tkelvof "}) {
    desktop.windows = {{running, 1}};
    ui.ExpectShow(MessageKind::Information,
                  std::string(running) == "TBraskF"
                      ? kBrask
                      : "Generic Import is running. You must close it before running Remote "
                        "batch import.");
    command.ProcessSBClick();
    EXPECT_FALSE(printerList.Built());
    EXPECT_TRUE(ui.fileRequests.empty());
  }
}

TEST_F(ImportCommandTest, BothPhasesPrepareTheHostBatchAndHandTheListToTheRun) {
  RemoteBatch("TRINAB.RME", {"250301", "250315"});
  SetHostValue("UpfoldDate", "250101");
  SelectAndProcess({"C:\\REMOTE\\TRINAB.RME"});

  ASSERT_EQ(window.requests.size(), 1u);
  const ImportRequest& r = window.requests[0];
  EXPECT_EQ(r.selectedRemoteFiles,
            (std::vector<std::string>{"C:\\REMOTE\\TRINAB.RME  2 recs  03/01/05 - 03/15/05"}));
  EXPECT_EQ(r.remoteFiles, (std::vector<std::string>{"C:\\REMOTE\\TRINAB.RME"}));
  EXPECT_EQ(r.selectedBatchRecordCount, 2u);
  EXPECT_EQ(asker.asked, (std::vector<int>{kImportReport}));
  EXPECT_TRUE(HostExists("MFW/DATA/Trin01.s"));
  EXPECT_EQ(HostValue("UpfoldDate"), "250320");  // the run's start was marked
  EXPECT_EQ(HostValue("UpfoldNumProcessed"), "0");
  EXPECT_FALSE(view.boxVisible);
  EXPECT_TRUE(view.importEnabled);
  EXPECT_FALSE(ui.hourglass);
  EXPECT_TRUE(printerList.Built());
}

TEST_F(ImportCommandTest, AnEmptiedListSkipsTheChecksButStillAsksForTheReportDestination) {
  view.boxVisible = true;
  view.lines.clear();
  std::filesystem::remove(dir / "c/MFW/PGM/RemTrin.clo");  // would stop a per-file check
  command.ProcessSBClick();
  ASSERT_EQ(window.requests.size(), 1u);
  EXPECT_TRUE(window.requests[0].remoteFiles.empty());
  EXPECT_EQ(asker.asked.size(), 1u);
}

TEST_F(ImportCommandTest, AStopLeavesTheListShownForAnotherTry) {
  RemoteBatch("TRINAB.RME", {"250301"});
  struct Case {
    const char* what;
    bool choose;
    bool created;
  } cases[] = {{"no report destination", false, true}, {"window not created", true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    asker.choose = c.choose;
    window.created = c.created;
    choices = PrintChoices{};
    view = FakeMainView{};
    SelectAndProcess({"C:\\REMOTE\\TRINAB.RME"});
    EXPECT_TRUE(view.boxVisible);
    EXPECT_FALSE(view.importEnabled);
    EXPECT_FALSE(ui.hourglass);
  }
  EXPECT_EQ(window.requests.size(), 1u);  // only the window that could not be created
}

TEST_F(ImportCommandTest, AKilledRunIsAskedAboutAndContinuedAfterItsLastRecord) {
  RemoteBatch("TRINAB.RME", {"250301", "250302", "250303", "250304"});
  window.post = 3;
  window.dies = true;
  SelectAndProcess({"C:\\REMOTE\\TRINAB.RME"});
  EXPECT_EQ(HostRecords(), 3u);

  // The next import asks, with the figures of the batch, and goes on after record 3.
  window.dies = false;
  window.post = 4;
  view = FakeMainView{};
  ui.ExpectOpenFiles({"C:\\REMOTE\\TRINAB.RME"});
  command.ProcessSBClick();
  ui.ExpectAsk(MessageKind::Question,
               "The processing of your last remote file was interrupted!\r\rRemote file name: "
               "C:\\REMOTE\\TRINAB.RME\rProcessing date: 03/20/2005\r\r3 of 4 records were "
               "processed.\r\rDo you want to continue processing the interrupted file?\r(Cancel "
               "exits all remote processing.)\r\r",
               Answer::Yes);
  command.ProcessSBClick();
  EXPECT_EQ(unMerged.shown, 0);  // the host batch is reused as it stands
  ASSERT_EQ(window.resumedAt.size(), 2u);
  EXPECT_EQ(window.resumedAt[1], 3u);
  EXPECT_EQ(HostRecords(), 4u);
}

TEST_F(ImportCommandTest, AfterContinuingTheNextListedBatchMeetsTheUnmergedBatch) {
  RemoteBatch("TRINAB.RME", {"250301", "250302"});
  RemoteBatch("TRINCD.RME", {"250301"});
  Make("MFW/DATA/Trin01.s", "Batch", {HostRecord("OLD")});
  Make("MFW/DATA/Desc01.s", "TrDesc", {Header("Batch one", "250310")});
  SetHostValue("UpfoldRemoteFile", "C:\\REMOTE\\TRINAB.RME");
  SetHostValue("UpfoldNumInFile", "2");
  SetHostValue("UpfoldNumProcessed", "1");
  ui.ExpectOpenFiles({"C:\\REMOTE\\TRINAB.RME", "C:\\REMOTE\\TRINCD.RME"});
  command.ProcessSBClick();
  ui.ExpectAsk(MessageKind::Question,
               "The processing of your last remote file was interrupted!\r\rRemote file name: "
               "C:\\REMOTE\\TRINAB.RME\rProcessing date: 01/01/1981\r\r1 of 2 records were "
               "processed.\r\rDo you want to continue processing the interrupted file?\r(Cancel "
               "exits all remote processing.)\r\r",
               Answer::Yes);
  command.ProcessSBClick();
  EXPECT_EQ(unMerged.shown, 1);
  EXPECT_EQ(window.requests.size(), 1u);
}

TEST_F(ImportCommandTest, ErasingTheBatchAnInterruptedRunPostedIntoStartsItsBatchAfresh) {
  RemoteBatch("TRINAB.RME", {"250301", "250302", "250303", "250304"});
  RemoteBatch("TRINCD.RME", {"250301"});
  window.post = 3;
  window.dies = true;
  SelectAndProcess({"C:\\REMOTE\\TRINAB.RME"});

  // Continue, but erase the host batch at the second listed batch: the three transactions
  // posted before are gone with it, so nothing of TRINAB may be skipped.
  window.dies = false;
  window.post = 0;
  unMerged.outcome = {3, false};
  view = FakeMainView{};
  ui.ExpectOpenFiles({"C:\\REMOTE\\TRINAB.RME", "C:\\REMOTE\\TRINCD.RME"});
  command.ProcessSBClick();
  ui.ExpectAsk(MessageKind::Question,
               "The processing of your last remote file was interrupted!\r\rRemote file name: "
               "C:\\REMOTE\\TRINAB.RME\rProcessing date: 03/20/2005\r\r3 of 4 records were "
               "processed.\r\rDo you want to continue processing the interrupted file?\r(Cancel "
               "exits all remote processing.)\r\r",
               Answer::Yes);
  command.ProcessSBClick();
  EXPECT_EQ(unMerged.shown, 1);
  EXPECT_EQ(HostRecords(), 0u);
  ASSERT_EQ(window.resumedAt.size(), 3u);
  EXPECT_EQ(window.resumedAt[1], 0u);  // TRINAB from its first record
  EXPECT_EQ(window.resumedAt[2], 0u);
}

// Run by tests/e2e/import_conflict_xvfb_test.sh on a real X server where a window of class
// TBraskF with a child window is open.
TEST_F(ImportCommandTest, OnARealDesktopTheRunningEntryProgramStopsTheImport) {
  const char* display = std::getenv("UPFOLD_CONFLICT_DISPLAY");
  if (display == nullptr) GTEST_SKIP() << "needs the X server of the conflict test";
  XDesktop real(display);
  ImportCommand onDesktop(
      ctx, dm, view,
      ImportServices{real, printers, printerList, choices, asker, unMerged, window, nullptr});
  ui.ExpectShow(MessageKind::Information, kBrask);
  onDesktop.ProcessSBClick();
  EXPECT_FALSE(printerList.Built());
  EXPECT_TRUE(ui.fileRequests.empty());
  EXPECT_FALSE(HostExists("MFW/DATA/Trin01.s"));
  EXPECT_TRUE(window.requests.empty());
}

}  // namespace
}  // namespace upfold::test
