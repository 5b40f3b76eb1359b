// A record survives a kill of the process once Insert has returned, and a closed file has no
// companion files beside it.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "RecmanSupport.h"
#include "recman/DataFile.h"
#include "support/TempDir.h"

namespace upfold::test {
namespace {

std::set<std::string> FolderEntries(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.insert(entry.path().filename().string());
  return names;
}

TEST(Durability, EveryInsertThatReturnedSurvivesAKill) {
  TempDir dir;
  const std::string path = dir / "killed.dat";
  ASSERT_EQ(DataFile::Create(path, SampleSpec()), RmStatus::Success);

  // The child inserts without end and reports each assigned number once Insert has returned.
  Child child([&](int, int out) {
    DataFile file;
    if (file.Open(path) != RmStatus::Success) return 1;
    for (std::uint32_t i = 0;; ++i) {
      std::string record =
          Sample{.number = static_cast<int>(i & 0x7FFF), .code = LittleEndian(i >> 15, 2)}.Record();
      if (file.Insert(record) != RmStatus::Success) return 2;
      std::string id = LittleEndian(AutoIncOf(record), 4);
      for (char c : id) Child::Put(out, c);
    }
  });
  std::vector<std::uint32_t> reported;
  auto readId = [&] {
    std::string bytes;
    for (int c; bytes.size() < 4 && (c = child.Receive()) >= 0;)
      bytes.push_back(static_cast<char>(c));
    if (bytes.size() == 4) reported.push_back(AutoIncOf(bytes));
    return bytes.size() == 4;
  };
  while (reported.size() < 300 && readId()) {
  }
  ASSERT_EQ(reported.size(), 300u) << "the child stopped early";
  child.Kill();
  child.Wait();
  while (readId()) {  // numbers written before the kill
  }

  DataFile file;
  ASSERT_EQ(file.Open(path), RmStatus::Success);
  for (std::uint32_t id : reported) {
    std::string key = LittleEndian(id, 4);
    std::string record;
    ASSERT_EQ(file.GetEqual(0, key, record), RmStatus::Success) << "record " << id << " lost";
  }
  std::uint64_t count = 0;
  ASSERT_EQ(file.RecordCount(count), RmStatus::Success);
  EXPECT_GE(count, reported.size());
  EXPECT_LE(count, reported.size() + 1) << "at most the insert under way when killed";
  ASSERT_EQ(file.Close(), RmStatus::Success);
  EXPECT_EQ(FolderEntries(dir.Path()), std::set<std::string>{"killed.dat"});
}

TEST(Durability, ClosedFileLeavesNothingBesideIt) {
  TempDir dir;
  const std::string path = dir / "plain.dat";
  ASSERT_EQ(DataFile::Create(path, SampleSpec()), RmStatus::Success);
  EXPECT_EQ(FolderEntries(dir.Path()), std::set<std::string>{"plain.dat"});
  DataFile file;
  ASSERT_EQ(file.Open(path), RmStatus::Success);
  std::string record = Sample{}.Record();
  ASSERT_EQ(file.Insert(record), RmStatus::Success);
  std::string key;
  ASSERT_EQ(file.GetFirst(0, key, record), RmStatus::Success);
  ASSERT_EQ(file.Update(record), RmStatus::Success);
  ASSERT_EQ(file.Delete(), RmStatus::Success);
  ASSERT_EQ(file.Close(), RmStatus::Success);
  EXPECT_EQ(FolderEntries(dir.Path()), std::set<std::string>{"plain.dat"});
}

}  // namespace
}  // namespace upfold::test
