#include "platform/Registry.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/TextEncoding.h"
#include "support/TempDir.h"

namespace upfold {
namespace {

using test::TempDir;

const std::string kHost = "\\Software\\Verrin\\Marrowfield\\Host";

class RegistryTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::string path = dir / "config/registry.reg";
  Registry reg{path};
};

TEST_F(RegistryTest, MissingFileReadsAsEmptyAndIsCreatedWithItsFolderOnFirstWrite) {
  EXPECT_FALSE(reg.KeyExists(Hive::LocalMachine, kHost));
  EXPECT_EQ(reg.ReadString(Hive::LocalMachine, kHost, "WSID"), std::nullopt);
  EXPECT_TRUE(reg.ValueNames(Hive::LocalMachine, kHost).empty());
  EXPECT_FALSE(std::filesystem::exists(path));

  reg.WriteString(Hive::LocalMachine, kHost, "WSID", "01");
  EXPECT_EQ(dir.Read("config/registry.reg"),
            "Windows Registry Editor Version 5.00\n\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Verrin\\Marrowfield\\Host]\n"
            "\"WSID\"=\"01\"\n\n");
}

TEST_F(RegistryTest, TextValuesRoundTrip) {
  struct Case {
    std::string name, value;
  } cases[] = {
      {"Path", "C:\\MFW\\DATA\\"},
      {"Quoted", "say \"hi\" \\\" done"},
      {"Empty", ""},
      {"", "the default value"},
      {"Caf\xE9", "Stra\xDF" "e \x80 5"},  // Windows-1252 text in names and values
      {"Lines", "first\rsecond\r\nthird"},  // cannot stand in a quoted string
      {"Blanks", "  padded  "},
  };
  for (const Case& c : cases) reg.WriteString(Hive::LocalMachine, kHost, c.name, c.value);
  Registry other(path);
  for (const Case& c : cases)
    EXPECT_EQ(other.ReadString(Hive::LocalMachine, kHost, c.name), c.value) << c.name;

  std::string file = dir.Read("config/registry.reg");
  EXPECT_NE(file.find("\"Path\"=\"C:\\\\MFW\\\\DATA\\\\\"\n"), std::string::npos) << file;
  EXPECT_NE(file.find("@=\"the default value\"\n"), std::string::npos) << file;
  EXPECT_NE(file.find("\"Caf\xC3\xA9\"=\"Stra\xC3\x9F" "e \xE2\x82\xAC 5\"\n"), std::string::npos)
      << "the file is UTF-8";
  EXPECT_NE(file.find("\"Lines\"=hex(1):"), std::string::npos) << file;

  // A name with a line break cannot be written without damaging the file.
  EXPECT_THROW(reg.WriteString(Hive::LocalMachine, kHost, "two\nlines", "x"), RegistryError);
  EXPECT_THROW(reg.CreateKey(Hive::LocalMachine, kHost + "\two\rlines"), RegistryError);
  EXPECT_EQ(dir.Read("config/registry.reg"), file);
}

TEST_F(RegistryTest, KeyAndValueNamesIgnoreCase) {
  reg.WriteString(Hive::LocalMachine, kHost, "DefaultRemotePath", "C:\\REMOTE");
  reg.WriteString(Hive::LocalMachine, "software\\VERRIN\\marrowfield\\HOST", "defaultremotepath",
                  "D:\\OTHER");
  EXPECT_EQ(reg.ReadString(Hive::LocalMachine, "\\SOFTWARE\\verrin\\Marrowfield\\Host",
                           "DEFAULTREMOTEPATH"),
            "D:\\OTHER");
  // One value, keeping the spelling it was created with.
  EXPECT_EQ(reg.ValueNames(Hive::LocalMachine, kHost),
            std::vector<std::string>{"DefaultRemotePath"});
  EXPECT_TRUE(reg.ValueExists(Hive::LocalMachine, kHost, "defaultREMOTEpath"));
  EXPECT_TRUE(reg.DeleteValue(Hive::LocalMachine, kHost, "DEFAULTREMOTEPATH"));
  EXPECT_FALSE(reg.DeleteValue(Hive::LocalMachine, kHost, "DefaultRemotePath"));
  EXPECT_FALSE(reg.ValueExists(Hive::LocalMachine, kHost, "DefaultRemotePath"));
}

TEST_F(RegistryTest, HivesAreSeparate) {
  reg.WriteString(Hive::CurrentUser, "Control Panel\\International", "sDate", ".");
  EXPECT_EQ(reg.ReadString(Hive::CurrentUser, "Control Panel\\International", "sDate"), ".");
  EXPECT_FALSE(reg.KeyExists(Hive::LocalMachine, "Control Panel\\International"));
  EXPECT_FALSE(reg.KeyExists(Hive::ClassesRoot, "Control Panel"));
}

TEST_F(RegistryTest, KeysAreCreatedListedAndDeletedWithTheirSubkeys) {
  reg.CreateKey(Hive::LocalMachine, kHost + "\\H_Data");
  reg.WriteString(Hive::LocalMachine, kHost + "\\H_Data", "H_0", "C:\\MFW\\DATA");
  reg.CreateKey(Hive::LocalMachine, "\\Software\\Verrin\\Other");
  reg.CreateKey(Hive::LocalMachine, "\\Software\\Titan\\Btrieve\\Aliases\\MFWIN");

  EXPECT_TRUE(reg.KeyExists(Hive::LocalMachine, "\\Software\\Verrin"));  // parents too
  EXPECT_TRUE(reg.KeyExists(Hive::LocalMachine, kHost));
  EXPECT_EQ(reg.SubKeyNames(Hive::LocalMachine, "Software"),
            (std::vector<std::string>{"Verrin", "Titan"}));
  EXPECT_EQ(reg.SubKeyNames(Hive::LocalMachine, "\\software\\verrin"),
            (std::vector<std::string>{"Marrowfield", "Other"}));
  EXPECT_TRUE(reg.SubKeyNames(Hive::LocalMachine, "\\Software\\Nobody").empty());

  EXPECT_TRUE(reg.DeleteKey(Hive::LocalMachine, "\\SOFTWARE\\VERRIN\\MARROWFIELD"));
  EXPECT_FALSE(reg.KeyExists(Hive::LocalMachine, kHost + "\\H_Data"));
  EXPECT_FALSE(reg.KeyExists(Hive::LocalMachine, kHost));
  EXPECT_TRUE(reg.KeyExists(Hive::LocalMachine, "\\Software\\Verrin\\Other"));
  EXPECT_FALSE(reg.DeleteKey(Hive::LocalMachine, kHost));
  EXPECT_THROW(reg.DeleteKey(Hive::LocalMachine, "\\"), RegistryError);
}

// A file as another program of the suite (or regedit) leaves it: values of other types,
// comments, a key known only through its subkey, hex data over several lines.
const std::string kMixedFile =
    "Windows Registry Editor Version 5.00\n"
    "\n"
    "; kept by the installer\n"
    "\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Verrin\\Marrowfield\\Host]\n"
    "\"WSID\"=\"01\"\n"
    "\"Count\"=dword:0000001f\n"
    "\"Blob\"=hex:01,ff,00\n"
    "; a note about the list\n"
    "\"List\"=hex(7):41,00,00,00,42,00,00,00,\\\n"
    "  00,00\n"
    "\"Expand\"=hex(2):25,00,41,00,25,00,00,00\n"
    "\n"
    "[HKLM\\Software\\Titan\\Btrieve\\Aliases\\MFWIN]\n"
    "\"PhysicalName\"=\"C:\\\\MFW\\\\DATA\"\n";

TEST_F(RegistryTest, ValuesOfOtherTypesSurviveWritesAndAreNotText) {
  dir.Write("config/registry.reg", kMixedFile);
  reg.WriteString(Hive::LocalMachine, kHost, "WSID", "02");
  reg.WriteString(Hive::LocalMachine, "\\Software\\Titan\\Btrieve\\Aliases\\MFWIN", "Description",
                  "Data");

  std::string file = dir.Read("config/registry.reg");
  for (const char* kept : {"; kept by the installer\n", "\"Count\"=dword:0000001f\n",
                           "\"Blob\"=hex:01,ff,00\n", "; a note about the list\n",
                           "\"List\"=hex(7):41,00,00,00,42,00,00,00,\\\n  00,00\n",
                           "\"Expand\"=hex(2):25,00,41,00,25,00,00,00\n"})
    EXPECT_NE(file.find(kept), std::string::npos) << "lost: " << kept << "\nin:\n" << file;

  EXPECT_EQ(reg.ReadString(Hive::LocalMachine, kHost, "WSID"), "02");
  EXPECT_EQ(reg.ReadString(Hive::LocalMachine, "Software\\Titan\\Btrieve\\Aliases\\MFWIN",
                           "PhysicalName"),
            "C:\\MFW\\DATA");
  EXPECT_EQ(reg.ReadString(Hive::LocalMachine, kHost, "Expand"), "%A%");  // unexpanded text
  EXPECT_EQ(reg.ValueNames(Hive::LocalMachine, kHost),
            (std::vector<std::string>{"WSID", "Count", "Blob", "List", "Expand"}));
  EXPECT_TRUE(reg.KeyExists(Hive::LocalMachine, "\\Software\\Titan\\Btrieve"));

  for (const char* name : {"Count", "Blob", "List"}) {
    try {
      reg.ReadString(Hive::LocalMachine, kHost, name);
      ADD_FAILURE() << name << " read as text";
    } catch (const RegistryError& e) {
      EXPECT_NE(std::string(e.what()).find("is not a text value"), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
    }
  }
  // Overwriting with text makes it a text value.
  reg.WriteString(Hive::LocalMachine, kHost, "Count", "31");
  EXPECT_EQ(reg.ReadString(Hive::LocalMachine, kHost, "Count"), "31");
}

TEST_F(RegistryTest, ReadsUtf16FileWithCrlfAndRewritesItAsUtf8) {
  std::string text =
      "Windows Registry Editor Version 5.00\r\n\r\n"
      "[HKEY_CURRENT_USER\\Control Panel\\International]\r\n"
      "\"sShortDate\"=\"dd.MM.yyyy\"\r\n"
      "\"sDate\"=\".\"\r\n"
      "\"s1159\"=\"vorm. \xC3\xA4\"\r\n"
      "\"iCount\"=dword:00000002\r\n";
  dir.Write("config/registry.reg", "\xFF\xFE" + Utf8ToUtf16Le(text));

  const std::string intl = "Control Panel\\International";
  EXPECT_EQ(reg.ReadString(Hive::CurrentUser, intl, "sShortDate"), "dd.MM.yyyy");
  EXPECT_EQ(reg.ReadString(Hive::CurrentUser, intl, "s1159"), "vorm. \xE4");

  reg.WriteString(Hive::CurrentUser, intl, "sTime", ":");
  std::string file = dir.Read("config/registry.reg");
  EXPECT_EQ(file.find('\r'), std::string::npos);
  EXPECT_EQ(file.rfind("Windows Registry Editor Version 5.00\n", 0), 0u) << file;
  EXPECT_NE(file.find("\"s1159\"=\"vorm. \xC3\xA4\"\n"), std::string::npos) << file;
  EXPECT_NE(file.find("\"iCount\"=dword:00000002\n"), std::string::npos) << file;
  EXPECT_EQ(reg.ReadString(Hive::CurrentUser, intl, "sDate"), ".");
}

TEST_F(RegistryTest, DamagedFileIsReportedWithFileAndLineAndNeverOverwritten) {
  const std::string header = "Windows Registry Editor Version 5.00\n\n";
  struct Case {
    const char* what;
    std::string content;
    int line;
  } cases[] = {
      {"bad header", "Windows Registry Editor Version 4.00\n\n[HKEY_LOCAL_MACHINE\\A]\n", 1},
      {"not a .reg file at all", "hello\n", 1},
      {"unterminated section", header + "[HKEY_LOCAL_MACHINE\\Software\n\"A\"=\"1\"\n", 3},
      {"unknown root key", header + "[HKEY_USERS\\S-1-5]\n", 3},
      {"unterminated string", header + "[HKCU\\A]\n\"A\"=\"1\"\n\"B\"=\"no end\n", 5},
      {"unterminated name", header + "[HKCU\\A]\n\"B=\"1\n", 4},
      {"garbage line", header + "[HKCU\\A]\n\"A\"=\"1\"\nsome garbage\n", 5},
      {"value before any key", header + "\"A\"=\"1\"\n", 3},
      {"text after a string", header + "[HKCU\\A]\n\"A\"=\"1\" x\n", 4},
      {"bad dword", header + "[HKCU\\A]\n\"A\"=dword:00zz\n", 4},
      {"bad hex", header + "[HKCU\\A]\n\"A\"=hex:01,0g\n", 4},
      {"hex cut off", header + "[HKCU\\A]\n\"A\"=hex:01,\\\n", 4},
      {"no '='", header + "[HKCU\\A]\n\"A\" \"1\"\n", 4},
      {"not UTF-8", header + "[HKCU\\A]\n\"A\"=\"caf\xE9\"\n", 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    dir.Write("config/registry.reg", c.content);
    std::string expected = path + " is damaged at line " + std::to_string(c.line) + ":";
    auto expectDamage = [&](auto call) {
      try {
        call();
        ADD_FAILURE() << "no error";
      } catch (const RegistryError& e) {
        EXPECT_NE(std::string(e.what()).find(expected), std::string::npos) << e.what();
      }
    };
    expectDamage([&] { reg.ReadString(Hive::CurrentUser, "A", "A"); });
    expectDamage([&] { reg.WriteString(Hive::CurrentUser, "A", "A", "2"); });
    expectDamage([&] { reg.DeleteKey(Hive::CurrentUser, "A"); });
    EXPECT_EQ(dir.Read("config/registry.reg"), c.content);
  }
}

TEST_F(RegistryTest, TwoObjectsOnOneFileSeeEachOthersWrites) {
  Registry other(path);
  reg.WriteString(Hive::LocalMachine, kHost, "WSID", "01");
  EXPECT_EQ(other.ReadString(Hive::LocalMachine, kHost, "WSID"), "01");
  other.WriteString(Hive::LocalMachine, kHost, "WSID", "02");
  other.WriteString(Hive::LocalMachine, kHost, "HD", "C:\\APPS");
  EXPECT_EQ(reg.ReadString(Hive::LocalMachine, kHost, "WSID"), "02");
  EXPECT_EQ(reg.ReadString(Hive::LocalMachine, kHost, "HD"), "C:\\APPS");
  other.DeleteKey(Hive::LocalMachine, kHost);
  EXPECT_FALSE(reg.KeyExists(Hive::LocalMachine, kHost));
}

TEST_F(RegistryTest, WritersInSeveralProcessesLoseNoChange) {
  constexpr int kProcesses = 3, kWrites = 10;
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      int status = 0;
      try {
        Registry mine(path);
        for (int i = 0; i < kWrites; ++i)
          mine.WriteString(Hive::LocalMachine, kHost, "V" + std::to_string(p) + "_" + std::to_string(i),
                           std::to_string(i));
      } catch (...) {
        status = 1;
      }
      ::_exit(status);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  EXPECT_EQ(reg.ValueNames(Hive::LocalMachine, kHost).size(),
            static_cast<std::size_t>(kProcesses * kWrites));
}

TEST(RegistryDefaultPath, FollowsTheEnvironment) {
  struct Env {
    const char* name;
    std::optional<std::string> saved;
    explicit Env(const char* n) : name(n) {
      if (const char* v = std::getenv(n)) saved = v;
    }
    ~Env() {
      if (saved) ::setenv(name, saved->c_str(), 1);
      else ::unsetenv(name);
    }
  } registry("MARROWFIELD_REGISTRY"), xdg("XDG_CONFIG_HOME"), home("HOME");

  ::setenv("MARROWFIELD_REGISTRY", "/tmp/x/my.reg", 1);
  EXPECT_EQ(Registry::DefaultPath(), "/tmp/x/my.reg");
  ::unsetenv("MARROWFIELD_REGISTRY");
  ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
  EXPECT_EQ(Registry::DefaultPath(), "/cfg/marrowfield/registry.reg");
  ::unsetenv("XDG_CONFIG_HOME");
  ::setenv("HOME", "/home/clerk", 1);
  EXPECT_EQ(Registry::DefaultPath(), "/home/clerk/.config/marrowfield/registry.reg");
}

}  // namespace
}  // namespace upfold
