// Reject file pairs (numbering, reuse of the oldest, the reject record and its description
// suffixes) and the renaming of a processed remote batch.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>

#include "ImportFixture.h"
#include "data/FixedText.h"

namespace upfold::test {
namespace {

class RejectFiles : public ImportFixture {
 protected:
  RejectFiles() {
    AddCase("ACME", "1");
    AddEmployee("DBE", "LI", "AS");
    AddGroup("F", "CT");
  }
  // An empty file at a DOS path under C:.
  void Touch(const std::string& dosPath) { std::ofstream(HostPath(dosPath)).put('x'); }
  std::string DataFile(const std::string& name) { return std::string(kData) + "\\" + name; }

  std::unique_ptr<ImportRun> Import() {
    auto run = MakeRun({"TRIN12.RME"});
    run->Activate();
    return run;
  }
};

TEST_F(RejectFiles, NextFreeNumberSkipsOrphanDescriptionFiles) {
  struct Row {
    const char* what;
    std::vector<const char*> present;
    const char* expected;
  };
  const Row rows[] = {
      {"none yet", {}, "TRIN12.R01"},
      {"after R01 to R03", {"TRIN12.R01", "TRIN12.R02", "TRIN12.R03"}, "TRIN12.R04"},
      {"a description file alone blocks its number", {"TRIN12.R01", "Desc12.R02"}, "TRIN12.R03"},
      {"numbers past nine", {"TRIN12.R01", "TRIN12.R02", "TRIN12.R03", "TRIN12.R04", "TRIN12.R05",
                             "TRIN12.R06", "TRIN12.R07", "TRIN12.R08", "TRIN12.R09"}, "TRIN12.R10"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    for (const auto& e : std::filesystem::directory_iterator(dir / "c/MFW/DATA")) {
      const std::string name = e.path().filename().string();
      if (name.find(".R") != std::string::npos) std::filesystem::remove(e.path());
    }
    for (const char* f : row.present) Touch(DataFile(f));
    auto run = MakeRun({"TRIN12.RME"});
    run->PrepareBatch(RemotePath("TRIN12.RME"));
    EXPECT_EQ(run->GetNewFileName("R", "TRIN12.RME"), DataFile(row.expected));
  }
}

TEST_F(RejectFiles, RejectRecordKeepsTheRemoteFieldsWithMaskAndOwnNumber) {
  AddRemote("TRIN12.RME", {{"ActualAmount", "10"}});
  AddRemote("TRIN12.RME", {{"ClientCode", "NOSUCH"}, {"EmployeeCode", "ZZZ"}, {"ActualAmount", "-1"},
                           {"SequenceNumber", "     777"}, {"SubGroup", "SG"}, {"HNDR", "Q"}});
  for (int i = 1; i <= 3; ++i) Touch(DataFile("TRIN12.R0" + std::to_string(i)));
  auto run = Import();
  EXPECT_EQ(run->RejectFileName(), DataFile("TRIN12.R04"));
  EXPECT_EQ(run->RejectDescName(), DataFile("Desc12.R04"));
  EXPECT_EQ(run->RunRejects(), 1u);
  const std::vector<Record> rejects = Read(DataFile("TRIN12.R04"), "RemBatch");
  ASSERT_EQ(rejects.size(), 1u);
  EXPECT_EQ(rejects[0].at("Unassigned2"), "+++17  ");
  EXPECT_EQ(rejects[0].at("SequenceNumber"), "       1");
  EXPECT_EQ(rejects[0].at("ClientCode"), "NOSUCH ");
  EXPECT_EQ(rejects[0].at("ActualAmount"), "-1");  // as sent, before any computation
  EXPECT_EQ(rejects[0].at("SubGroup"), "SG  ");
  EXPECT_EQ(rejects[0].at("HNDR"), "Q");
  EXPECT_EQ(view.Cell(2, 1), "1");
  EXPECT_EQ(view.Cell(3, 1), DataFile("TRIN12.R04"));
}

TEST_F(RejectFiles, TwelveDescriptionLinesCarryTheTensDigit) {
  std::vector<std::string> lines;
  for (int i = 1; i <= 12; ++i) lines.push_back("line " + std::to_string(i));
  AddRemote("TRIN12.RME", {{"ClientCode", "NOSUCH"}}, lines);
  Import();
  const std::vector<Record> desc = Read(DataFile("Desc12.R01"), "RemBatchD");
  ASSERT_EQ(desc.size(), 12u);
  std::string suffixes;
  for (const Record& r : desc) {
    suffixes += r.at("SequenceSuffix");
    EXPECT_EQ(r.at("SequenceNumber"), "       1");
  }
  EXPECT_EQ(suffixes, "000000000111");
  EXPECT_EQ(Trim(desc[11].at("Description")), "line 12");
}

TEST_F(RejectFiles, OldestPairReusedAfterNinetyNineWithOneMessage) {
  const auto base = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1000);
  for (int n = 1; n <= 99; ++n) {
    char name[16];
    std::snprintf(name, sizeof name, "TRIN12.R%02d", n);
    Touch(DataFile(name));
    Touch(DataFile("Desc12" + std::string(name).substr(6)));
    // R37 is the oldest; R40 as old but listed later.
    const int age = n == 37 || n == 40 ? 0 : n + 10;
    std::filesystem::last_write_time(HostPath(DataFile(name)), base + std::chrono::hours(age));
  }
  AddRemote("TRIN12.RME", {{"ClientCode", "NOSUCH"}});
  AddRemote("TRIN12.RME", {{"ClientCode", "NOSUCH"}});
  ui.ExpectShow(MessageKind::Information,
                "Marrowfield has reached its limit of 99 unique reject file names for workstation 12 "
                "and, as a result, has deleted the oldest reject file to allow for the creation of "
                "the current one.\r\rTo prevent this message from recurring, you are advised to go "
                "to 'Remote Data Utility|Options|Delete Old Reject Files' at your earliest "
                "convenience to manually delete old, unneeded reject files for workstation 12.");
  auto run = Import();
  EXPECT_EQ(run->RejectFileName(), "C:\\MFW\\DATA\\TRIN12.R37");
  EXPECT_EQ(Read(DataFile("TRIN12.R37"), "RemBatch").size(), 2u);
  EXPECT_EQ(Read(DataFile("Desc12.R37"), "RemBatchD").size(), 0u);
  EXPECT_FALSE(run->ErrorsOccurred());
}

TEST_F(RejectFiles, RenamedToTheNextFreeNumberWithItsDescriptionFile) {
  AddRemote("TRIN12.RME", {{"ActualAmount", "10"}});
  Touch(RemotePath("TRIN12.001"));
  Touch(RemotePath("TRIN12.002"));
  const std::uint64_t slept = clock.TotalSlept();
  auto run = Import();
  EXPECT_EQ(clock.TotalSlept() - slept, 1500u);  // the two waits, through the clock
  EXPECT_EQ(run->RenamedFileName(), RemotePath("TRIN12.003"));
  EXPECT_EQ(run->RenamedDescName(), RemotePath("Desc12.003"));
  EXPECT_TRUE(Exists(RemotePath("TRIN12.003")));
  EXPECT_TRUE(Exists(RemotePath("Desc12.003")));
  EXPECT_FALSE(Exists(RemotePath("TRIN12.RME")));
  EXPECT_FALSE(Exists(RemotePath("DESC12.RME")));
  EXPECT_EQ(view.Cell(4, 1), RemotePath("TRIN12.003"));
  EXPECT_EQ(view.Cell(3, 1), "No Reject File");
}

TEST_F(RejectFiles, NoFreeRenamingNumberLeavesTheBatch) {
  AddRemote("TRIN12.RME", {{"ActualAmount", "10"}});
  for (int n = 1; n <= 999; ++n) {
    char name[16];
    std::snprintf(name, sizeof name, "TRIN12.%03d", n);
    Touch(RemotePath(name));
  }
  ui.ExpectShow(MessageKind::Information,
                std::string("Error!!\r\rUnable to get new file name in order to rename file TRIN12.RME") +
                    kContactLine);
  ui.ExpectShow(MessageKind::Information, "Warning!\r\rVantro is done - there have been errors.");
  auto run = Import();
  EXPECT_TRUE(Exists(RemotePath("TRIN12.RME")));
  EXPECT_EQ(view.Cell(4, 1), "Not renamed");
  EXPECT_FALSE(journal.finished.at(0).second);
}

}  // namespace
}  // namespace upfold::test
