#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>

#include "app/HostRegistry.h"
#include "platform/Registry.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

namespace upfold {
namespace {

using test::ScriptedUi;
using test::TempDir;

const std::string kContact = kContactLine;
const std::string kHeader = "Windows Registry Editor Version 5.00\n\n";
const std::string kHostSection = "[HKEY_LOCAL_MACHINE\\Software\\Verrin\\Marrowfield\\Host]\n";
const std::string kDataSection =
    "[HKEY_LOCAL_MACHINE\\Software\\Verrin\\Marrowfield\\Host\\H_Data]\n";

class HostRegistryTest : public ::testing::Test {
 protected:
  void Given(const std::string& body) { dir_.Write("registry.reg", kHeader + body); }
  std::string FileText() const { return dir_.Read("registry.reg"); }

  TempDir dir_;
  Registry registry_{dir_ / "registry.reg"};
  ScriptedUi ui_;
};

TEST_F(HostRegistryTest, ReadsAndWritesHostValues) {
  Given(kHostSection + "\"DefaultRemotePath\"=\"C:\\\\REMOTE\"\n");
  EXPECT_EQ(ReadHostValue(registry_, ui_, "defaultremotepath"), "C:\\REMOTE");
  EXPECT_EQ(ReadHostValue(registry_, ui_, "UpfoldDate"), "");  // missing value: no message

  EXPECT_TRUE(WriteHostValue(registry_, ui_, "UpfoldDate", "250305"));
  EXPECT_EQ(ReadHostValue(registry_, ui_, "UpfoldDate"), "250305");
  EXPECT_TRUE(WriteHostValue(registry_, ui_, "UpfoldDate", ""));
  EXPECT_EQ(registry_.ReadString(Hive::LocalMachine, kHostKey, "UpfoldDate"), "");
}

TEST_F(HostRegistryTest, ReadsDataPathValuesAndNames) {
  Given(kDataSection + "\"H_0\"=\"C:\\\\DATA\"\n\"D_0\"=\"Main\"\n\"H_1\"=\"D:\\\\OLD\"\n" +
        "\"D_1\"=\"Old office\"\n");
  EXPECT_EQ(ReadDataPathValue(registry_, ui_, "H_1"), "D:\\OLD");
  EXPECT_EQ(ReadDataPathValue(registry_, ui_, "D_2"), "");
  EXPECT_EQ(ListDataPathValueNames(registry_, ui_),
            (std::vector<std::string>{"H_0", "D_0", "H_1", "D_1"}));
}

// Each routine reports its own failure and gives its failure result.
struct FailureCase {
  const char* routine;
  std::function<bool(Registry&, Ui&)> call;  // true when the failure result came back
  std::string message;                       // without detail and contact line
};

std::vector<FailureCase> FailureCases() {
  return {
      {"ReadHostValue", [](Registry& r, Ui& ui) { return ReadHostValue(r, ui, "WSID").empty(); },
       "Unable to read the 'WSID' value from the registry at this time."},
      {"ReadDataPathValue",
       [](Registry& r, Ui& ui) { return ReadDataPathValue(r, ui, "H_0").empty(); },
       "Unable to read the 'H_0' value from the registry at this time."},
      {"WriteHostValue", [](Registry& r, Ui& ui) { return !WriteHostValue(r, ui, "WSID", "01"); },
       "Unable to reset the 'WSID' value at this time."},
      {"ListDataPathValueNames",
       [](Registry& r, Ui& ui) { return !ListDataPathValueNames(r, ui).has_value(); },
       "Unable to open registry key  \\Software\\Verrin\\Marrowfield\\Host\\H_Data   at this "
       "time."},
  };
}

TEST_F(HostRegistryTest, MissingKeyIsReportedAndNotCreated) {
  for (const bool fileExists : {false, true}) {
    if (fileExists) Given("[HKEY_LOCAL_MACHINE\\Software\\Verrin]\n");
    for (const FailureCase& c : FailureCases()) {
      SCOPED_TRACE(c.routine);
      ScriptedUi ui;
      ui.ExpectShow(MessageKind::Information, c.message + kContact);
      EXPECT_TRUE(c.call(registry_, ui));
    }
    EXPECT_FALSE(registry_.KeyExists(Hive::LocalMachine, kHostKey));
  }
}

TEST_F(HostRegistryTest, ValueThatIsNotTextIsReportedWithTheReason) {
  Given(kHostSection + "\"WSID\"=dword:00000001\n" + kDataSection + "\"H_0\"=dword:00000002\n");
  struct Case {
    const char* key;
    const char* name;
    std::function<std::string(Ui&)> read;
  };
  const Case cases[] = {
      {kHostKey, "WSID", [&](Ui& ui) { return ReadHostValue(registry_, ui, "WSID"); }},
      {kDataPathKey, "H_0", [&](Ui& ui) { return ReadDataPathValue(registry_, ui, "H_0"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string detail;
    try {
      registry_.ReadString(Hive::LocalMachine, c.key, c.name);
      ADD_FAILURE() << "value read as text";
    } catch (const RegistryError& error) {
      detail = error.what();
    }
    ScriptedUi ui;
    ui.ExpectShow(MessageKind::Information, std::string("Unable to read the '") + c.name +
                                                "' value from the registry at this time.\r\r" +
                                                detail + kContact);
    EXPECT_EQ(c.read(ui), "");
  }
}

TEST_F(HostRegistryTest, RefusedWriteIsReportedAndFails) {
  Given(kHostSection + "\"UpfoldDate\"=\"250305\"\n");
  // A folder in place of the registry's lock file makes every write fail.
  std::filesystem::create_directory(dir_ / "registry.reg.lock");
  std::string detail;
  try {
    registry_.WriteString(Hive::LocalMachine, kHostKey, "UpfoldDate", "250306");
    ADD_FAILURE() << "write not refused";
  } catch (const RegistryError& error) {
    detail = error.what();
  }
  ui_.ExpectShow(MessageKind::Information,
                 "Unable to reset the 'UpfoldDate' value at this time.\r\r" + detail + kContact);
  EXPECT_FALSE(WriteHostValue(registry_, ui_, "UpfoldDate", "250306"));
  EXPECT_EQ(ReadHostValue(registry_, ui_, "UpfoldDate"), "250305");
}

TEST_F(HostRegistryTest, DamagedFileIsReportedWithFileAndLineAndNeverWritten) {
  Given(kHostSection + "\"WSID\"=\"01\"\nthis line is not registry text\n" + kDataSection +
        "\"H_0\"=\"C:\\\\DATA\"\n");
  const std::string before = FileText();
  std::string detail;
  try {
    registry_.KeyExists(Hive::LocalMachine, kHostKey);
    ADD_FAILURE() << "damaged file read";
  } catch (const RegistryError& error) {
    detail = error.what();
  }
  EXPECT_NE(detail.find(registry_.FilePath()), std::string::npos) << detail;
  for (const FailureCase& c : FailureCases()) {
    SCOPED_TRACE(c.routine);
    ScriptedUi ui;
    ui.ExpectShow(MessageKind::Information,
                  "Unable to open the registry at this time.\r\r" + detail + kContact);
    EXPECT_TRUE(c.call(registry_, ui));
  }
  EXPECT_EQ(FileText(), before);
}

}  // namespace
}  // namespace upfold
