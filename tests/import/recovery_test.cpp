#include "import/Recovery.h"

#include <gtest/gtest.h>

#include "import/RunJournalFile.h"
#include "import_command_fixture.h"

namespace upfold::test {
namespace {
using namespace command;

const char* const kProgressNames[] = {"UpfoldRemoteFile", "UpfoldRejectFile",   "UpfoldDate",
                                      "UpfoldNumInFile",  "UpfoldNumProcessed", "UpfoldNumReject"};

std::string Question(const std::string& file, const std::string& date, const std::string& done,
                     const std::string& inFile) {
  return "The processing of your last remote file was interrupted!\r\rRemote file name: " + file +
         "\rProcessing date: " + date + "\r\r" + done + " of " + inFile +
         " records were processed.\r\rDo you want to continue processing the interrupted "
         "file?\r(Cancel exits all remote processing.)\r\r";
}

class RecoveryTest : public CommandFixture {
 protected:
  void SetProgress(const std::string& file, const std::string& inFile,
                   const std::string& processed) {
    SetHostValue("UpfoldRemoteFile", file);
    SetHostValue("UpfoldRejectFile", "C:\\MFW\\DATA\\TRINAB.R01");
    SetHostValue("UpfoldDate", "250315");
    SetHostValue("UpfoldNumInFile", inFile);
    SetHostValue("UpfoldNumProcessed", processed);
    SetHostValue("UpfoldNumReject", "3");
  }
  bool Cleared() {
    for (const char* name : kProgressNames)
      if (HostValue(name) != (std::string(name) == "UpfoldDate" ? "010101" : "")) return false;
    return true;
  }

  RunJournalFile journal{ctx};
  Recovery recovery{ctx, dm, journal};
};

TEST_F(RecoveryTest, OnlyARunThatFellShortOfItsBatchAsks) {
  struct Case {
    const char* what;
    const char* file;
    const char* inFile;
    const char* processed;
    bool asks;
  } cases[] = {
      {"no values", nullptr, "", "", false},
      {"no file", "  ", "40", "25", false},
      {"all done", "C:\\R\\TRINAB.RME", "40", "40", false},
      {"several batches in one run", "C:\\R\\TRINAB.RME", "10", "25", false},
      {"in-file count not a number", "C:\\R\\TRINAB.RME", "abc", "0", false},
      {"fell short", "C:\\R\\TRINAB.RME", "40", "25", true},
      {"processed count not a number", "C:\\R\\TRINAB.RME", "40", "x1", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.file != nullptr) SetProgress(c.file, c.inFile, c.processed);
    if (c.asks)
      ui.ExpectAsk(MessageKind::Question,
                   Question(c.file, "03/15/2005",
                            std::string(c.processed) == "x1" ? "0" : c.processed, c.inFile),
                   Answer::No);
    EXPECT_TRUE(recovery.ReadFromRegistry());
    EXPECT_FALSE(recovery.ContinueInterrupted());
    EXPECT_TRUE(Cleared());
  }
}

TEST_F(RecoveryTest, YesContinuesIntoTheHostBatchAndCancelStopsWithTheValuesKept) {
  SetProgress("C:\\R\\TRINAB.RME", "40", "25");
  const std::string question = Question("C:\\R\\TRINAB.RME", "03/15/2005", "25", "40");

  ui.ExpectAsk(MessageKind::Question, question, Answer::Cancel);
  EXPECT_FALSE(recovery.ReadFromRegistry());
  EXPECT_EQ(HostValue("UpfoldNumProcessed"), "25");

  ui.ExpectAsk(MessageKind::Question, question, Answer::Yes);
  EXPECT_TRUE(recovery.ReadFromRegistry());
  EXPECT_TRUE(recovery.ContinueInterrupted());
  EXPECT_TRUE(journal.Resuming());
  EXPECT_EQ(HostValue("UpfoldNumInFile"), "40");  // cleared later, after the host batch check

  EXPECT_TRUE(recovery.ClearProgress());
  EXPECT_TRUE(Cleared());
}

TEST_F(RecoveryTest, ValuesThatCannotBeClearedStopTheCommand) {
  registry.DeleteKey(Hive::LocalMachine, kHostKey);
  for (const char* name : {"UpfoldRemoteFile", "UpfoldDate", "UpfoldNumProcessed",
                           "UpfoldNumInFile", "UpfoldNumReject"})
    ui.ExpectShow(MessageKind::Information, std::string("Unable to read the '") + name +
                                                "' value from the registry at this time." +
                                                kContact);
  ui.ExpectShow(MessageKind::Information,
                "Unable to reset the 'UpfoldRemoteFile' value at this time." + kContact);
  ui.ExpectShow(MessageKind::Plain, "Unable to delete data from registry at this time.");
  EXPECT_FALSE(recovery.ReadFromRegistry());
}

TEST(ProgressCount, ReadsIntegersAndCountsAnythingElseAsZero) {
  struct Case {
    const char* text;
    long long value;
  } cases[] = {{"40", 40}, {" 25 ", 25}, {"-3", -3}, {"+7", 7}, {"abc", 0},
               {"12x", 0}, {"", 0},      {"1.5", 0}, {"0", 0}};
  for (const Case& c : cases) EXPECT_EQ(ProgressCount(c.text), c.value) << c.text;
}

}  // namespace
}  // namespace upfold::test
