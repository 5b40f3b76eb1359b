// The file table of the direct record access: opening into slots with and without record
// descriptions, keys, scans, keyed reads, the standard files and every abort-type message.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "DirectAccessFiles.h"
#include "data/AbortError.h"
#include "data/DirectAccess.h"
#include "platform/Clock.h"
#include "support/ScriptedUi.h"

namespace upfold::test {
namespace {

class DirectAccessTest : public testing::Test {
 protected:
  DirectAccessTest() { access.SetDataPath(DirectAccessFiles::kData); }

  // Client codes of the records a scan meets from the first record on.
  std::vector<std::string> ScanClients(int n) {
    std::vector<std::string> clients;
    std::string record;
    bool end = false;
    access.GetFirstRecord(n, &record, end);
    while (!end) {
      clients.push_back(Trim(record.substr(4, 7)));
      access.GetNextRecord(n, &record, end);
    }
    return clients;
  }

  std::string MakeCases() {
    return files.Create("YCase.lf", "YCase",
                        {CaseRecord("C", "1"), CaseRecord("A", "1"), CaseRecord("E", "1")});
  }

  DirectAccessFiles files;
  FakeClock clock;
  ScriptedUi ui;
  DirectAccess access{files.Fs(), clock, ui};
};

TEST_F(DirectAccessTest, OpensScansAndClosesAFileWithoutDescription) {
  const std::string path = MakeCases();
  access.OpenFile(77, path);
  EXPECT_TRUE(access.IsFileOpen(77));
  EXPECT_EQ(access.FilePath(77), path);
  EXPECT_EQ(access.Description(77), nullptr);
  EXPECT_EQ(ScanClients(77), (std::vector<std::string>{"C", "A", "E"}));  // key 0
  access.SetKeyNumber(77, 1);
  EXPECT_EQ(ScanClients(77), (std::vector<std::string>{"A", "C", "E"}));

  access.CloseFile(77);
  EXPECT_FALSE(access.IsFileOpen(77));
  EXPECT_EQ(access.FilePath(77), "");
  access.CloseFile(77);  // nothing open: nothing to do

  // The name is matched without regard to case.
  std::string upper = path;
  std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
  access.OpenFile(77, upper);
  EXPECT_EQ(access.FilePath(77), upper);
  EXPECT_EQ(ScanClients(77), (std::vector<std::string>{"C", "A", "E"}));
}

TEST_F(DirectAccessTest, FileOpenedTwiceNamesTheFirstOpening) {
  const std::string path = MakeCases();
  access.OpenFile(10, path);
  EXPECT_EQ(AbortMessage([&] { access.OpenFile(10, path + ";CA"); }),
            "File already opened as number 10:\r" + path);
  EXPECT_TRUE(access.IsFileOpen(10));
  EXPECT_EQ(access.Description(10), nullptr);
}

TEST_F(DirectAccessTest, FailedOpenReportsTheStatusAndLeavesTheSlotFree) {
  files.Create("Fee.lf", "Fees");
  const std::string text = files.Host("Remids");
  { std::ofstream(text) << "not a data file"; }
  struct Case {
    std::string name;
    std::string message;
  };
  const std::string data = DirectAccessFiles::kData;
  for (const Case& c : {
           Case{data + "\\Missing.lf;FE",
                "The file " + data +
                    "\\Missing.lf;FE could not be opened.\r\r"
                    "Btrieve status 12.\rThe MicroKernel cannot find the specified file."},
           Case{"Q:\\Fee.lf",
                "The file Q:\\Fee.lf could not be opened.\r\r"
                "Btrieve status 12.\rThe MicroKernel cannot find the specified file."},
           Case{data + "\\Remids",
                "The file " + data +
                    "\\Remids could not be opened.\r\r"
                    "Btrieve status 30.\rThe file specified is not a MicroKernel file."},
           // The fee file's records are 80 bytes long, the case description's buffer 439.
           Case{data + "\\Fee.lf;CA",
                "The file " + data +
                    "\\Fee.lf;CA could not be opened.\r\r"
                    "Its records are 80 bytes long; the record description expects 439."},
       }) {
    EXPECT_EQ(AbortMessage([&] { access.OpenFile(5, c.name); }), c.message);
    EXPECT_FALSE(access.IsFileOpen(5));
    EXPECT_EQ(access.FilePath(5), "");
    EXPECT_EQ(access.Description(5), nullptr);
  }
  access.OpenFile(5, data + "\\Fee.lf;FE");
  EXPECT_TRUE(access.IsFileOpen(5));
}

TEST_F(DirectAccessTest, DescriptionCodeChoosesTheDescriptionByTheCatalogueSwitch) {
  const std::string fee = files.Create("Fee.lf", "Fees");
  access.OpenFile(10, fee + ";FE");
  EXPECT_EQ(access.FilePath(10), fee);
  TMFFileStructure* bare = access.Description(10);
  ASSERT_NE(bare, nullptr);
  EXPECT_EQ(bare->TakeRecord().size(), 80u);
  EXPECT_EQ(bare->FieldCount(), 0);
  EXPECT_EQ(bare->FileNumber(), 10);
  access.CloseFile(10);

  access.SetUseFieldCatalogue(true);
  access.OpenFile(12, fee + ";HF");
  ASSERT_NE(access.Description(12), nullptr);
  EXPECT_EQ(access.Description(12)->FieldCount(), 18);
  EXPECT_EQ(access.Description(12)->FileNumber(), 12);
  // A description stays valid after its slot gets a new one.
  access.CloseFile(12);
  access.OpenFile(12, fee + ";FE");
  EXPECT_EQ(bare->TakeRecord().size(), 80u);
}

TEST_F(DirectAccessTest, CodeWithoutDescriptionInTheCurrentModeIsRefused) {
  const std::string fee = files.Create("Fee.lf", "Fees");
  struct Case {
    bool catalogue;
    std::string code;
    std::string reason;
  };
  for (const Case& c : {
           Case{false, "MC",
                "The record description MC is not available without the field catalogue."},
           Case{false, "HF",
                "The record description HF is not available without the field catalogue."},
           Case{true, "CL", "The record description CL is not available in the field catalogue."},
           Case{true, "AD", "The record description AD is not available in the field catalogue."},
           Case{false, "fe", "\"fe\" is not a record description code."},
           Case{true, "", "\"\" is not a record description code."},
       }) {
    access.SetUseFieldCatalogue(c.catalogue);
    EXPECT_EQ(AbortMessage([&] { access.OpenFile(3, fee + ";" + c.code); }),
              "The file " + fee + ";" + c.code + " could not be opened.\r\r" + c.reason);
    EXPECT_FALSE(access.IsFileOpen(3));
  }
}

TEST_F(DirectAccessTest, KeyNumberMustBeOneOfTheFilesKeys) {
  access.OpenFile(2, MakeCases());  // keys 0 and 1
  EXPECT_EQ(AbortMessage([&] { access.SetKeyNumber(2, 2); }),
            "Unable to set an index for file #2.\r\r"
            "Btrieve status 6.\rThe key number parameter is invalid");
  EXPECT_EQ(AbortMessage([&] { access.SetKeyNumber(2, -1); }),
            "Unable to set an index for file #2.\r\r"
            "Btrieve status 6.\rThe key number parameter is invalid");
  EXPECT_EQ(AbortMessage([&] { access.SetKeyNumber(2, 1); }), "(no error)");
}

TEST_F(DirectAccessTest, EmptyFileEndsOnTheFirstRead) {
  access.SetUseFieldCatalogue(true);
  access.OpenFile(10, files.Create("Fee.lf", "Fees") + ";FE");
  std::string record = "untouched";
  bool end = false;
  access.GetFirstRecord(10, &record, end);
  EXPECT_TRUE(end);
  EXPECT_EQ(record, "untouched");

  TMFFileStructure& d = *access.Description(10);
  d.SetAutoSplit(true);
  EXPECT_FALSE(access.ReadByKeyInto(d, "SMITH", 3));
  EXPECT_TRUE(d.AtEnd());
}

TEST_F(DirectAccessTest, KeyedReadsByMode) {
  access.OpenFile(2, MakeCases());
  access.SetKeyNumber(2, 1);
  struct Case {
    int mode;
    const char* client;
    const char* found;  // nullptr: nothing found
    bool end;
  };
  for (const Case& c : {
           Case{0, "C", "C", false},
           Case{0, "B", nullptr, false},
           Case{1, "C", "E", false},
           Case{1, "E", nullptr, true},
           Case{2, "C", "A", false},
           Case{2, "A", nullptr, true},
           Case{3, "B", "C", false},
           Case{3, "C", "C", false},
           Case{4, "D", "C", false},
           Case{4, "C", "C", false},
       }) {
    SCOPED_TRACE(std::to_string(c.mode) + " " + c.client);
    std::string record = "before";
    bool end = !c.end;
    const bool found = access.GetRecordByKey(2, CaseKey(c.client, "1"), &record, end, c.mode);
    EXPECT_EQ(found, c.found != nullptr);
    EXPECT_EQ(end, c.end);
    EXPECT_EQ(c.found ? Trim(record.substr(4, 7)) : record, c.found ? c.found : "before");
  }

  std::string record;
  EXPECT_TRUE(access.GetEqualRecord(2, CaseKey("A", "1"), &record));
  bool end = false;
  access.GetNextRecord(2, &record, end);  // goes on along key 1
  EXPECT_EQ(Trim(record.substr(4, 7)), "C");
  EXPECT_FALSE(access.GetEqualRecord(2, CaseKey("A", "2"), &record));

  EXPECT_EQ(AbortMessage([&] { access.GetRecordByKey(2, "A", &record, end, 5); }),
            "A record could not be located in the file.\r\r"
            "Btrieve status 1.\rThe operation parameter is invalid");
}

TEST_F(DirectAccessTest, ReadsCheckTheRecordManagerTheSlotAndTheBuffer) {
  const std::string path = MakeCases();
  std::string record;
  bool end = false;

  access.SimulateStartResult(20);
  std::string why;
  EXPECT_FALSE(access.LoadRecordManager(&why));
  EXPECT_EQ(why, "The MicroKernel or Btrieve Requester is inactive");
  EXPECT_EQ(AbortMessage([&] { access.OpenFile(1, path); }), "WBTRV32.DLL is not loaded!");
  EXPECT_FALSE(access.IsFileOpen(1));
  EXPECT_EQ(AbortMessage([&] { access.GetFirstRecord(1, &record, end); }),
            "WBTRV32.DLL is not loaded!");
  EXPECT_EQ(AbortMessage([&] { access.SetKeyNumber(1, 0); }), "WBTRV32.DLL is not loaded!");

  access.SimulateStartResult(1016);  // already running counts as loaded
  access.OpenFile(1, path);
  EXPECT_TRUE(access.RecordManagerLoaded());
  for (int n : {0, -1, 256}) {
    EXPECT_EQ(AbortMessage([&] { access.GetNextRecord(n, &record, end); }),
              "Filenumber is not valid!");
    EXPECT_EQ(AbortMessage([&] { access.GetEqualRecord(n, "A", &record); }),
              "Filenumber is not valid!");
  }
  EXPECT_EQ(AbortMessage([&] { access.OpenFile(256, path); }), "Filenumber is not valid!");
  EXPECT_EQ(AbortMessage([&] { access.GetFirstRecord(1, nullptr, end); }),
            "Databuffer is invalid!");
  EXPECT_EQ(AbortMessage([&] { access.GetRecordByKey(1, "A", nullptr, end, 0); }),
            "Databuffer is invalid!");
}

TEST_F(DirectAccessTest, DescriptionReadsSplitWhenAutoSplitIsOn) {
  auto fee = [](const char* client, const char* type, const char* group, double hours) {
    return Record("Fees",
                  {{"ClientCode", client},
                   {"CaseSuffix", RightJust("1", 7)},
                   {"TrType", type},
                   {"GroupCode", group}},
                  {{"BilHrs", hours}});
  };
  files.Create("Fee.lf", "Fees",
               {fee("SMITH", "C", "", 5), fee("SMITH", "F", "LT", 2.25), fee("SMITH", "F", "RS", 1),
                fee("TAYLOR", "F", "", 7)});
  access.SetUseFieldCatalogue(true);
  ASSERT_TRUE(access.OpenStandardFile(DirectAccess::kFeeFile));
  TMFFileStructure& d = *access.Description(DirectAccess::kFeeFile);
  EXPECT_TRUE(d.AutoSplit());

  // Sum the fee hours of SMITH/1 the way the budget checks read them.
  double hours = 0;
  const std::string key = CaseKey("SMITH", "1") + "F";
  bool more = access.ReadByKeyInto(d, key, 3);
  while (more && d.Field("ClientCode")->ReadText() + d.Field("CaseSuffix")->ReadText() +
                         d.Field("TrType")->ReadText() ==
                     key) {
    hours += d.Field("BilHrs")->ReadFloat();
    access.ReadNextInto(d);
    more = !d.AtEnd();
  }
  EXPECT_DOUBLE_EQ(hours, 3.25);
  EXPECT_EQ(Trim(d.Field("ClientCode")->ReadText()), "TAYLOR");

  access.ReadNextInto(d);
  EXPECT_TRUE(d.AtEnd());

  // Without auto-split the buffer changes and the fields keep their values.
  d.SetAutoSplit(false);
  ASSERT_TRUE(access.ReadByKeyInto(d, key, 0));
  EXPECT_EQ(Trim(d.Field("ClientCode")->ReadText()), "TAYLOR");
  EXPECT_EQ(d.TakeRecord().substr(4, 5), "SMITH");

  // A buffer the record does not fit is refused, not overrun.
  d.SetBufferLength(79);
  EXPECT_EQ(AbortMessage([&] { access.ReadNextInto(d); }),
            "A record could not be read from the file.\r\r"
            "Btrieve status 22.\rThe data buffer parameter is too short");
}

TEST_F(DirectAccessTest, StandardFilesOpenFromTheDataPathWithTheirDefaultKeys) {
  MakeCases();
  files.Create("HFee.lf", "Fees");
  ASSERT_TRUE(access.OpenStandardFile(DirectAccess::kCaseFile));
  EXPECT_EQ(access.FilePath(2), "C:\\MFW\\DATA\\YCase.lf");
  EXPECT_EQ(access.Description(2)->TakeRecord().size(), 439u);           // bare
  EXPECT_EQ(ScanClients(2), (std::vector<std::string>{"A", "C", "E"}));  // key 1
  ASSERT_TRUE(access.OpenStandardFile(DirectAccess::kCaseFile));         // already open
  EXPECT_EQ(ScanClients(2), (std::vector<std::string>{"A", "C", "E"}));

  access.SetUseFieldCatalogue(true);
  ASSERT_TRUE(access.OpenStandardFile(DirectAccess::kHistoryFeeFile));
  EXPECT_EQ(access.FilePath(12), "C:\\MFW\\DATA\\HFee.lf");
  EXPECT_EQ(access.Description(12)->FieldCount(), 18);

  for (int n : {0, 13, 16, 21, 109}) {
    EXPECT_FALSE(access.OpenStandardFile(n)) << n;
    EXPECT_FALSE(access.IsFileOpen(n)) << n;
  }
}

TEST_F(DirectAccessTest, StandardFileThatCannotBeOpenedEndsTheProgram) {
  // YCase.lf is missing; FSplit.lf opens, but has no key 2, its default.
  files.Create("FSplit.lf", "FeeSplit");
  for (int n : {DirectAccess::kCaseFile, 4}) {
    const std::string name = n == 4 ? "FSplit.lf;FS" : "YCase.lf;CA";
    ui.ExpectShow(MessageKind::Error,
                  "Unable to open " + name +
                      ".\r\rYou will not be able to perform this operation at this time."
                      "\r\rPlease contact Verrin, Inc. for assistance.");
    EXPECT_THROW(access.OpenStandardFile(n), ProgramEndRequested);
    EXPECT_FALSE(access.IsFileOpen(n));
    EXPECT_TRUE(ui.Done());
  }
}

TEST_F(DirectAccessTest, ReleaseAllFilesClosesEverythingAndUnloads) {
  const std::string path = MakeCases();
  access.OpenFile(1, path + ";CA");
  access.OpenFile(200, path);
  access.ReleaseAllFiles();
  EXPECT_FALSE(access.IsFileOpen(1));
  EXPECT_FALSE(access.IsFileOpen(200));
  EXPECT_EQ(access.Description(1), nullptr);
  EXPECT_FALSE(access.RecordManagerLoaded());
  access.OpenFile(1, path);  // a later open loads again
  EXPECT_TRUE(access.IsFileOpen(1));
}

}  // namespace
}  // namespace upfold::test
