#include <gtest/gtest.h>

#include "import/HostBatch.h"
#include "import_command_fixture.h"
#include "merge/UnMergedDialog.h"

namespace upfold::test {
namespace {
using namespace command;

// The unmerged-batch dialog answered with a fixed outcome; "Erase" removes both host files
// as the dialog does.
class FakeUnMerged final : public UnMergedDialog {
 public:
  explicit FakeUnMerged(std::string dataDir) : dataDir_(std::move(dataDir)) {}
  std::optional<UnMergedOutcome> Show(const std::string& name, const std::string& date) override {
    shown.push_back(name + "|" + date);
    if (outcome.choice == 3 && !outcome.stop) {
      std::filesystem::remove(dataDir_ + "/Trin01.s");
      std::filesystem::remove(dataDir_ + "/Desc01.s");
    }
    if (!created) return std::nullopt;
    return outcome;
  }
  UnMergedOutcome outcome;
  bool created = true;
  std::vector<std::string> shown;

 private:
  std::string dataDir_;
};

class HostBatchTest : public CommandFixture {
 protected:
  std::string HeaderText() {
    for (const std::string& r : Stored("MFW/DATA/Desc01.s"))
      if (r.substr(4, 9) == "XXXXXXXXX") return r.substr(13);
    return "<no header>";
  }
  void MakeHost(int records, const std::string& header) {
    std::vector<std::string> recs;
    for (int i = 0; i < records; ++i) recs.push_back(HostRecord("C" + std::to_string(i)));
    Make("MFW/DATA/Trin01.s", "Batch", recs);
    Make("MFW/DATA/Desc01.s", "TrDesc",
         header.empty() ? std::vector<std::string>{} : std::vector<std::string>{header});
  }

  FakeUnMerged unMerged{dir / "c/MFW/DATA"};
  HostBatch host{ctx, dm, unMerged};
};

TEST_F(HostBatchTest, MissingHostFilesAreMadeFromTheTemplatesWithTheBatchHeader) {
  EXPECT_TRUE(host.CheckForTrin(false));
  EXPECT_TRUE(HostExists("MFW/DATA/Trin01.s"));
  EXPECT_EQ(HeaderText(), std::string(40, ' ') + "250320" + "N" + std::string(31, ' '));
  EXPECT_TRUE(Stored("MFW/DATA/Trin01.s").empty());
  EXPECT_TRUE(dm.TrinScratchTB.Active());
  EXPECT_EQ(clock.TotalSlept(), 0u);
}

TEST_F(HostBatchTest, AnEmptyHostBatchIsMadeAfreshUnlessAnInterruptedImportGoesOn) {
  for (bool continueInterrupted : {false, true}) {
    SCOPED_TRACE(continueInterrupted);
    MakeHost(0, Header("Old batch", "250101"));
    const std::uint64_t slept = clock.TotalSlept();
    EXPECT_TRUE(host.CheckForTrin(continueInterrupted));
    dm.CloseAllTables();
    // Made afresh: a new header with the working date; kept: the old header.
    EXPECT_EQ(HeaderText().substr(0, 47), continueInterrupted ? LeftFit("Old batch", 40) + "250101N"
                                                              : std::string(40, ' ') + "250320N");
    EXPECT_EQ(clock.TotalSlept() - slept, continueInterrupted ? 0u : 1000u);
    EXPECT_TRUE(unMerged.shown.empty());
    std::filesystem::remove(dir / "c/MFW/DATA/Trin01.s");
    std::filesystem::remove(dir / "c/MFW/DATA/Desc01.s");
  }
}

TEST_F(HostBatchTest, AnEmptyHostBatchHeldByAnotherWorkstationStopsTheImport) {
  MakeHost(0, "");
  DataFile other;  // another workstation keeps the file open
  ASSERT_EQ(other.Open(dir / "c/MFW/DATA/Trin01.s"), RmStatus::Success);
  ui.ExpectShow(MessageKind::Error,
                "Unable to delete empty file C:\\MFW\\DATA\\Trin01.s.\r\rPossible reasons:\r   The "
                "file is being used by another workstation  (they should exit).\r   The file is "
                "locked  (exit and re-boot).\r   You do not have rights to delete a file." +
                    kContact);
  EXPECT_FALSE(host.CheckForTrin(false));
  EXPECT_EQ(clock.TotalSlept(), 1000u);
}

TEST_F(HostBatchTest, AHostBatchWithRecordsIsReusedWhenAnInterruptedImportGoesOn) {
  MakeHost(2, Header("Batch one", "250310"));
  EXPECT_TRUE(host.CheckForTrin(true));
  EXPECT_TRUE(unMerged.shown.empty());
  EXPECT_EQ(Stored("MFW/DATA/Trin01.s").size(), 2u);
}

TEST_F(HostBatchTest, AnUnmergedBatchGoesToTheDialogAndItsOutcomeDecides) {
  struct Case {
    const char* what;
    UnMergedOutcome outcome;
    bool result;
    std::size_t recordsAfter;
    bool merged;
  } cases[] = {
      {"exit", {4, true}, false, 2, false},
      {"cancelled erase", {3, true}, false, 2, false},
      {"append", {2, false}, true, 2, false},
      {"erase", {3, false}, true, 0, false},
      {"print and merge", {0, false}, false, 2, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MakeHost(2, Header("Batch one", "250310"));
    unMerged.outcome = c.outcome;
    unMerged.shown.clear();
    bool merged = false;
    host.runTrim = [&merged] { merged = true; };
    EXPECT_EQ(host.CheckForTrin(false), c.result);
    EXPECT_EQ(unMerged.shown, (std::vector<std::string>{LeftFit("Batch one", 39) + "|03/10/2005"}));
    EXPECT_EQ(merged, c.merged);
    EXPECT_EQ(dm.TrinScratchTB.Active(), c.result);
    dm.CloseAllTables();
    EXPECT_EQ(Stored("MFW/DATA/Trin01.s").size(), c.recordsAfter);
    std::filesystem::remove(dir / "c/MFW/DATA/Trin01.s");
    std::filesystem::remove(dir / "c/MFW/DATA/Desc01.s");
  }
}

TEST_F(HostBatchTest, ADialogWhoseCreationDidNotCompleteStopsTheImport) {
  MakeHost(1, Header("B", "250310"));
  unMerged.created = false;
  EXPECT_FALSE(host.CheckForTrin(false));
  EXPECT_FALSE(ui.hourglass);
}

TEST_F(HostBatchTest, MissingTemplatesAreReported) {
  struct Case {
    const char* missing;
    std::string message;
  } cases[] = {
      {"Trin.clo", "The file C:\\MFW\\PGM\\Trin.clo is missing!" + kContact},
      {"Desc.clo", "The file C:\\MFW\\PGM\\Desc.clo is missing." + kContact},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.missing);
    const std::string templ = dir / (std::string("c/MFW/PGM/") + c.missing);
    std::filesystem::rename(templ, templ + ".away");
    ui.ExpectShow(MessageKind::Plain, c.message);
    EXPECT_FALSE(host.CheckForTrin(false));
    std::filesystem::rename(templ + ".away", templ);
    dm.CloseAllTables();
    std::filesystem::remove(dir / "c/MFW/DATA/Trin01.s");
  }
  std::filesystem::remove(dir / "c/MFW/PGM/RemTrin.clo");
  ui.ExpectShow(MessageKind::Plain,
                "The file, C:\\MFW\\PGM\\RemTrin.clo, does not exist." + kContact);
  EXPECT_FALSE(host.CheckForRemTrinClo());
}

TEST_F(HostBatchTest, AMissingHeaderIsWrittenAndThenRead) {
  MakeHost(1, "");
  EXPECT_TRUE(host.GetDescTB());
  EXPECT_EQ(host.BatchName(), std::string(39, ' '));
  EXPECT_EQ(host.BatchDate(), "03/20/2005");
  EXPECT_EQ(HeaderText().substr(0, 48), std::string(40, ' ') + "250320N ");
  EXPECT_FALSE(dm.DescScratchTB.Active());

  std::filesystem::remove(dir / "c/MFW/DATA/Desc01.s");
  ui.ExpectShow(MessageKind::Plain,
                "The file named C:\\MFW\\DATA\\Desc01.s is missing." + kContact);
  EXPECT_FALSE(host.GetDescTB());
}

TEST_F(HostBatchTest, DiagnosticsXTellEveryStep) {
  values.DiagnosticSwitch = "X";
  MakeHost(0, "");
  for (const char* text : {"About to open C:\\MFW\\DATA\\Trin01.s"})
    ui.ExpectShow(MessageKind::Plain, text);
  ui.ExpectShow(MessageKind::Information, "Checking for existence of \\Trin01.s");
  ui.ExpectShow(MessageKind::Information, "Attempting to open \\trin01.s");
  ui.ExpectShow(MessageKind::Information, "File opened successfully");
  for (const char* text :
       {"Successfully opened C:\\MFW\\DATA\\Trin01.s", "Checking for empty host batch",
        "Able to count records in host batch", "Finished checking for Trin file",
        "Rechecking for existence of Trin file", "Creating new empty trin file"})
    ui.ExpectShow(MessageKind::Plain, text);
  ui.ExpectShow(MessageKind::Information, "Checking for existence of \\Trin01.s");
  ui.ExpectShow(MessageKind::Information, "Attempting to open \\trin01.s");
  ui.ExpectShow(MessageKind::Information, "File opened successfully");
  ui.ExpectShow(MessageKind::Plain, "Creating new empty desc file");
  ui.ExpectShow(MessageKind::Plain, "End of routine CheckForTrin");
  EXPECT_TRUE(host.CheckForTrin(false));
}

}  // namespace
}  // namespace upfold::test
