// Transactions on a data file: the handle sees its own changes, End makes them durable
// together, and Abort, Close or a kill before End leave the file as it was at Begin.

#include <gtest/gtest.h>

#include "RecmanSupport.h"
#include "recman/DataFile.h"
#include "support/TempDir.h"

namespace upfold::test {
namespace {

class TransactionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(DataFile::Create(path_, SampleSpec()), RmStatus::Success);
    ASSERT_EQ(file_.Open(path_), RmStatus::Success);
  }

  // Inserts a record named `name` (number n, code unique per n) and returns its number.
  static std::uint32_t Add(DataFile& file, const std::string& name, int n) {
    std::string record =
        Sample{.name = name, .number = n, .code = LittleEndian(static_cast<std::uint32_t>(n), 2)}
            .Record();
    EXPECT_EQ(file.Insert(record), RmStatus::Success);
    return AutoIncOf(record);
  }

  static std::uint64_t Count(DataFile& file) {
    std::uint64_t count = 0;
    EXPECT_EQ(file.RecordCount(count), RmStatus::Success);
    return count;
  }

  static RmStatus Find(DataFile& file, std::uint32_t id, std::string& record) {
    std::string key = LittleEndian(id, 4);
    return file.GetEqual(0, key, record);
  }

  TempDir dir_;
  std::string path_ = dir_ / "tx.dat";
  DataFile file_;
};

TEST_F(TransactionTest, OperationsOutOfOrderGiveTheirStatus) {
  DataFile closed;
  EXPECT_EQ(closed.BeginTransaction(), RmStatus::FileNotOpen);
  EXPECT_EQ(closed.EndTransaction(), RmStatus::FileNotOpen);
  EXPECT_EQ(closed.AbortTransaction(), RmStatus::FileNotOpen);

  EXPECT_EQ(file_.EndTransaction(), RmStatus::NoTransaction);
  EXPECT_EQ(file_.AbortTransaction(), RmStatus::NoTransaction);
  ASSERT_EQ(file_.BeginTransaction(), RmStatus::Success);
  EXPECT_TRUE(file_.InTransaction());
  EXPECT_EQ(file_.BeginTransaction(), RmStatus::TransactionActive);
  Add(file_, "A", 1);
  EXPECT_EQ(file_.EndTransaction(), RmStatus::Success);
  EXPECT_FALSE(file_.InTransaction());
  EXPECT_EQ(file_.EndTransaction(), RmStatus::NoTransaction);
  EXPECT_EQ(Count(file_), 1u);
}

TEST_F(TransactionTest, OwnChangesVisibleInsideOthersSeeThemOnlyAfterEnd) {
  DataFile other;
  ASSERT_EQ(other.Open(path_), RmStatus::Success);
  ASSERT_EQ(file_.BeginTransaction(), RmStatus::Success);
  const std::uint32_t first = Add(file_, "FIRST", 1);
  const std::uint32_t second = Add(file_, "SECOND", 2);
  EXPECT_EQ(second, first + 1) << "auto-increment inside a transaction counts its own records";

  std::string record;
  ASSERT_EQ(Find(file_, first, record), RmStatus::Success);
  EXPECT_EQ(NameOf(record), "FIRST ");
  std::string key;
  ASSERT_EQ(file_.GetNext(0, key, record), RmStatus::Success);
  EXPECT_EQ(NameOf(record), "SECOND");
  EXPECT_EQ(Count(file_), 2u);

  EXPECT_EQ(Find(other, first, record), RmStatus::KeyNotFound);
  EXPECT_EQ(Count(other), 0u);
  std::string blocked = Sample{.code = "ZZ"}.Record();
  EXPECT_EQ(other.Insert(blocked), RmStatus::FileLocked) << "a writer waits for the transaction";

  ASSERT_EQ(file_.EndTransaction(), RmStatus::Success);
  EXPECT_EQ(Count(other), 2u);
  ASSERT_EQ(Find(other, second, record), RmStatus::Success);
  EXPECT_EQ(NameOf(record), "SECOND");
}

TEST_F(TransactionTest, AbortAndCloseDropInsertsUpdatesAndDeletes) {
  const std::uint32_t kept = Add(file_, "KEPT", 1);
  const std::uint32_t doomed = Add(file_, "DOOMED", 2);
  Add(file_, "TOP", 5);  // keeps the highest number while DOOMED is deleted
  for (const bool byClose : {false, true}) {
    SCOPED_TRACE(byClose ? "Close" : "Abort");
    ASSERT_EQ(file_.BeginTransaction(), RmStatus::Success);
    std::string record;
    ASSERT_EQ(Find(file_, kept, record), RmStatus::Success);
    std::string changed = record;
    changed.replace(4, 6, "EDITED");
    ASSERT_EQ(file_.Update(changed), RmStatus::Success);
    ASSERT_EQ(Find(file_, doomed, record), RmStatus::Success);
    ASSERT_EQ(file_.Delete(), RmStatus::Success);
    const std::uint32_t added = Add(file_, "ADDED", 3);
    EXPECT_EQ(Count(file_), 3u);

    if (byClose) {
      ASSERT_EQ(file_.Close(), RmStatus::Success);
      ASSERT_EQ(file_.Open(path_), RmStatus::Success);
    } else {
      ASSERT_EQ(file_.AbortTransaction(), RmStatus::Success);
    }
    EXPECT_FALSE(file_.InTransaction());
    ASSERT_EQ(Find(file_, kept, record), RmStatus::Success);
    EXPECT_EQ(NameOf(record), "KEPT  ");
    EXPECT_EQ(Find(file_, doomed, record), RmStatus::Success);
    EXPECT_EQ(Find(file_, added, record), RmStatus::KeyNotFound);
    EXPECT_EQ(Count(file_), 3u);
    // Outside a transaction every call is durable again on its own.
    const std::uint32_t later = Add(file_, "LATER", 4);
    EXPECT_EQ(later, added) << "the dropped record's number is free again";
    ASSERT_EQ(Find(file_, later, record), RmStatus::Success);
    ASSERT_EQ(file_.Delete(), RmStatus::Success);
  }
}

TEST_F(TransactionTest, FailedInsertInsideKeepsTheTransactionsOtherChanges) {
  ASSERT_EQ(file_.BeginTransaction(), RmStatus::Success);
  Add(file_, "ONE", 1);
  std::string duplicate = Sample{.number = 1, .code = LittleEndian(1, 2)}.Record();
  EXPECT_EQ(file_.Insert(duplicate), RmStatus::DuplicateKey);
  Add(file_, "TWO", 2);
  ASSERT_EQ(file_.EndTransaction(), RmStatus::Success);
  ASSERT_EQ(file_.Close(), RmStatus::Success);
  ASSERT_EQ(file_.Open(path_), RmStatus::Success);
  EXPECT_EQ(Count(file_), 2u);
}

// A child commits one transaction, then changes the file in a second one large enough to spill
// pages into the file itself, and is killed before ending it.
TEST_F(TransactionTest, KillInsideATransactionKeepsOnlyWhatEnded) {
  ASSERT_EQ(file_.Close(), RmStatus::Success);
  constexpr int kCommitted = 20;
  constexpr int kKilled = 40000;
  Child child([&](int in, int out) {
    DataFile file;
    if (file.Open(path_) != RmStatus::Success) return 1;
    if (file.BeginTransaction() != RmStatus::Success) return 2;
    for (int i = 0; i < kCommitted; ++i) Add(file, "DONE", i);
    if (file.EndTransaction() != RmStatus::Success) return 3;
    Child::Put(out, 'c');
    if (file.BeginTransaction() != RmStatus::Success) return 4;
    std::string record;
    if (Find(file, 1, record) != RmStatus::Success) return 5;
    record.replace(4, 6, "EDITED");
    if (file.Update(record) != RmStatus::Success) return 6;
    if (Find(file, 2, record) != RmStatus::Success || file.Delete() != RmStatus::Success) return 7;
    for (int i = kCommitted; i < kCommitted + kKilled; ++i) Add(file, "LOST", i);
    Child::Put(out, 't');
    Child::Take(in);  // waits for the kill
    return 0;
  });
  ASSERT_TRUE(child.Started());
  ASSERT_EQ(child.Receive(), 'c');
  ASSERT_EQ(child.Receive(), 't');
  child.Kill();
  child.Wait();

  ASSERT_EQ(file_.Open(path_), RmStatus::Success);
  EXPECT_EQ(Count(file_), static_cast<std::uint64_t>(kCommitted));
  std::string record;
  ASSERT_EQ(Find(file_, 1, record), RmStatus::Success);
  EXPECT_EQ(NameOf(record), "DONE  ");
  EXPECT_EQ(Find(file_, 2, record), RmStatus::Success);
  std::string key;
  ASSERT_EQ(file_.GetLast(0, key, record), RmStatus::Success);
  EXPECT_EQ(AutoIncOf(record), static_cast<std::uint32_t>(kCommitted));
  // The file takes new work normally after the recovery.
  EXPECT_EQ(Add(file_, "NEXT", kCommitted), static_cast<std::uint32_t>(kCommitted + 1));
}

}  // namespace
}  // namespace upfold::test
