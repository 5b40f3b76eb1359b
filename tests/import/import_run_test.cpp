// The run over several batches: the results grid, empty batches, whole paths with blanks,
// failures that end a batch or the run, the journal's marks and a continued batch.

#include <gtest/gtest.h>

#include "ImportFixture.h"
#include "data/FixedText.h"

namespace upfold::test {
namespace {

class Run : public ImportFixture {
 protected:
  Run() {
    AddCase("ACME", "1");
    AddEmployee("DBE", "LI", "AS");
    AddGroup("F", "CT");
  }
};

TEST_F(Run, GridProgressAndCountsOverTwoBatches) {
  AddRemote("TRIN12.RME", {{"ActualAmount", "10"}});
  AddRemote("TRIN12.RME", {{"ClientCode", "NOSUCH"}});
  AddRemote("TRIN23.RME", {{"ActualAmount", "20"}});
  auto run = MakeRun({"TRIN12.RME", "TRIN23.RME"});
  bool reported = false;
  run->SetRejectReport([&] { return reported = true; });
  run->Activate();
  run->Activate();  // a second activation does not run again
  EXPECT_FALSE(run->ErrorsOccurred());
  EXPECT_EQ(view.rowCount, 3);
  EXPECT_EQ(view.Cell(0, 0), "Remote file name");
  EXPECT_EQ(view.Cell(4, 0), "Renamed file");
  const std::vector<std::vector<std::string>> rows = {
      {RemotePath("TRIN12.RME"), "2", "1", std::string(kData) + "\\TRIN12.R01", RemotePath("TRIN12.001")},
      {RemotePath("TRIN23.RME"), "1", "0", "No Reject File", RemotePath("TRIN23.001")}};
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 5; ++c) EXPECT_EQ(view.Cell(c, r + 1), rows[r][c]) << r << "," << c;
  EXPECT_EQ(run->RecsProcessed(), 3u);
  EXPECT_EQ(run->RunRejects(), 1u);
  EXPECT_TRUE(reported);
  EXPECT_TRUE(view.okShown);
  EXPECT_EQ(data->processName, "Remote");
  EXPECT_EQ(data->progress,
            (std::vector<std::string>{RemotePath("TRIN23.RME"), "", "0", "3", "1"}));
  EXPECT_EQ(HostBatch().size(), 2u);
  EXPECT_EQ(HostBatch()[1].at("SeqNumber"), "       2");
  // Repaints are coalesced: the fake clock stands still, so only the batch ends force one.
  EXPECT_LE(view.repaints, 5);
  ASSERT_EQ(journal.marks.size(), 3u);
  EXPECT_EQ(journal.marks[1].recordsDone, 2u);
  EXPECT_EQ(journal.marks[1].fileRejects, 1u);
  EXPECT_EQ(journal.marks[1].rejectFile, std::string(kData) + "\\TRIN12.R01");
  EXPECT_EQ(journal.marks[2].nextSeq, 2u);
  EXPECT_EQ(journal.marks[2].hostBatchHigh, 2u);
  EXPECT_EQ(journal.finished.size(), 2u);
  EXPECT_EQ(journal.runErrors, false);
}

TEST_F(Run, EmptyBatchIsSkippedAndNotRenamed) {
  Create(RemotePath("TRIN12.RME"), "RemBatch");
  Create(RemotePath("DESC12.RME"), "RemBatchD");
  AddRemote("TRIN23.RME", {{"ActualAmount", "20"}});
  ui.ExpectShow(MessageKind::Information, "There are no records in the remote file TRIN12.RME");
  auto run = MakeRun({"TRIN12.RME", "TRIN23.RME"});
  run->Activate();
  EXPECT_EQ(view.Cell(1, 1), "0");
  EXPECT_EQ(view.Cell(2, 1), "");
  EXPECT_EQ(view.Cell(4, 1), "");
  EXPECT_TRUE(Exists(RemotePath("TRIN12.RME")));
  EXPECT_EQ(view.Cell(4, 2), RemotePath("TRIN23.001"));
}

TEST_F(Run, PathWithBlanksIsImportedWhole) {
  std::filesystem::create_directories(dir / "c/Remote files");
  const std::string folder = "C:\\Remote files";
  Create(folder + "\\TRIN01.RME", "RemBatch");
  Create(folder + "\\DESC01.RME", "RemBatchD");
  Add(folder + "\\TRIN01.RME", "RemBatch",
      {{"ClientCode", "ACME"}, {"CaseSuffix", "      1"}, {"Type", "F"}, {"StringTransDate", "461201"},
       {"EmployeeCode", "DBE"}, {"BillableEmpCode", "DBE"}, {"GroupingCode", "CT"},
       {"ActualAmount", "5"}, {"SequenceNumber", "       1"}, {"Unassigned2", "+++"}});
  auto run = MakeRun({folder + "\\TRIN01.RME"});
  run->Activate();
  EXPECT_FALSE(run->ErrorsOccurred());
  EXPECT_EQ(HostBatch().size(), 1u);
  EXPECT_EQ(view.Cell(4, 1), folder + "\\TRIN01.001");
}

TEST_F(Run, FailedBatchIsNotRenamedAndTheRunGoesOn) {
  AddRemote("TRIN12.RME", {{"ActualAmount", "10"}});
  AddRemote("TRIN12.RME", {{"ClientCode", "BOGUS"}});  // read second, in client order
  AddCase("ZED", "1");
  AddRemote("TRIN12.RME", {{"ClientCode", "ZED"}, {"ActualAmount", "30"}});
  AddRemote("TRIN23.RME", {{"ActualAmount", "20"}});
  data->refuse = {"TRIN12.R01"};
  ui.ExpectShow(MessageKind::Plain, "Unable to open file C:\\MFW\\DATA\\TRIN12.R01.");
  ui.ExpectShow(MessageKind::Information, "Warning!\r\rVantro is done - there have been errors.");
  auto run = MakeRun({"TRIN12.RME", "TRIN23.RME"});
  run->Activate();
  EXPECT_TRUE(run->ErrorsOccurred());
  // The first record of TRIN12 is posted; its reject stops the batch, which keeps its name
  // so that a continued run (through the journal) takes it up after the posted record.
  EXPECT_TRUE(Exists(RemotePath("TRIN12.RME")));
  EXPECT_EQ(view.Cell(4, 1), "Not renamed");
  EXPECT_EQ(view.Cell(4, 2), RemotePath("TRIN23.001"));
  EXPECT_EQ(run->RecsProcessed(), 2u);
  const std::vector<Record> host = HostBatch();
  ASSERT_EQ(host.size(), 2u);
  EXPECT_EQ(host[0].at("ADollars"), "10");
  EXPECT_EQ(host[1].at("ADollars"), "20");
  EXPECT_EQ(journal.marks.front().recordsDone, 1u);
  EXPECT_EQ(journal.finished.at(0), std::make_pair(RemotePath("TRIN12.RME"), false));
  EXPECT_EQ(journal.runErrors, true);

  // The next run starts clean.
  data->refuse.clear();
  journal = RecordingJournal{};
  journal.resume = BatchResume{};
  journal.resume->mark.remoteFile = RemotePath("TRIN12.RME");
  journal.resume->mark.recordsDone = 1;
  journal.resume->mark.nextSeq = 2;
  auto again = MakeRun({"TRIN12.RME"});
  again->Activate();
  EXPECT_FALSE(again->ErrorsOccurred());
  const std::vector<Record> after = HostBatch();
  ASSERT_EQ(after.size(), 3u);  // the posted record is not imported twice
  EXPECT_EQ(after[2].at("ADollars"), "30");
  EXPECT_EQ(after[2].at("SeqNumber"), "       3");
  EXPECT_EQ(view.Cell(4, 1), RemotePath("TRIN12.001"));
  EXPECT_EQ(view.Cell(2, 1), "1");
}

TEST_F(Run, MissingMasterFileEndsTheRunBeforeAnyBatch) {
  std::filesystem::remove(HostPath(std::string(kData) + "\\YGrate.lf"));
  AddRemote("TRIN12.RME", {{"ActualAmount", "10"}});
  ui.ExpectShow(MessageKind::Error, "The file C:\\MFW\\DATA\\YGrate.lf is missing.");
  ui.ExpectShow(MessageKind::Information, "Warning!\r\rVantro is done - there have been errors.");
  auto run = MakeRun({"TRIN12.RME"});
  run->Activate();
  EXPECT_TRUE(HostBatch().empty());
  EXPECT_TRUE(Exists(RemotePath("TRIN12.RME")));
  EXPECT_EQ(data->progress.at(3), "0");
}

TEST_F(Run, MissingRejectTemplateEndsTheRun) {
  std::filesystem::remove(HostPath(std::string(kPgm) + "\\Remdesc.clo"));
  AddRemote("TRIN12.RME", {{"ActualAmount", "10"}});
  ui.ExpectShow(MessageKind::Information,
                std::string("File C:\\MFW\\Remdesc.clo does not exist. ") + kContactLine);
  ui.ExpectShow(MessageKind::Information, "Warning!\r\rVantro is done - there have been errors.");
  MakeRun({"TRIN12.RME"})->Activate();
  EXPECT_TRUE(HostBatch().empty());
}

TEST_F(Run, UnreadableEmployeeFileEndsTheRun) {
  AddRemote("TRIN12.RME", {{"ActualAmount", "10"}});
  auto run = RunOnFirstRecord("TRIN12.RME");
  ASSERT_TRUE(run->ReadRecord());
  data->Tables().EmpTB.Close();
  ui.ExpectShow(MessageKind::Information,
                std::string("Unable to read file C:\\MFW\\DATA\\YEmp.lf.\r\rProcessing Remote can't "
                            "be run without this file.\r\r") +
                    "EmpTB: Cannot perform this operation on a closed table" + kContactLine);
  EXPECT_FALSE(run->CheckRecord());
  EXPECT_TRUE(run->ErrorsOccurred());
}

}  // namespace
}  // namespace upfold::test
