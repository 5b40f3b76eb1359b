// Held reads: a handle's Gets share one shared lock until the stretch ends. Meanwhile nobody
// can commit a write to the file, so every way a stretch ends must let writers in again: the
// holder's own writes and transactions, meeting another handle's record lock, Close, and the
// ends the caller asks for.

#include <gtest/gtest.h>

#include "RecmanSupport.h"
#include "recman/DataFile.h"
#include "support/TempDir.h"

namespace upfold::test {
namespace {

class HeldReadsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(DataFile::Create(path_, SampleSpec()), RmStatus::Success);
    ASSERT_EQ(holder_.Open(path_), RmStatus::Success);
    ASSERT_EQ(other_.Open(path_), RmStatus::Success);
    for (const char* code : {"A1", "A2", "A3"}) {
      std::string record = Sample{.name = code, .code = code}.Record();
      ASSERT_EQ(other_.Insert(record), RmStatus::Success);
    }
    holder_.HoldReads(true);
  }

  static RmStatus GetById(DataFile& file, std::uint32_t id, std::string& record,
                          RecordLock lock = RecordLock::None) {
    std::string key = LittleEndian(id, 4);
    return file.Get(GetOp::Equal, 0, key, record, lock);
  }

  // Another handle's write, committed at once: 85 while a stretch holds the file.
  RmStatus OtherWrites() {
    const std::string code{'O', static_cast<char>('0' + ++written_)};
    std::string record = Sample{.name = "OTHER", .code = code}.Record();
    return other_.Insert(record);
  }

  TempDir dir_;
  std::string path_ = dir_ / "held.dat";
  DataFile holder_;
  DataFile other_;
  int written_ = 0;
};

TEST_F(HeldReadsTest, AStretchKeepsWritersOutUntilItEnds) {
  std::string record;
  ASSERT_EQ(GetById(holder_, 1, record), RmStatus::Success);
  EXPECT_EQ(OtherWrites(), RmStatus::FileLocked);
  holder_.EndReadStretch();
  EXPECT_EQ(OtherWrites(), RmStatus::Success);

  // The next Get begins another stretch, and reads what was written meanwhile.
  std::string key;
  ASSERT_EQ(holder_.GetLast(0, key, record), RmStatus::Success);
  EXPECT_EQ(NameOf(record), "OTHER ");
  holder_.HoldReads(false);
  EXPECT_EQ(OtherWrites(), RmStatus::Success);
  ASSERT_EQ(GetById(holder_, 1, record), RmStatus::Success);
  EXPECT_EQ(OtherWrites(), RmStatus::Success) << "reads no longer held";
  EXPECT_FALSE(holder_.ReadsHeld());
}

TEST_F(HeldReadsTest, TheHoldersOwnWritesEndItsStretchAndAreDurableAtOnce) {
  std::string record;
  std::string key;
  ASSERT_EQ(GetById(holder_, 1, record), RmStatus::Success);
  std::string mine = Sample{.name = "MINE", .code = "M1"}.Record();
  ASSERT_EQ(holder_.Insert(mine), RmStatus::Success);
  ASSERT_EQ(other_.GetLast(0, key, record), RmStatus::Success);
  EXPECT_EQ(NameOf(record), "MINE  ") << "the insert is not held back with the reads";
  EXPECT_EQ(OtherWrites(), RmStatus::Success);

  ASSERT_EQ(GetById(holder_, 2, record), RmStatus::Success);
  record.replace(4, 6, "CHANGE");
  ASSERT_EQ(holder_.Update(record), RmStatus::Success);
  EXPECT_EQ(OtherWrites(), RmStatus::Success);

  ASSERT_EQ(GetById(holder_, 3, record), RmStatus::Success);
  ASSERT_EQ(holder_.Delete(), RmStatus::Success);
  EXPECT_EQ(OtherWrites(), RmStatus::Success);

  // A transaction begins from a stretch without complaint, and its Gets are its own.
  ASSERT_EQ(GetById(holder_, 1, record), RmStatus::Success);
  ASSERT_EQ(holder_.BeginTransaction(), RmStatus::Success);
  ASSERT_EQ(GetById(holder_, 1, record), RmStatus::Success);
  ASSERT_EQ(holder_.EndTransaction(), RmStatus::Success);
  EXPECT_EQ(OtherWrites(), RmStatus::Success);
  ASSERT_EQ(GetById(other_, 2, record), RmStatus::Success);
  EXPECT_EQ(NameOf(record), "CHANGE");
  EXPECT_EQ(GetById(other_, 3, record), RmStatus::KeyNotFound);
}

TEST_F(HeldReadsTest, MeetingARecordLockLetsTheLockHolderCommit) {
  std::string theirs;
  ASSERT_EQ(GetById(other_, 2, theirs, RecordLock::Single), RmStatus::Success);
  std::string record;
  ASSERT_EQ(GetById(holder_, 1, record), RmStatus::Success);
  for (RecordLock lock : {RecordLock::Test, RecordLock::Single}) {
    EXPECT_EQ(GetById(holder_, 2, record, lock), RmStatus::RecordLocked);
    // The holder of the lock finishes its change while the reader waits.
    theirs.replace(4, 6, lock == RecordLock::Test ? "FIRST " : "SECOND");
    ASSERT_EQ(other_.Update(theirs), RmStatus::Success);
    ASSERT_EQ(GetById(other_, 2, theirs, RecordLock::Single), RmStatus::Success);
    ASSERT_EQ(GetById(holder_, 1, record), RmStatus::Success);  // a stretch again
  }
  ASSERT_EQ(other_.Unlock(), RmStatus::Success);
  ASSERT_EQ(GetById(holder_, 2, record, RecordLock::Test), RmStatus::Success);
  EXPECT_EQ(NameOf(record), "SECOND");
  // Test takes no lock.
  EXPECT_EQ(GetById(other_, 2, theirs, RecordLock::Single), RmStatus::Success);
}

TEST_F(HeldReadsTest, EveryStretchOfTheThreadEndsAtOnceAndCloseEndsItsOwn) {
  DataFile second;
  ASSERT_EQ(second.Open(path_), RmStatus::Success);
  second.HoldReads(true);
  std::string record;
  ASSERT_EQ(GetById(holder_, 1, record), RmStatus::Success);
  ASSERT_EQ(GetById(second, 2, record), RmStatus::Success);
  DataFile::EndEveryReadStretch();
  EXPECT_EQ(OtherWrites(), RmStatus::Success);
  EXPECT_TRUE(holder_.ReadsHeld()) << "the hold itself stays";

  ASSERT_EQ(GetById(holder_, 1, record), RmStatus::Success);
  ASSERT_EQ(holder_.Close(), RmStatus::Success);
  EXPECT_EQ(OtherWrites(), RmStatus::Success);
  {
    DataFile gone;
    ASSERT_EQ(gone.Open(path_), RmStatus::Success);
    gone.HoldReads(true);
    ASSERT_EQ(GetById(gone, 1, record), RmStatus::Success);
  }
  EXPECT_EQ(OtherWrites(), RmStatus::Success);
  DataFile::EndEveryReadStretch();  // nothing is left of the closed and the destroyed handle
}

}  // namespace
}  // namespace upfold::test
