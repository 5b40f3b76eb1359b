#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "app/HostRegistry.h"
#include "app/RegReader.h"
#include "app/RunValues.h"
#include "platform/Registry.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

namespace upfold {
namespace {

using test::ScriptedUi;
using test::TempDir;

const std::string kContact = kContactLine;
const std::string kHostSection = "[HKEY_LOCAL_MACHINE\\Software\\Verrin\\Marrowfield\\Host]\n";
const std::string kDataSection =
    "[HKEY_LOCAL_MACHINE\\Software\\Verrin\\Marrowfield\\Host\\H_Data]\n";
const std::string kAliasSection =
    "[HKEY_LOCAL_MACHINE\\Software\\Titan\\Btrieve\\Aliases\\MFWIN]\n";

// The host key of an installation that has started before: HD on C:\APPS and every suite
// setting present, so that nothing is rewritten; except blankSetting, stored as "".
std::string SettledHostSection(const std::string& hdLine = "\"HD\"=\"C:\\\\APPS\"\n",
                               const std::string& blankSetting = "") {
  static const char* const kSettings[] = {
      "DisplayDateTime", "DisplayDataDir", "DisplaySpeedButtons", "AutoExit",   "AutoSelect",
      "BackupDrv",       "CapAltID",       "ClientEntryMode",     "DowWarn",    "EmpByName",
      "EntryMode",       "FutureDays",     "GroupByDesc",         "GroupsReq",  "NarrByDesc",
      "PastDays",        "RndLimit",       "EnterSaves",          "SkipRateAmt"};
  std::string section = kHostSection + hdLine;
  for (const std::string name : kSettings) {
    section += "\"" + name + "\"=\"" + (name == blankSetting ? "" : "X") + "\"\n";
  }
  return section;
}

class RegReaderTest : public ::testing::Test {
 protected:
  // Writes the registry file: the .reg header, then body (sections and value lines).
  void Given(const std::string& body) {
    dir_.Write("registry.reg", "Windows Registry Editor Version 5.00\n\n" + body);
  }
  std::string FileText() const { return dir_.Read("registry.reg"); }

  bool Run(const std::string& programDir = "C:\\APPS") {
    return RegReader(registry_, ui_, programDir, values_);
  }

  std::optional<std::string> Value(const char* key, const char* name) const {
    return registry_.ReadString(Hive::LocalMachine, key, name);
  }

  // The registry layer's own text for what body does to this file.
  template <typename Body>
  std::string RegistryErrorOf(Body body) {
    try {
      body();
    } catch (const RegistryError& error) {
      return error.what();
    }
    ADD_FAILURE() << "no registry error";
    return {};
  }

  void ExpectStepError(const std::string& text, const std::string& keyShown,
                       const std::string& detail) {
    ui_.ExpectShow(MessageKind::Error, text + "\r\r" + keyShown + "\r\r" + detail + kContact);
  }

  TempDir dir_;
  Registry registry_{dir_ / "registry.reg"};
  ScriptedUi ui_;
  RunValues values_;
};

TEST_F(RegReaderTest, ProgramFolderAndItsTesselForm) {
  struct Case {
    const char* programDir;
    const char* pgmDir;
    const char* tessel;
  };
  const Case cases[] = {
      {"C:\\APPS", "C:\\APPS", "/APPS/C"},
      {"D:", "D:", "//D"},
      {"D:\\", "D:", "//D"},
      {"C:\\MFW\\PROG\\", "C:\\MFW\\PROG", "/MFW\\PROG/C"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.programDir);
    RunValues values;
    ScriptedUi ui;
    EXPECT_TRUE(RegReader(registry_, ui, c.programDir, values));
    EXPECT_EQ(values.PgmDir, c.pgmDir);
    EXPECT_EQ(values.PgmDirTessel, c.tessel);
  }
  // Without the suite's keys nothing is created.
  EXPECT_FALSE(std::filesystem::exists(dir_ / "registry.reg"));
}

TEST_F(RegReaderTest, ProgramFolderWithoutDriveStopsBeforeTheRegistry) {
  Given(kHostSection + "\"HD\"=\"C:\\\\OLD\"\n");
  const std::string before = FileText();
  ui_.ExpectShow(
      MessageKind::Error,
      "Error in converting the pgmdir.\r\r\\Software\\Verrin\\Marrowfield\\Host" + kContact);
  EXPECT_FALSE(Run("\\\\SERVER\\APPS"));
  EXPECT_EQ(FileText(), before);
}

TEST_F(RegReaderTest, HostKeyGivesWsidAndFollowsTheProgramFolder) {
  struct Case {
    std::string lines;
    const char* wsid;  // WSID after a command line that gave "AB"
    const char* hd;
  };
  const Case cases[] = {
      {"\"WSID\"=\"0123\"\n\"HD\"=\"C:\\\\APPS \"\n", "01", "C:\\APPS "},
      {"\"WSID\"=\"7\"\n\"HD\"=\"C:\\\\OLD\"\n", "7", "C:\\APPS"},
      {"\"WSID\"=\"  \"\n", "AB", "C:\\APPS"},
      {"", "AB", "C:\\APPS"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines);
    Given(SettledHostSection("") + c.lines);
    RunValues values;
    values.WSID = "AB";
    ScriptedUi ui;
    EXPECT_TRUE(RegReader(registry_, ui, "C:\\APPS", values));
    EXPECT_EQ(values.WSID, c.wsid);
    EXPECT_EQ(Value(kHostKey, "HD"), c.hd);
  }
}

TEST_F(RegReaderTest, MissingOrBlankSuiteSettingsGetTheirDefaults) {
  struct Case {
    const char* name;
    const char* stored;  // nullptr: value missing
    const char* after;
  };
  const Case cases[] = {
      // Only the first character counts for these four.
      {"DisplayDateTime", " N", "Y"},
      {"DisplayDataDir", "N ", "N "},
      {"DisplaySpeedButtons", "", "Y"},
      {"AutoExit", nullptr, "Y"},
      // The whole text, trimmed, for the others.
      {"AutoSelect", " N ", " N "},
      {"BackupDrv", "  ", "A"},
      {"CapAltID", nullptr, "Y"},
      {"ClientEntryMode", nullptr, "C"},
      {"DowWarn", " ", "67"},
      {"EmpByName", nullptr, "N"},
      {"EntryMode", nullptr, "1"},
      {"FutureDays", nullptr, "0"},
      {"GroupByDesc", nullptr, "N"},
      {"GroupsReq", "", "NNN"},
      {"NarrByDesc", nullptr, "N"},
      {"PastDays", "5", "5"},
      {"RndLimit", nullptr, "4"},
      {"EnterSaves", nullptr, "N"},
      {"SkipRateAmt", nullptr, "N"},
  };
  std::string lines;
  for (const Case& c : cases) {
    if (c.stored) lines += std::string("\"") + c.name + "\"=\"" + c.stored + "\"\n";
  }
  Given(kHostSection + "\"HD\"=\"C:\\\\APPS\"\n" + lines);
  EXPECT_TRUE(Run());
  for (const Case& c : cases) EXPECT_EQ(Value(kHostKey, c.name), c.after) << c.name;
}

TEST_F(RegReaderTest, DataDirectoryAndDescription) {
  struct Case {
    const char* h0;
    const char* dataPath;
  };
  const Case cases[] = {
      {"C:\\\\MFW\\\\DATA", "C:\\MFW\\DATA"},
      {"C:\\\\MFW\\\\DATA\\\\", "C:\\MFW\\DATA"},
      {" C:\\\\MFW\\\\DATA ", "C:\\MFW\\DATA"},
      {"C:\\\\", "C:"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.h0);
    Given(SettledHostSection() + kDataSection + "\"H_0\"=\"" + c.h0 +
          "\"\n\"D_0\"=\"Main office\"\n\"H_1\"=\"D:\"\n");
    RunValues values;
    ScriptedUi ui;
    EXPECT_TRUE(RegReader(registry_, ui, "C:\\APPS", values));
    EXPECT_EQ(values.DataPath, c.dataPath);
    EXPECT_EQ(values.DataSetDescription, "Main office");
  }
}

TEST_F(RegReaderTest, AliasFollowsTheDataDirectory) {
  struct Case {
    const char* name;
    std::string data;   // lines under H_Data
    std::string alias;  // lines under the alias key
    std::optional<std::string> physicalName;
    std::optional<std::string> description;
  };
  const std::string mainData = "\"H_0\"=\"C:\\\\DATA\"\n\"D_0\"=\"Main\"\n";
  const Case cases[] = {
      {"equal apart from blanks", mainData,
       "\"PhysicalName\"=\" C:\\\\DATA \"\n\"Description\"=\" Main\"\n", " C:\\DATA ", " Main"},
      {"different", mainData, "\"PhysicalName\"=\"C:\\\\OLD\"\n\"Description\"=\"Old\"\n",
       "C:\\DATA", "Main"},
      {"empty alias key", mainData, "", "C:\\DATA", "Main"},
      {"H_0 written as stored", "\"H_0\"=\" C:\\\\DATA\"\n",
       "\"PhysicalName\"=\"C:\\\\OLD\"\n\"Description\"=\"Old\"\n", " C:\\DATA", ""},
      // No data directory: nothing to point the alias at, so it stays.
      {"no H_0", "\"D_0\"=\"Main\"\n", "\"PhysicalName\"=\"C:\\\\OLD\"\n\"Description\"=\"Old\"\n",
       "C:\\OLD", "Old"},
      {"blank H_0", "\"H_0\"=\" \"\n", "\"PhysicalName\"=\"C:\\\\OLD\"\n", "C:\\OLD", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Given(SettledHostSection() + kDataSection + c.data + kAliasSection + c.alias);
    ScriptedUi ui;
    RunValues values;
    EXPECT_TRUE(RegReader(registry_, ui, "C:\\APPS", values));
    EXPECT_EQ(Value(kAliasKey, "PhysicalName"), c.physicalName);
    EXPECT_EQ(Value(kAliasKey, "Description"), c.description);
  }
}

TEST_F(RegReaderTest, HostKeyWithoutAliasCreatesNoAlias) {
  Given(SettledHostSection() + kDataSection + "\"H_0\"=\"C:\\\\DATA\"\n");
  EXPECT_TRUE(Run());
  EXPECT_FALSE(registry_.KeyExists(Hive::LocalMachine, kAliasKey));
  EXPECT_EQ(values_.DataPath, "C:\\DATA");
}

// A value that is not text fails its step with the step's message; the other steps still run,
// a step never writes what it could not read, and the outcome stays a failure even when the
// alias is corrected afterwards.
TEST_F(RegReaderTest, ValueThatIsNotTextFailsItsStepOnly) {
  const std::string host = SettledHostSection("\"HD\"=\"C:\\\\OLD\"\n", "DowWarn");
  const std::string data = kDataSection + "\"H_0\"=\"C:\\\\DATA\"\n\"D_0\"=\"Main\"\n";
  const std::string alias = kAliasSection + "\"PhysicalName\"=\"C:\\\\OLD\"\n";
  const std::string hostOnly = "\\Software\\Verrin\\Marrowfield\\Host";

  {
    SCOPED_TRACE("WSID");
    Given(host + "\"WSID\"=dword:00000001\n" + data + alias);
    ExpectStepError("Error in reading the registry.", hostOnly, RegistryErrorOf([&] {
                      registry_.ReadString(Hive::LocalMachine, kHostKey, "WSID");
                    }));
    RunValues values;
    EXPECT_FALSE(RegReader(registry_, ui_, "C:\\APPS", values));
    EXPECT_EQ(values.DataPath, "C:\\DATA");
    EXPECT_EQ(Value(kAliasKey, "PhysicalName"), "C:\\DATA");
    EXPECT_EQ(Value(kHostKey, "HD"), "C:\\OLD");
    EXPECT_EQ(Value(kHostKey, "DowWarn"), "");
  }
  {
    SCOPED_TRACE("H_0");
    Given(host + kDataSection + "\"H_0\"=dword:00000001\n" + alias);
    ExpectStepError(
        "Error in reading the registry.", "\\software\\Verrin\\MARROWFIELD\\Host\\H_Data",
        RegistryErrorOf([&] { registry_.ReadString(Hive::LocalMachine, kDataPathKey, "H_0"); }));
    RunValues values;
    EXPECT_FALSE(RegReader(registry_, ui_, "C:\\APPS", values));
    EXPECT_EQ(values.DataPath, "");
    EXPECT_EQ(Value(kAliasKey, "PhysicalName"), "C:\\OLD");
    EXPECT_EQ(Value(kHostKey, "HD"), "C:\\APPS");
    EXPECT_EQ(Value(kHostKey, "DowWarn"), "67");
  }
  {
    SCOPED_TRACE("PhysicalName");
    Given(host + data + kAliasSection + "\"PhysicalName\"=dword:00000001\n");
    ExpectStepError("Error in reading or writing the registry.",
                    "\\Software\\Titan\\Btrieve\\Aliases\\MFWIN", RegistryErrorOf([&] {
                      registry_.ReadString(Hive::LocalMachine, kAliasKey, "PhysicalName");
                    }));
    RunValues values;
    EXPECT_FALSE(RegReader(registry_, ui_, "C:\\APPS", values));
    EXPECT_EQ(Value(kHostKey, "HD"), "C:\\APPS");
    EXPECT_EQ(Value(kHostKey, "DowWarn"), "67");
  }
}

// A correction the registry refuses is reported by its step and RegReader fails; it never
// counts as made.
TEST_F(RegReaderTest, RefusedWriteIsAFailure) {
  const std::string data = kDataSection + "\"H_0\"=\"C:\\\\DATA\"\n\"D_0\"=\"Main\"\n";
  const std::string aliasOk =
      kAliasSection + "\"PhysicalName\"=\"C:\\\\DATA\"\n\"Description\"=\"Main\"\n";
  const std::string aliasOld =
      kAliasSection + "\"PhysicalName\"=\"C:\\\\OLD\"\n\"Description\"=\"Main\"\n";
  struct Case {
    const char* name;
    std::string body;
    bool aliasFails;
  };
  const Case cases[] = {
      {"HD", SettledHostSection("\"HD\"=\"C:\\\\OLD\"\n") + data + aliasOk, false},
      {"alias and HD", SettledHostSection("\"HD\"=\"C:\\\\OLD\"\n") + data + aliasOld, true},
  };
  // The registry takes its lock file beside the registry file; a folder in its place makes
  // every write fail while reading still works.
  std::filesystem::create_directory(dir_ / "registry.reg.lock");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Given(c.body);
    const std::string before = FileText();
    const std::string detail = RegistryErrorOf(
        [&] { registry_.WriteString(Hive::LocalMachine, kHostKey, "HD", "C:\\APPS"); });
    ASSERT_FALSE(detail.empty());
    if (c.aliasFails) {
      ExpectStepError("Error in reading or writing the registry.",
                      "\\Software\\Titan\\Btrieve\\Aliases\\MFWIN", detail);
    }
    ExpectStepError("Error in writing to the registry.", "\\Software\\Verrin\\Marrowfield\\Host",
                    detail);
    EXPECT_FALSE(Run());
    EXPECT_EQ(FileText(), before);
  }
}

TEST_F(RegReaderTest, DamagedFileIsReportedOnceAndLeftAlone) {
  const std::string brokenLines[] = {
      "[HKEY_LOCAL_MACHINE\\Software\\Verrin\\Marrowfield\\Host\n\"HD\"=\"C:\\\\OLD\"\n",
      "\"HD\"=\"C:\\\\OLD\"\n",
      kHostSection + "\"HD\"=\"C:\\\\OLD\n",
  };
  for (const std::string& broken : brokenLines) {
    SCOPED_TRACE(broken);
    Given(broken + kDataSection + "\"H_0\"=\"C:\\\\DATA\"\n");
    const std::string before = FileText();
    const std::string detail =
        RegistryErrorOf([&] { registry_.KeyExists(Hive::LocalMachine, kHostKey); });
    EXPECT_THAT(detail, ::testing::HasSubstr(registry_.FilePath()));
    ui_.ExpectShow(MessageKind::Error,
                   "Error in reading or writing to the registry.\r\r" + detail + kContact);
    EXPECT_FALSE(Run());
    EXPECT_EQ(FileText(), before);
  }
}

}  // namespace
}  // namespace upfold
