// Files that are missing, not ours, cut short or damaged give a status, never a crash.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "RecmanSupport.h"
#include "recman/DataFile.h"
#include "support/TempDir.h"

namespace upfold::test {
namespace {

// A data file of several pages: 400 records.
std::string MakeFile(const TempDir& dir, const std::string& name) {
  std::string path = dir / name;
  EXPECT_EQ(DataFile::Create(path, SampleSpec()), RmStatus::Success);
  DataFile file;
  EXPECT_EQ(file.Open(path), RmStatus::Success);
  for (int i = 0; i < 400; ++i) {
    std::string record = Sample{.name = "n" + std::to_string(i), .number = i, .amount = i}.Record();
    EXPECT_EQ(file.Insert(record), RmStatus::Success);
  }
  return path;
}

void RunSql(const std::string& path, const char* sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
}

TEST(DamagedFile, OpenTellsWhatIsWrongWithTheFile) {
  TempDir dir;
  std::string good = MakeFile(dir, "good.dat");
  const std::string content = dir.Read("good.dat");

  std::string foreign = dir / "foreign.db";
  RunSql(foreign, "CREATE TABLE t(x); INSERT INTO t VALUES(1);");
  std::string newer = dir / "newer.dat";
  std::filesystem::copy_file(good, newer);
  RunSql(newer, "PRAGMA user_version=2;");
  std::string noCatalogue = dir / "nocat.dat";
  std::filesystem::copy_file(good, noCatalogue);
  RunSql(noCatalogue, "DROP TABLE rm_key;");

  struct Case {
    const char* what;
    std::string path;
    RmStatus expected;
  };
  const Case cases[] = {
      {"missing", dir / "missing.dat", RmStatus::FileNotFound},
      {"missing folder", dir / "nofolder/x.dat", RmStatus::FileNotFound},
      {"a folder", dir.Path(), RmStatus::FileNotFound},
      {"text file", dir.Write("text.dat", "Client,Case\r\nSMITH,1\r\n"), RmStatus::NotADataFile},
      {"empty file", dir.Write("empty.dat", ""), RmStatus::NotADataFile},
      {"SQLite file of another program", foreign, RmStatus::NotADataFile},
      {"another format version", newer, RmStatus::NotADataFile},
      {"catalogue gone", noCatalogue, RmStatus::NotADataFile},
      {"cut inside the header", dir.Write("cut50.dat", content.substr(0, 50)), RmStatus::IoError},
      {"cut inside the first page", dir.Write("cut1k.dat", content.substr(0, 1000)),
       RmStatus::IoError},
      {"cut in half", dir.Write("half.dat", content.substr(0, content.size() / 2)),
       RmStatus::IoError},
  };
  for (const Case& c : cases) {
    DataFile file;
    EXPECT_EQ(file.Open(c.path), c.expected) << c.what;
    EXPECT_FALSE(file.IsOpen()) << c.what;
  }
  DataFile file;
  EXPECT_EQ(file.Open(good), RmStatus::Success);
}

TEST(DamagedFile, GarbledPagesGiveAnIoErrorOnRead) {
  TempDir dir;
  std::string path = MakeFile(dir, "garbled.dat");
  const auto size = static_cast<std::streamoff>(std::filesystem::file_size(path));
  {
    // The catalogue lies in the first pages; garble the second half, records and indexes.
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(size / 2 / 4096 * 4096);
    std::string garbage(static_cast<std::size_t>(size / 2), '\xA5');
    f.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
  }
  DataFile file;
  ASSERT_EQ(file.Open(path), RmStatus::Success);
  std::string key;
  std::string record;
  RmStatus walk = file.GetFirst(0, key, record);
  int read = 0;
  while (walk == RmStatus::Success && read < 1000) {
    ++read;
    walk = file.GetNext(0, key, record);
  }
  EXPECT_EQ(walk, RmStatus::IoError) << "read " << read << " records";
}

// Runs `body` in a child process as an unprivileged user when the tests run as root (whom
// permissions do not bind); body sends its findings as status bytes.
std::string StatusesAsUser(const TempDir& dir, const std::function<void(int out)>& body) {
  ::chmod(dir.Path().c_str(), 0755);
  Child child([&](int, int out) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) return 1;
    body(out);
    return 0;
  });
  std::string got;
  for (int c; (c = child.Receive()) >= 0;) got.push_back(static_cast<char>(c));
  EXPECT_EQ(child.Wait(), 0);
  return got;
}

void Put(int out, RmStatus st) {
  Child::Put(out, static_cast<char>(StatusNumber(st)));
}

TEST(DamagedFile, PermissionsAreHonoured) {
  TempDir dir;
  std::string unreadable = MakeFile(dir, "unreadable.dat");
  std::string readOnly = MakeFile(dir, "readonly.dat");
  ASSERT_EQ(::chmod(unreadable.c_str(), 0), 0);
  ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);

  std::string got = StatusesAsUser(dir, [&](int out) {
    DataFile file;
    Put(out, file.Open(unreadable));
    Put(out, file.Open(readOnly, OpenMode::Exclusive));
    Put(out, file.Open(readOnly));
    std::string key;
    std::string record;
    Put(out, file.GetFirst(0, key, record));
    Put(out, file.Update(record));
    std::string fresh = Sample{.code = "ZZ"}.Record();
    Put(out, file.Insert(fresh));
  });
  const std::string expected = {46, 46, 0, 0, 46, 46};
  EXPECT_EQ(got, expected);
}

TEST(DamagedFile, CreateInAMissingFolderFails) {
  TempDir dir;
  EXPECT_EQ(DataFile::Create(dir / "no/such/folder.dat", SampleSpec()), RmStatus::CreateError);
}

}  // namespace
}  // namespace upfold::test
