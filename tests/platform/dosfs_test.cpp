#include "platform/DosFs.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/FileHold.h"
#include "platform/Registry.h"
#include "support/TempDir.h"

namespace upfold {
namespace {

using test::TempDir;
namespace fs = std::filesystem;

const char kDosDevices[] = "\\System\\CurrentControlSet\\Control\\Session Manager\\DOS Devices";

void SetTimes(const std::string& path, std::time_t accessed, std::time_t written) {
  const timespec times[2] = {{accessed, 0}, {written, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

// C: and D: are folders of the test's own.
class DosFsTest : public ::testing::Test {
 protected:
  DosFsTest() {
    fs::create_directories(dir / "c");
    fs::create_directories(dir / "d");
    reg.WriteString(Hive::LocalMachine, kDosDevices, "C:", dir / "c");
    reg.WriteString(Hive::LocalMachine, kDosDevices, "d:", dir / "d");  // any case
    reg.WriteString(Hive::LocalMachine, kDosDevices, "AUX", "\\DosDevices\\COM1");  // ignored
  }
  std::string Host(const std::string& relative) const { return dir / relative; }
  std::vector<std::string> Names(const std::vector<DirEntry>& entries) const {
    std::vector<std::string> names;
    for (const DirEntry& e : entries) names.push_back(e.name);
    return names;
  }

  TempDir dir;
  Registry reg{dir / "registry.reg"};
};

TEST_F(DosFsTest, ComponentsAreFoundWithoutRegardToCase) {
  dir.Write("c/MFW/DATA/Trin01.s", "t");
  dir.Write("c/MFW/DATA/desc01.S", "d");
  for (const char* name : {"ABC", "Abc", "abc"}) dir.Write(std::string("c/Dup/") + name, name);
  DosFs dos(&reg);

  struct Case {
    const char* dos;
    const char* host;  // under the test folder
  } cases[] = {
      {"C:\\MFW\\DATA\\Trin01.s", "c/MFW/DATA/Trin01.s"},
      {"c:\\mfw\\data\\TRIN01.S", "c/MFW/DATA/Trin01.s"},
      {"C:/mfw/Data/desc01.s", "c/MFW/DATA/desc01.S"},
      {"C:\\mfw\\data\\NEW01.s", "c/MFW/DATA/NEW01.s"},            // new file: case as given
      {"C:\\mfw\\NewDir\\Sub\\X.txt", "c/MFW/NewDir/Sub/X.txt"},    // below a new folder too
      {"C:\\MFW\\.\\Data\\..\\DATA\\\\Trin01.s", "c/MFW/DATA/Trin01.s"},
      {"C:\\..\\..\\mfw", "c/MFW"},                                 // ".." stops at the root
      {"C:\\dup\\abc", "c/Dup/abc"},                                // the exact spelling first
      {"C:\\dup\\Abc", "c/Dup/Abc"},
      {"C:\\dup\\aBC", "c/Dup/ABC"},                                // else the first in order
      {"C:\\", "c"},
      {"D:\\Remote\\TRIN01.RME", "d/Remote/TRIN01.RME"},
      {"d:", "d"},
  };
  for (const Case& c : cases) EXPECT_EQ(dos.ToHost(c.dos), Host(c.host)) << c.dos;

  for (const char* bad : {"Q:\\X", "\\\\server\\share\\x", "", "1:\\x"})
    EXPECT_EQ(dos.ToHost(bad), std::nullopt) << bad;
}

TEST_F(DosFsTest, RelativePathsStartFromTheCurrentDirectory) {
  dir.Write("c/MFW/DATA/Trin01.s", "t");
  DosFs dos(&reg);
  EXPECT_FALSE(dos.SetCurrentDirectory("C:\\NoSuchDir"));
  ASSERT_TRUE(dos.SetCurrentDirectory("c:/mfw/"));
  EXPECT_EQ(dos.CurrentDirectory(), "C:\\mfw");

  EXPECT_EQ(dos.ToHost("data\\trin01.s"), Host("c/MFW/DATA/Trin01.s"));
  EXPECT_EQ(dos.ToHost("..\\MFW\\Data"), Host("c/MFW/DATA"));
  EXPECT_EQ(dos.ToHost("\\mfw"), Host("c/MFW"));           // the current drive's root
  EXPECT_EQ(dos.ToHost("C:DATA"), Host("c/MFW/DATA"));     // the drive's current folder
  EXPECT_EQ(dos.ToHost("D:Remote"), Host("d/Remote"));     // another drive: its root
  EXPECT_TRUE(dos.FileExists("DATA\\TRIN01.S"));
  EXPECT_TRUE(dos.DirectoryExists("data"));
  EXPECT_FALSE(dos.DirectoryExists("DATA\\TRIN01.S"));
}

TEST_F(DosFsTest, DriveMapping) {
  reg.WriteString(Hive::LocalMachine, kDosDevices, "X:", dir / "missing");
  DosFs dos(&reg);
  EXPECT_EQ(dos.Drives(), (std::vector<char>{'C', 'D', 'X'}));
  EXPECT_TRUE(dos.DriveReady('c'));
  EXPECT_TRUE(dos.DriveReady('D'));
  EXPECT_FALSE(dos.DriveReady('X'));  // mapped, but its folder is not there
  EXPECT_FALSE(dos.DriveReady('Q'));  // not mapped
  ASSERT_TRUE(dos.DriveSize('C') && dos.DriveFree('c'));
  EXPECT_GT(*dos.DriveSize('C'), 0u);
  EXPECT_LE(*dos.DriveFree('C'), *dos.DriveSize('C'));
  EXPECT_EQ(dos.DriveSize('Q'), std::nullopt);
  EXPECT_EQ(dos.DriveFree('X'), std::nullopt);

  // Without a registry, or without a mapping for C:, C: is the host's root.
  DosFs bare(nullptr);
  EXPECT_EQ(bare.Drives(), std::vector<char>{'C'});
  EXPECT_EQ(bare.ToHost("C:\\"), "/");
  EXPECT_EQ(bare.ToHost("c:\\TMP"), fs::exists("/tmp") && !fs::exists("/TMP") ? "/tmp" : "/TMP");
  EXPECT_EQ(bare.ToHost("D:\\x"), std::nullopt);

  Registry onlyD(dir / "onlyd.reg");
  onlyD.WriteString(Hive::LocalMachine, kDosDevices, "D:", dir / "d");
  EXPECT_EQ(DosFs(&onlyD).ToHost("C:\\"), "/");
}

TEST_F(DosFsTest, DamagedRegistryIsNotTakenForAnEmptyOne) {
  Registry damaged(dir.Write("bad.reg", "not a registry\n"));
  EXPECT_THROW(DosFs{&damaged}, RegistryError);
}

TEST_F(DosFsTest, HostPathsBecomeDosPathsThroughTheLongestMapping) {
  dir.Write("c/MFW/DATA/Trin01.s", "t");
  reg.WriteString(Hive::LocalMachine, kDosDevices, "M:", dir / "c/MFW");
  DosFs dos(&reg);
  struct Case {
    std::string host;
    std::optional<std::string> dos;
  } cases[] = {
      {Host("c/APPS/PROG"), "C:\\APPS\\PROG"},
      {Host("c"), "C:\\"},
      {Host("c/"), "C:\\"},
      {Host("c/MFW/DATA/Trin01.s"), "M:\\DATA\\Trin01.s"},  // M: is the longer prefix
      {Host("c/MFW"), "M:\\"},
      {Host("c/MFWX/a"), "C:\\MFWX\\a"},                    // a prefix only at a folder boundary
      {Host("d/./x/../Remote/"), "D:\\Remote"},
      {Host("c/Caf\xC3\xA9"), "C:\\Caf\xE9"},               // Windows-1252 in DOS paths
      {Host("c/back\\slash"), std::nullopt},
      {Host("c/\xE4\xB8\xAD"), std::nullopt},               // no Windows-1252 spelling
      {"/etc/passwd", std::nullopt},                        // no drive reaches it
  };
  for (const Case& c : cases) EXPECT_EQ(dos.ToDos(c.host), c.dos) << c.host;

  for (const char* file : {"c/MFW/DATA/Trin01.s", "c/MFW", "d"}) {
    auto there = dos.ToDos(Host(file));
    ASSERT_TRUE(there) << file;
    EXPECT_EQ(dos.ToHost(*there), Host(file)) << *there;
  }
}

TEST(DosFsProgramDir, IsTheProgramsFolderWithoutTrailingBackslash) {
  fs::path folder = fs::read_symlink("/proc/self/exe").parent_path();
  std::string expected = "C:" + folder.string();
  std::replace(expected.begin(), expected.end(), '/', '\\');
  EXPECT_EQ(DosFs(nullptr).ProgramDir(), expected);

  TempDir dir;
  Registry reg(dir / "registry.reg");
  reg.WriteString(Hive::LocalMachine, kDosDevices, "P:", folder.string());
  EXPECT_EQ(DosFs(&reg).ProgramDir(), "P:");  // a program at a drive's root
}

TEST(DosFsWildcard, FollowsTheWindowsRules) {
  struct Case {
    const char* pattern;
    const char* name;
    bool match;
  } cases[] = {
      {"trin??.R??", "TRIN01.R07", true},
      {"trin??.R??", "trin01.r7", false},  // '?' is exactly one character
      {"trin??.R??", "TRIN1.R07", false},
      {"TRIN*.RME", "trin01.rme", true},
      {"TRIN*.RME", "TRIN.RME", true},     // '*' may be empty
      {"TRIN*.RME", "TRIN01.RME.BAK", false},
      {"TRIN*.RME", "XTRIN01.RME", false},
      {"*.*", "README", true},             // every name, with or without a dot
      {"*.*", "a.b.c", true},
      {"*", ".hidden", true},
      {"TRIN01.*", "TRIN01", true},
      {"TRIN01.*", "TRIN01X", false},
      {"*.RME", "RME", false},
      {"*a*b", "xxaxxbxxb", true},
      {"*a*b", "xxaxxbxxc", false},
      {"DESC01.RME", "desc01.rme", true},
      {"caf\xC9.*", "caf\xE9.txt", true},  // Windows-1252 letters fold too
      {"", "", true},
      {"", "a", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DosFs::WildcardMatch(c.pattern, c.name), c.match) << c.pattern << " / " << c.name;
}

TEST_F(DosFsTest, ListMatchesTheLastComponentAndSortsWithoutRegardToCase) {
  for (const char* name : {"TRIN01.R07", "trin01.r7", "trin03.rme", "TRIN02.RME", "DESC01.RME",
                           "README"})
    dir.Write(std::string("c/Remote/") + name, std::string(name));
  fs::create_directories(dir / "c/Remote/Sub");
  SetTimes(Host("c/Remote/TRIN01.R07"), 1'000'000'000, 1'200'000'000);
  DosFs dos(&reg);

  auto list = dos.List("c:\\REMOTE\\trin??.R??");  // not trin01.r7
  ASSERT_EQ(Names(list), (std::vector<std::string>{"TRIN01.R07", "TRIN02.RME", "trin03.rme"}));
  EXPECT_EQ(list[0].size, 10u);
  EXPECT_FALSE(list[0].isDirectory);
  EXPECT_EQ(list[0].lastWrite, 1'200'000'000);  // the last-written time, not the access time

  EXPECT_EQ(Names(dos.List("C:/remote/TRIN*.RME")),
            (std::vector<std::string>{"TRIN02.RME", "trin03.rme"}));
  auto all = dos.List("C:\\Remote\\*.*");
  EXPECT_EQ(Names(all), (std::vector<std::string>{"DESC01.RME", "README", "Sub", "TRIN01.R07",
                                                  "trin01.r7", "TRIN02.RME", "trin03.rme"}));
  EXPECT_TRUE(all[2].isDirectory);

  ASSERT_TRUE(dos.SetCurrentDirectory("C:\\REMOTE"));
  EXPECT_EQ(Names(dos.List("desc*.*")), std::vector<std::string>{"DESC01.RME"});
  EXPECT_EQ(Names(dos.List("readme")), std::vector<std::string>{"README"});
  EXPECT_TRUE(dos.List("C:\\NoSuchDir\\*.*").empty());
  EXPECT_TRUE(dos.List("C:\\Remote\\").empty());
  EXPECT_TRUE(dos.List("Q:\\*.*").empty());
}

TEST_F(DosFsTest, CopyRefusesToOverwriteWhenAskedAndKeepsTheTimeStamp) {
  std::string source = dir.Write("c/PGM/Trin.clo", "template");
  SetTimes(source, 1'100'000'000, 1'100'000'000);
  DosFs dos(&reg);

  ASSERT_TRUE(dos.CopyFile("C:\\pgm\\TRIN.CLO", "C:\\PGM\\Trin01.s", true));
  EXPECT_EQ(dir.Read("c/PGM/Trin01.s"), "template");
  EXPECT_EQ(fs::last_write_time(Host("c/PGM/Trin01.s")), fs::last_write_time(source));

  dir.Write("c/PGM/Trin01.s", "posted data");
  FsResult refused = dos.CopyFile("C:\\PGM\\Trin.clo", "c:\\pgm\\TRIN01.S", true);
  EXPECT_FALSE(refused);
  EXPECT_EQ(refused.message, fsmsg::kFileExists);
  EXPECT_EQ(dir.Read("c/PGM/Trin01.s"), "posted data");

  EXPECT_TRUE(dos.CopyFile("C:\\PGM\\Trin.clo", "c:\\pgm\\TRIN01.S", false));
  EXPECT_EQ(dir.Read("c/PGM/Trin01.s"), "template");
  EXPECT_FALSE(fs::exists(Host("c/PGM/TRIN01.S")));  // replaced under its own name
  // Copies are made out of sight and named only when complete: no temporary file is left.
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(Host("c/PGM"))) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Trin.clo", "Trin01.s"}));

  struct Case {
    const char* from;
    const char* to;
    const char* message;
  } failures[] = {
      {"C:\\PGM\\Nothing.clo", "C:\\PGM\\X", fsmsg::kFileNotFound},
      {"C:\\NoDir\\Trin.clo", "C:\\PGM\\X", fsmsg::kPathNotFound},
      {"C:\\PGM\\Trin.clo", "C:\\NoDir\\X", fsmsg::kPathNotFound},
      {"Q:\\Trin.clo", "C:\\PGM\\X", fsmsg::kPathNotFound},
      {"C:\\PGM", "C:\\X", fsmsg::kAccessDenied},                 // a folder
      {"C:\\PGM\\Trin.clo", "C:\\PGM\\TRIN.CLO", fsmsg::kInUse},  // onto itself
      {"C:\\PGM\\Trin.clo", "C:\\PGM\\a?b", fsmsg::kBadName},
  };
  for (const Case& c : failures)
    EXPECT_EQ(dos.CopyFile(c.from, c.to, false).message, c.message) << c.from << " -> " << c.to;
  EXPECT_EQ(dir.Read("c/PGM/Trin.clo"), "template");
}

TEST_F(DosFsTest, AHeldFileIsNeitherDeletedNorMovedNorReplaced) {
  std::string held = dir.Write("c/DATA/Trin01.s", "in use");
  dir.Write("c/DATA/Other.s", "other");
  DosFs dos(&reg);
  {
    FileHold hold(held);
    ASSERT_TRUE(hold.Held());
    EXPECT_EQ(dos.DeleteFile("C:\\DATA\\TRIN01.S").message, fsmsg::kInUse);
    EXPECT_EQ(dos.MoveFile("C:\\DATA\\Trin01.s", "C:\\DATA\\Moved.s").message, fsmsg::kInUse);
    EXPECT_EQ(dos.CopyFile("C:\\DATA\\Other.s", "C:\\DATA\\Trin01.s", false).message, fsmsg::kInUse);
    EXPECT_TRUE(dos.CopyFile("C:\\DATA\\Trin01.s", "C:\\DATA\\Copy.s", true));  // reading is fine
    EXPECT_EQ(dir.Read("c/DATA/Trin01.s"), "in use");
  }
  EXPECT_TRUE(dos.MoveFile("C:\\DATA\\Trin01.s", "C:\\DATA\\Moved.s"));
  EXPECT_TRUE(dos.DeleteFile("c:\\data\\MOVED.S"));
  EXPECT_FALSE(fs::exists(held));
  EXPECT_FALSE(fs::exists(Host("c/DATA/Moved.s")));
}

TEST_F(DosFsTest, MoveDeleteAndCreateDirectoryFailuresUseTheSystemTexts) {
  dir.Write("c/DATA/TRIN01.RME", "batch");
  dir.Write("c/DATA/Other.s", "other");
  DosFs dos(&reg);

  EXPECT_EQ(dos.MoveFile("C:\\DATA\\TRIN01.RME", "C:\\DATA\\other.S").message, fsmsg::kAlreadyExists);
  EXPECT_EQ(dos.MoveFile("C:\\DATA\\NONE.RME", "C:\\DATA\\X").message, fsmsg::kFileNotFound);
  EXPECT_EQ(dos.MoveFile("C:\\DATA\\TRIN01.RME", "C:\\NoDir\\X").message, fsmsg::kPathNotFound);
  EXPECT_EQ(dir.Read("c/DATA/Other.s"), "other");

  // A change of case only is a rename, and the new spelling is kept.
  ASSERT_TRUE(dos.MoveFile("C:\\DATA\\TRIN01.RME", "C:\\data\\Trin01.rme"));
  EXPECT_EQ(Names(dos.List("C:\\DATA\\*.rme")), std::vector<std::string>{"Trin01.rme"});
  ASSERT_TRUE(dos.MoveFile("C:\\DATA\\Trin01.rme", "D:\\Trin01.R00"));  // to another drive folder
  EXPECT_EQ(dir.Read("d/Trin01.R00"), "batch");

  EXPECT_EQ(dos.DeleteFile("C:\\DATA\\Gone.s").message, fsmsg::kFileNotFound);
  EXPECT_EQ(dos.DeleteFile("C:\\NoDir\\Gone.s").message, fsmsg::kPathNotFound);
  EXPECT_EQ(dos.DeleteFile("C:\\DATA").message, fsmsg::kAccessDenied);

  EXPECT_TRUE(dos.CreateDirectory("C:\\DATA\\Backup"));
  EXPECT_TRUE(fs::is_directory(Host("c/DATA/Backup")));
  EXPECT_EQ(dos.CreateDirectory("c:\\data\\BACKUP").message, fsmsg::kAlreadyExists);
  EXPECT_EQ(dos.CreateDirectory("C:\\NoDir\\Sub").message, fsmsg::kPathNotFound);
  EXPECT_EQ(dos.CreateDirectory("C:\\DATA\\a*b").message, fsmsg::kBadName);
}

TEST_F(DosFsTest, MoveToAnotherFileSystemCopiesAndRemoves) {
  std::string other = "/dev/shm/upfold-move-XXXXXX";
  struct stat here {}, there {};
  if (::stat("/dev/shm", &there) != 0 || ::stat(dir.Path().c_str(), &here) != 0 ||
      here.st_dev == there.st_dev || !::mkdtemp(other.data()))
    GTEST_SKIP() << "no second file system at hand";
  reg.WriteString(Hive::LocalMachine, kDosDevices, "M:", other);
  std::string batch = dir.Write("c/TRIN01.RME", "batch");
  SetTimes(batch, 1'100'000'000, 1'100'000'000);
  DosFs dos(&reg);

  FsResult moved = dos.MoveFile("C:\\TRIN01.RME", "M:\\TRIN01.R01");
  std::string movedHost = other + "/TRIN01.R01";
  std::ifstream in(movedHost, std::ios::binary);
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  fs::remove_all(other);
  EXPECT_TRUE(moved) << moved.message;
  EXPECT_EQ(content, "batch");
  EXPECT_FALSE(fs::exists(batch));
}

}  // namespace
}  // namespace upfold
