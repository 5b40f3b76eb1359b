// Handles of one file in other processes (forked children, synchronised over pipes) and in
// this one: exclusive opens, record locks, a busy database, and the hold that keeps an open
// file from being deleted.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "RecmanSupport.h"
#include "platform/DosFs.h"
#include "platform/FileHold.h"
#include "recman/DataFile.h"
#include "support/TempDir.h"

namespace upfold::test {
namespace {

class SharingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(DataFile::Create(path_, SampleSpec()), RmStatus::Success);
    DataFile file;
    ASSERT_EQ(file.Open(path_), RmStatus::Success);
    for (const char* code : {"A1", "A2", "A3"}) {
      std::string record = Sample{.name = code, .code = code}.Record();
      ASSERT_EQ(file.Insert(record), RmStatus::Success);
    }
  }

  // Positions `file` on the record with auto-increment value `id`.
  static RmStatus GetById(DataFile& file, std::uint32_t id, std::string& record,
                          RecordLock lock = RecordLock::None) {
    std::string key = LittleEndian(id, 4);
    return file.Get(GetOp::Equal, 0, key, record, lock);
  }

  static void Put(int out, RmStatus st) { Child::Put(out, static_cast<char>(StatusNumber(st))); }
  static RmStatus Got(int byte) { return static_cast<RmStatus>(byte); }

  TempDir dir_;
  std::string path_ = dir_ / "shared.dat";
};

TEST_F(SharingTest, ExclusiveOpenInAnotherProcessKeepsOthersOut) {
  Child child([&](int in, int out) {
    DataFile file;
    Put(out, file.Open(path_, OpenMode::Exclusive));
    Child::Take(in);  // until the parent has tried
    file.Close();
    Put(out, RmStatus::Success);
    return 0;
  });
  ASSERT_EQ(Got(child.Receive()), RmStatus::Success);
  DataFile file;
  EXPECT_EQ(file.Open(path_), RmStatus::FileLocked);
  EXPECT_EQ(file.Open(path_, OpenMode::ReadOnly), RmStatus::FileLocked);
  EXPECT_EQ(file.Open(path_, OpenMode::Exclusive), RmStatus::FileLocked);
  child.Send('x');
  ASSERT_EQ(Got(child.Receive()), RmStatus::Success);
  EXPECT_EQ(file.Open(path_), RmStatus::Success);
  EXPECT_EQ(child.Wait(), 0);
}

TEST_F(SharingTest, ExclusiveOpenWhileOthersHaveTheFileOpenIsAnIncompatibleMode) {
  Child child([&](int in, int out) {
    Child::Take(in);  // until the parent has opened
    DataFile file;
    Put(out, file.Open(path_, OpenMode::Exclusive));
    Put(out, file.Open(path_, OpenMode::Normal));
    Child::Take(in);
    Put(out, file.Open(path_, OpenMode::Exclusive));
    return 0;
  });
  DataFile file;
  ASSERT_EQ(file.Open(path_), RmStatus::Success);
  child.Send('o');
  EXPECT_EQ(Got(child.Receive()), RmStatus::IncompatibleMode);
  EXPECT_EQ(Got(child.Receive()), RmStatus::Success);
  file.Close();
  child.Send('c');
  // The child's own normal handle is closed by its exclusive open.
  EXPECT_EQ(Got(child.Receive()), RmStatus::Success);
  EXPECT_EQ(child.Wait(), 0);
}

TEST_F(SharingTest, RecordLockedInAnotherProcessCanBeReadButNotChanged) {
  Child child([&](int in, int out) {
    DataFile file;
    std::string record;
    Put(out, file.Open(path_));
    Put(out, GetById(file, 2, record, RecordLock::Single));
    Child::Take(in);
    Put(out, file.Unlock());
    Child::Take(in);
    return 0;
  });
  ASSERT_EQ(Got(child.Receive()), RmStatus::Success);
  ASSERT_EQ(Got(child.Receive()), RmStatus::Success);

  DataFile file;
  ASSERT_EQ(file.Open(path_), RmStatus::Success);
  std::string record;
  ASSERT_EQ(GetById(file, 2, record), RmStatus::Success);
  EXPECT_EQ(GetById(file, 2, record, RecordLock::Single), RmStatus::RecordLocked);
  std::string changed = record;
  changed.replace(4, 6, "new   ");
  EXPECT_EQ(file.Update(changed), RmStatus::RecordLocked);
  EXPECT_EQ(file.Delete(), RmStatus::RecordLocked);
  std::string other;
  EXPECT_EQ(GetById(file, 3, other, RecordLock::Single), RmStatus::Success);

  child.Send('u');
  ASSERT_EQ(Got(child.Receive()), RmStatus::Success);
  ASSERT_EQ(GetById(file, 2, record), RmStatus::Success);
  EXPECT_EQ(file.Update(changed), RmStatus::Success);
  child.Send('q');
  EXPECT_EQ(child.Wait(), 0);
}

TEST_F(SharingTest, LockOfAKilledProcessGoesWithIt) {
  Child child([&](int in, int out) {
    DataFile file;
    std::string record;
    file.Open(path_);
    Put(out, GetById(file, 1, record, RecordLock::Single));
    Child::Take(in);
    return 0;
  });
  ASSERT_EQ(Got(child.Receive()), RmStatus::Success);
  DataFile file;
  ASSERT_EQ(file.Open(path_), RmStatus::Success);
  std::string record;
  EXPECT_EQ(GetById(file, 1, record, RecordLock::Single), RmStatus::RecordLocked);
  child.Kill();
  child.Wait();
  EXPECT_EQ(GetById(file, 1, record, RecordLock::Single), RmStatus::Success);
}

// Two handles in one process behave like two processes.
TEST_F(SharingTest, LockIsReleasedByTheNextGetAnUpdateOrUnlock) {
  DataFile holder;
  DataFile other;
  ASSERT_EQ(holder.Open(path_), RmStatus::Success);
  ASSERT_EQ(other.Open(path_), RmStatus::Success);
  std::string record;
  std::string theirs;
  ASSERT_EQ(GetById(other, 1, theirs), RmStatus::Success);

  ASSERT_EQ(GetById(holder, 1, record, RecordLock::Single), RmStatus::Success);
  EXPECT_EQ(other.Update(theirs), RmStatus::RecordLocked);
  std::string key;
  ASSERT_EQ(holder.GetNext(0, key, record), RmStatus::Success);  // a Get without lock bias
  EXPECT_EQ(other.Update(theirs), RmStatus::Success);

  ASSERT_EQ(GetById(holder, 1, record, RecordLock::Single), RmStatus::Success);
  EXPECT_EQ(holder.Update(record), RmStatus::Success);  // its own lock does not stop it
  EXPECT_EQ(other.Update(theirs), RmStatus::Success);

  ASSERT_EQ(GetById(holder, 1, record, RecordLock::Single), RmStatus::Success);
  EXPECT_EQ(other.Delete(), RmStatus::RecordLocked);
  ASSERT_EQ(holder.Unlock(), RmStatus::Success);
  EXPECT_EQ(other.Delete(), RmStatus::Success);

  // The record is gone under the holder's position.
  EXPECT_EQ(holder.Update(record), RmStatus::RecordConflict);
}

TEST_F(SharingTest, BusyDatabaseIsAFileLock) {
  DataFile file;
  ASSERT_EQ(file.Open(path_), RmStatus::Success);
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(path_.c_str(), &raw), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(raw, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  std::string record = Sample{.code = "B1"}.Record();
  EXPECT_EQ(file.Insert(record), RmStatus::FileLocked);
  std::string key;
  EXPECT_EQ(file.GetFirst(0, key, record), RmStatus::FileLocked);
  ASSERT_EQ(sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(raw);
  record = Sample{.code = "B1"}.Record();
  EXPECT_EQ(file.Insert(record), RmStatus::Success);
  EXPECT_EQ(AutoIncOf(record), 4u);
}

TEST_F(SharingTest, OpenFileCannotBeDeleted) {
  DosFs fs(nullptr);
  const std::string dosPath = fs.ToDos(path_).value();
  {
    DataFile file;
    ASSERT_EQ(file.Open(path_), RmStatus::Success);
    EXPECT_TRUE(FileHold::IsHeld(path_));
    EXPECT_FALSE(fs.DeleteFile(dosPath));
    DataFile second;
    ASSERT_EQ(second.Open(path_), RmStatus::Success);
    ASSERT_EQ(second.Close(), RmStatus::Success);
    EXPECT_TRUE(FileHold::IsHeld(path_)) << "still open through the first handle";
  }
  EXPECT_FALSE(FileHold::IsHeld(path_));
  EXPECT_TRUE(fs.DeleteFile(dosPath));
}

}  // namespace
}  // namespace upfold::test
