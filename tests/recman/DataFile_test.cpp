#include "recman/DataFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <vector>

#include "RecmanSupport.h"
#include "support/TempDir.h"

namespace upfold::test {
namespace {

class DataFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(DataFile::Create(path_, SampleSpec()), RmStatus::Success);
    ASSERT_EQ(file_.Open(path_), RmStatus::Success);
  }

  std::uint32_t Insert(const Sample& sample) {
    std::string record = sample.Record();
    EXPECT_EQ(file_.Insert(record), RmStatus::Success);
    return AutoIncOf(record);
  }

  // Auto-increment values of the records met walking the key from one end.
  std::vector<std::uint32_t> Walk(int key, bool forward) {
    std::vector<std::uint32_t> ids;
    std::string k;
    std::string record;
    RmStatus st = file_.Get(forward ? GetOp::First : GetOp::Last, key, k, record);
    while (st == RmStatus::Success) {
      ids.push_back(AutoIncOf(record));
      st = file_.Get(forward ? GetOp::Next : GetOp::Previous, key, k, record);
    }
    EXPECT_EQ(st, RmStatus::EndOfFile);
    return ids;
  }

  TempDir dir_;
  std::string path_ = dir_ / "sample.dat";
  DataFile file_;
};

TEST_F(DataFileTest, CreateStoresDefinitionsAndRefusesAnExistingFile) {
  FileStat stat;
  ASSERT_EQ(file_.Stat(stat), RmStatus::Success);
  EXPECT_EQ(stat.fileSpec, SampleSpec());
  EXPECT_EQ(stat.recordCount, 0u);

  Insert({.code = "A1"});
  Insert({.code = "A2"});
  ASSERT_EQ(file_.Stat(stat), RmStatus::Success);
  EXPECT_EQ(stat.recordCount, 2u);

  FileSpec other;
  other.recordLength = 4;
  other.keys = {{{{0, 4, KeyType::AutoInc, false}}, false}};
  EXPECT_EQ(DataFile::Create(path_, other), RmStatus::FileExists);
  ASSERT_EQ(file_.Stat(stat), RmStatus::Success);
  EXPECT_EQ(stat.recordCount, 2u) << "the existing file was touched";
}

TEST_F(DataFileTest, CopyOfAnEmptyFileIsATemplateWithTheSameKeys) {
  ASSERT_EQ(file_.Close(), RmStatus::Success);
  std::string copy = dir_ / "copy.dat";
  std::filesystem::copy_file(path_, copy);
  DataFile fromTemplate;
  ASSERT_EQ(fromTemplate.Open(copy), RmStatus::Success);
  EXPECT_EQ(fromTemplate.Definition(), SampleSpec());
  std::string record = Sample{.name = "copy"}.Record();
  EXPECT_EQ(fromTemplate.Insert(record), RmStatus::Success);
  EXPECT_EQ(AutoIncOf(record), 1u);
}

TEST(DataFileCreate, RefusesDefinitionsThatDoNotFitAndLeavesNoFile) {
  struct Case {
    const char* what;
    std::function<void(FileSpec&)> change;
    RmStatus expected;
  };
  const Case cases[] = {
      {"zero record length", [](FileSpec& s) { s.recordLength = 0; },
       RmStatus::InvalidRecordLength},
      {"no keys", [](FileSpec& s) { s.keys.clear(); }, RmStatus::InvalidKeyCount},
      {"key without segments", [](FileSpec& s) { s.keys[1].segments.clear(); },
       RmStatus::InvalidKeyLength},
      {"segment past the record", [](FileSpec& s) { s.keys[1].segments[0].offset = 16; },
       RmStatus::InvalidKeyPosition},
      {"integer of 3 bytes", [](FileSpec& s) { s.keys[2].segments[0].length = 3; },
       RmStatus::InvalidKeyLength},
      {"date of 2 bytes", [](FileSpec& s) { s.keys[4].segments[0].length = 2; },
       RmStatus::InvalidKeyLength},
      {"case-insensitive number", [](FileSpec& s) { s.keys[2].segments[0].caseInsensitive = true; },
       RmStatus::InvalidKeyFlags},
      {"auto-increment with duplicates", [](FileSpec& s) { s.keys[0].duplicates = true; },
       RmStatus::InvalidKeyFlags},
      {"auto-increment in a longer key",
       [](FileSpec& s) {
         s.keys[0].segments.push_back({4, 6, KeyType::String, false});
       },
       RmStatus::InvalidKeyFlags},
      {"unknown key type", [](FileSpec& s) { s.keys[1].segments[0].type = KeyType{2}; },
       RmStatus::InvalidKeyFlags},
  };
  TempDir dir;
  for (const Case& c : cases) {
    FileSpec fileSpec = SampleSpec();
    c.change(fileSpec);
    std::string path = dir / "bad.dat";
    EXPECT_EQ(DataFile::Create(path, fileSpec), c.expected) << c.what;
    EXPECT_FALSE(std::filesystem::exists(path)) << c.what;
  }
  FileSpec longKey;
  longKey.recordLength = 300;
  longKey.keys = {{{{0, 256, KeyType::String, false}}, false}};
  EXPECT_EQ(DataFile::Create(dir / "long.dat", longKey), RmStatus::InvalidKeyLength);
}

// Names on the case-insensitive key with duplicates, inserted in this order.
class GetTest : public DataFileTest {
 protected:
  void SetUp() override {
    DataFileTest::SetUp();
    for (const char* name : {"smith", "Jones", "SMITH", "brown", "Smith"})
      Insert({.name = name, .code = std::string(1, name[0]) + name[1]});
  }
};

TEST_F(GetTest, EachGetFindsTheRecordOfTheKeyOrder) {
  // Key 1 order: brown(4) Jones(2) smith(1) SMITH(3) Smith(5).
  struct Case {
    GetOp op;
    std::string key;
    RmStatus status;
    std::uint32_t found;
  };
  const Case cases[] = {
      {GetOp::First, "", RmStatus::Success, 4},
      {GetOp::Last, "", RmStatus::Success, 5},
      {GetOp::Equal, "SMITH ", RmStatus::Success, 1},
      {GetOp::Equal, "jones ", RmStatus::Success, 2},
      {GetOp::Equal, "smit  ", RmStatus::KeyNotFound, 0},
      {GetOp::Equal, "smith", RmStatus::KeyNotFound, 0},  // short buffer: zero-filled, not blanks
      {GetOp::Greater, "JONES ", RmStatus::Success, 1},
      {GetOp::Greater, "SMITH ", RmStatus::EndOfFile, 0},
      {GetOp::GreaterOrEqual, "JONES ", RmStatus::Success, 2},
      {GetOp::GreaterOrEqual, "K", RmStatus::Success, 1},
      {GetOp::Less, "SMITH ", RmStatus::Success, 2},
      {GetOp::Less, "BROWN ", RmStatus::EndOfFile, 0},
      {GetOp::LessOrEqual, "SMITH ", RmStatus::Success, 5},
      {GetOp::LessOrEqual, "SMITHZ", RmStatus::Success, 5},
      {GetOp::LessOrEqual, "JZ    ", RmStatus::Success, 2},
  };
  for (const Case& c : cases) {
    std::string key = c.key;
    std::string record;
    SCOPED_TRACE(static_cast<int>(c.op));
    SCOPED_TRACE(c.key);
    ASSERT_EQ(file_.Get(c.op, 1, key, record), c.status);
    if (c.status == RmStatus::Success) {
      EXPECT_EQ(AutoIncOf(record), c.found);
      EXPECT_EQ(key, NameOf(record)) << "the key comes back as stored";
    }
  }
}

TEST_F(GetTest, NextAndPreviousWalkDuplicatesInInsertionOrder) {
  EXPECT_EQ(Walk(1, true), (std::vector<std::uint32_t>{4, 2, 1, 3, 5}));
  EXPECT_EQ(Walk(1, false), (std::vector<std::uint32_t>{5, 3, 1, 2, 4}));
  EXPECT_EQ(Walk(0, true), (std::vector<std::uint32_t>{1, 2, 3, 4, 5}));

  // From the middle of the duplicates, both ways.
  std::string key = "SMITH ";
  std::string record;
  ASSERT_EQ(file_.GetEqual(1, key, record), RmStatus::Success);
  ASSERT_EQ(file_.GetNext(1, key, record), RmStatus::Success);
  EXPECT_EQ(AutoIncOf(record), 3u);
  ASSERT_EQ(file_.GetPrevious(1, key, record), RmStatus::Success);
  EXPECT_EQ(AutoIncOf(record), 1u);
  ASSERT_EQ(file_.GetPrevious(1, key, record), RmStatus::Success);
  EXPECT_EQ(AutoIncOf(record), 2u);
}

TEST_F(GetTest, EndOfFileAndFailedLookupsKeepThePosition) {
  std::string key;
  std::string record;
  ASSERT_EQ(file_.GetLast(1, key, record), RmStatus::Success);
  EXPECT_EQ(file_.GetNext(1, key, record), RmStatus::EndOfFile);
  key = "nobody";
  EXPECT_EQ(file_.GetEqual(1, key, record), RmStatus::KeyNotFound);
  ASSERT_EQ(file_.GetPrevious(1, key, record), RmStatus::Success);
  EXPECT_EQ(AutoIncOf(record), 3u);
}

TEST_F(GetTest, NextOnAnotherKeyGoesOnFromTheCurrentRecord) {
  std::string key = "JONES ";
  std::string record;
  ASSERT_EQ(file_.GetEqual(1, key, record), RmStatus::Success);  // record 2
  ASSERT_EQ(file_.GetNext(0, key, record), RmStatus::Success);
  EXPECT_EQ(AutoIncOf(record), 3u);
  EXPECT_EQ(file_.CurrentKey(), 0);
  ASSERT_EQ(file_.GetNext(0, key, record), RmStatus::Success);
  EXPECT_EQ(AutoIncOf(record), 4u);
}

TEST_F(GetTest, NextWithoutAPositionAndBadKeyNumbersAreRefused) {
  ASSERT_EQ(file_.Open(path_), RmStatus::Success);  // a fresh handle has no position
  std::string key;
  std::string record;
  EXPECT_EQ(file_.GetNext(1, key, record), RmStatus::InvalidPositioning);
  EXPECT_EQ(file_.GetFirst(6, key, record), RmStatus::InvalidKeyNumber);
  EXPECT_EQ(file_.GetFirst(-1, key, record), RmStatus::InvalidKeyNumber);
  EXPECT_EQ(file_.Get(GetOp::First, 1, key, record, 20), RmStatus::DataBufferTooShort);
  EXPECT_EQ(file_.Get(GetOp::First, 1, key, record, 21), RmStatus::Success);
}

TEST_F(DataFileTest, NumbersPackedDecimalsAndDatesSortByValue) {
  const int numbers[] = {5, -3, 300, -300, 0};
  const long long amounts[] = {150, -2, 0, -150, 7};
  const std::string dates[] = {Date(2024, 1, 31), Date(1999, 12, 31), Date(2024, 2, 1),
                               Date(1980, 1, 1), Date(2024, 1, 30)};
  for (int i = 0; i < 5; ++i)
    Insert({.number = numbers[i],
            .amount = amounts[i],
            .date = dates[i],
            .code = std::string(1, static_cast<char>('A' + i)) + "X"});
  EXPECT_EQ(Walk(2, true), (std::vector<std::uint32_t>{4, 2, 5, 1, 3}));
  EXPECT_EQ(Walk(3, true), (std::vector<std::uint32_t>{4, 2, 3, 5, 1}));
  EXPECT_EQ(Walk(4, true), (std::vector<std::uint32_t>{4, 2, 5, 1, 3}));

  // A packed minus zero is zero.
  std::string key = Packed(0, 3);
  key[2] = static_cast<char>((key[2] & 0xF0) | 0xD);
  std::string record;
  ASSERT_EQ(file_.GetEqual(3, key, record), RmStatus::Success);
  EXPECT_EQ(AutoIncOf(record), 3u);
}

TEST_F(DataFileTest, AutoIncrementTakesTheHighestPlusOne) {
  EXPECT_EQ(Insert({.code = "A1"}), 1u);
  EXPECT_EQ(Insert({.code = "A2"}), 2u);
  EXPECT_EQ(Insert({.autoInc = 70000, .code = "A3"}), 70000u);
  EXPECT_EQ(Insert({.code = "A4"}), 70001u);

  std::string taken = Sample{.autoInc = 2, .code = "A5"}.Record();
  EXPECT_EQ(file_.Insert(taken), RmStatus::DuplicateKey);
  std::uint64_t count = 0;
  ASSERT_EQ(file_.RecordCount(count), RmStatus::Success);
  EXPECT_EQ(count, 4u);
}

TEST_F(DataFileTest, AutoIncrementRefusesWhenEveryNumberIsTaken) {
  Insert({.autoInc = 0xFFFFFFFF, .code = "A1"});
  std::string record = Sample{.code = "A2"}.Record();
  EXPECT_EQ(file_.Insert(record), RmStatus::OperationNotAllowed);
  EXPECT_EQ(AutoIncOf(record), 0u) << "a refused record is handed back unchanged";
}

TEST_F(DataFileTest, InsertRefusesADuplicateOfAUniqueKeyAndKeepsTheFile) {
  Insert({.number = 7, .code = "ZZ"});
  std::string record = Sample{.number = 7, .code = "ZZ"}.Record();
  EXPECT_EQ(file_.Insert(record), RmStatus::DuplicateKey);
  std::uint64_t count = 0;
  ASSERT_EQ(file_.RecordCount(count), RmStatus::Success);
  EXPECT_EQ(count, 1u);
  EXPECT_EQ(Insert({.number = 8, .code = "ZZ"}), 2u) << "a refused insert takes no number";
}

TEST_F(DataFileTest, RecordsOfTheWrongLengthAreRefused) {
  std::string shortRecord(20, ' ');
  std::string longRecord(22, ' ');
  EXPECT_EQ(file_.Insert(shortRecord), RmStatus::DataBufferTooShort);
  EXPECT_EQ(file_.Insert(longRecord), RmStatus::InvalidRecordLength);
  Insert({.code = "A1"});
  EXPECT_EQ(file_.Update(shortRecord), RmStatus::DataBufferTooShort);
  EXPECT_EQ(file_.Update(longRecord), RmStatus::InvalidRecordLength);
}

TEST_F(GetTest, UpdateReplacesTheCurrentRecordAndMovesItInKeyOrder) {
  std::string key = "JONES ";
  std::string record;
  ASSERT_EQ(file_.GetEqual(1, key, record), RmStatus::Success);
  record.replace(4, 6, "adams ");
  ASSERT_EQ(file_.Update(record), RmStatus::Success);
  EXPECT_EQ(Walk(1, true), (std::vector<std::uint32_t>{2, 4, 1, 3, 5}));

  // A duplicate of the unique key 5 is refused and the stored record stays.
  key = "BROWN ";
  ASSERT_EQ(file_.GetEqual(1, key, record), RmStatus::Success);
  record.replace(19, 2, "Jo");
  record.replace(10, 2, LittleEndian(0, 2));
  EXPECT_EQ(file_.Update(record), RmStatus::DuplicateKey);
  ASSERT_EQ(file_.GetEqual(1, key, record), RmStatus::Success);
  EXPECT_EQ(record.substr(19, 2), "br");
}

TEST_F(GetTest, UpdateKeepsThePlaceForGetNext) {
  std::string key = "JONES ";
  std::string record;
  ASSERT_EQ(file_.GetEqual(1, key, record), RmStatus::Success);
  record.replace(4, 6, "zed   ");
  ASSERT_EQ(file_.Update(record), RmStatus::Success);
  EXPECT_EQ(file_.GetNext(1, key, record), RmStatus::EndOfFile);
  ASSERT_EQ(file_.GetPrevious(1, key, record), RmStatus::Success);
  EXPECT_EQ(AutoIncOf(record), 5u);
}

TEST_F(GetTest, DeleteRemovesTheCurrentRecordAndGetNextGoesOn) {
  std::string key = "SMITH ";
  std::string record;
  ASSERT_EQ(file_.GetEqual(1, key, record), RmStatus::Success);  // record 1
  ASSERT_EQ(file_.Delete(), RmStatus::Success);
  EXPECT_EQ(file_.Delete(), RmStatus::InvalidPositioning);
  EXPECT_EQ(file_.Update(record), RmStatus::InvalidPositioning);
  ASSERT_EQ(file_.GetNext(1, key, record), RmStatus::Success);
  EXPECT_EQ(AutoIncOf(record), 3u);
  EXPECT_EQ(Walk(1, true), (std::vector<std::uint32_t>{4, 2, 3, 5}));
  key = "SMITH ";
  ASSERT_EQ(file_.GetEqual(1, key, record), RmStatus::Success);
  EXPECT_EQ(AutoIncOf(record), 3u);
}

TEST_F(DataFileTest, UpdateAndDeleteNeedACurrentRecord) {
  Insert({.code = "A1"});
  ASSERT_EQ(file_.Close(), RmStatus::Success);
  ASSERT_EQ(file_.Open(path_), RmStatus::Success);
  std::string record = Sample{}.Record();
  EXPECT_EQ(file_.Update(record), RmStatus::InvalidPositioning);
  EXPECT_EQ(file_.Delete(), RmStatus::InvalidPositioning);
}

TEST_F(DataFileTest, GetDirectFindsARecordByItsId) {
  Insert({.name = "one", .code = "A1"});
  RecordId id = file_.CurrentRecord();
  Insert({.name = "two", .code = "A2"});
  std::string key;
  std::string record;
  ASSERT_EQ(file_.GetDirect(id, 1, key, record), RmStatus::Success);
  EXPECT_EQ(key, "one   ");
  ASSERT_EQ(file_.GetNext(1, key, record), RmStatus::Success);
  EXPECT_EQ(key, "two   ");
  EXPECT_EQ(file_.GetDirect(id + 100, 1, key, record), RmStatus::InvalidRecordAddress);
}

TEST_F(DataFileTest, ReadOnlyOpenRefusesWrites) {
  Insert({.code = "A1"});
  ASSERT_EQ(file_.Open(path_, OpenMode::ReadOnly), RmStatus::Success);
  std::string key;
  std::string record;
  ASSERT_EQ(file_.GetFirst(0, key, record), RmStatus::Success);
  EXPECT_EQ(file_.Update(record), RmStatus::AccessDenied);
  EXPECT_EQ(file_.Delete(), RmStatus::AccessDenied);
  EXPECT_EQ(file_.Insert(record), RmStatus::AccessDenied);
}

TEST(DataFileClosed, EveryOperationGivesFileNotOpen) {
  DataFile file;
  std::string key;
  std::string record(21, ' ');
  FileStat stat;
  std::uint64_t count = 0;
  const std::function<RmStatus()> calls[] = {
      [&] { return file.Close(); },
      [&] { return file.Stat(stat); },
      [&] { return file.RecordCount(count); },
      [&] { return file.GetFirst(0, key, record); },
      [&] { return file.GetEqual(0, key, record); },
      [&] { return file.GetNext(0, key, record); },
      [&] { return file.GetDirect(1, 0, key, record); },
      [&] { return file.Insert(record); },
      [&] { return file.Update(record); },
      [&] { return file.Delete(); },
      [&] { return file.Unlock(); },
  };
  for (std::size_t i = 0; i < std::size(calls); ++i)
    EXPECT_EQ(calls[i](), RmStatus::FileNotOpen) << "call " << i;
  EXPECT_EQ(file.CurrentRecord(), 0);
}

TEST(StatusText, GivesTheRecordManagersDescriptions) {
  EXPECT_STREQ(StatusText(0), "The operation was successful");
  EXPECT_STREQ(StatusText(RmStatus::EndOfFile), "The operation encountered the end-of-file");
  EXPECT_STREQ(StatusText(20), "The MicroKernel or Btrieve Requester is inactive");
  EXPECT_STREQ(StatusText(88), "The application encountered an incompatible mode error");
  EXPECT_STREQ(StatusText(1234), "");
}

}  // namespace
}  // namespace upfold::test
