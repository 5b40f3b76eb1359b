#include "platform/Process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/Registry.h"
#include "support/StubRecord.h"
#include "support/TempDir.h"

namespace upfold {
namespace {

using Args = std::vector<std::string>;

// What the stub recorded: its arguments and the other items, in order.
using Record = test::StubRecord;
using test::StubProgram;

// A registry of the test's own in which drive C: is the temporary folder.
Registry DriveCAt(const test::TempDir& dir) {
  Registry registry(dir / "registry.reg");
  registry.WriteString(Hive::LocalMachine,
                       R"(\System\CurrentControlSet\Control\Session Manager\DOS Devices)",
                       "C:", dir.Path());
  return registry;
}

class ProcessTest : public ::testing::Test {
 protected:
  ProcessTest() { launcher_.SetEnvironment("UPFOLD_STUB_RECORD", dir_ / "record"); }

  // Puts the stub program at the relative host path.
  void Install(const std::string& relative) {
    std::filesystem::path target = dir_ / relative;
    std::filesystem::create_directories(target.parent_path());
    std::filesystem::copy_file(StubProgram(), target);
  }

  // Starts the line, waits for its end and returns what the stub recorded.
  Record Run(const std::string& line, WindowShow show = WindowShow::Normal) {
    StartResult started = launcher_.Start(line, show);
    EXPECT_TRUE(started) << line << ": " << started.error;
    if (!started) return {};
    WaitResult result = WaitForExit(*started.process, clock_, [] { return true; });
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 0);
    return test::ReadStubRecord(dir_ / "record");
  }

  test::TempDir dir_;
  Registry registry_ = DriveCAt(dir_);
  DosFs fs_{&registry_};
  FakeClock clock_;
  SystemProcessLauncher launcher_{fs_};
};

// The started program gets the arguments a Windows program would have seen.
TEST_F(ProcessTest, ProgramReceivesExactlyTheArguments) {
  Install("MFW/Brask.exe");
  struct Case {
    std::string line;
    Args args;
  } cases[] = {
      {R"(C:\MFW\Brask.exe "IMPORT256Office Printer                              C66 " 461211)",
       {"IMPORT256Office Printer                              C66 ", "461211"}},
      {R"(C:\MFW\Brask.exe)", {}},
      {R"(C:\MFW\Brask.exe  a\\b  "c d\\"  e\"f  "g""h" "")",
       {R"(a\\b)", R"(c d\)", R"(e"f)", R"(g"h)", ""}},
      {"C:\\MFW\\Brask.exe \x84\xe9t\xe9 \"\xff\"", {"\x84\xe9t\xe9", "\xff"}},
  };
  for (const Case& c : cases) {
    Record r = Run(c.line);
    EXPECT_EQ(r.args, c.args) << c.line;
    EXPECT_EQ(r.line, c.line);
  }
}

TEST_F(ProcessTest, ProgramGetsTheWindowHintTheFolderAndNoInheritedDescriptors) {
  Install("MFW/Brask.exe");
  std::filesystem::create_directories(dir_ / "WORK");
  ASSERT_TRUE(fs_.SetCurrentDirectory(R"(C:\work)"));
  int leaked = ::open("/dev/null", O_RDONLY);  // inheritable on purpose
  ASSERT_GE(leaked, 0);

  Record minimized = Run(R"(C:\MFW\Brask.exe x)", WindowShow::Minimized);
  Record normal = Run(R"(C:\MFW\Brask.exe x)", WindowShow::Normal);
  ::close(leaked);

  EXPECT_EQ(minimized.show, "minimized");
  EXPECT_EQ(normal.show, "normal");
  EXPECT_EQ(std::filesystem::canonical(minimized.cwd), std::filesystem::canonical(dir_ / "WORK"));
  EXPECT_EQ(minimized.fds, std::vector<std::string>{});
}

TEST_F(ProcessTest, ReportsTheExitCode) {
  Install("MFW/Brask.exe");
  struct Case {
    const char* variable;
    const char* value;
    int exitCode;
  } cases[] = {{"UPFOLD_STUB_EXIT", "0", 0},
               {"UPFOLD_STUB_EXIT", "3", 3},
               {"UPFOLD_STUB_EXIT", "255", 255},
               {"UPFOLD_STUB_SIGNAL", "9", 128 + 9}};
  for (const Case& c : cases) {
    SystemProcessLauncher launcher(fs_);
    launcher.SetEnvironment(c.variable, c.value);
    StartResult started = launcher.Start(R"(C:\MFW\Brask.exe)", WindowShow::Minimized);
    ASSERT_TRUE(started) << started.error;
    WaitResult result = WaitForExit(*started.process, clock_, [] { return true; });
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, c.exitCode) << c.variable << "=" << c.value;
  }
}

TEST_F(ProcessTest, ReportsAProgramThatCannotBeStarted) {
  Install("MFW/Brask.exe");
  std::ofstream(dir_ / "MFW/notes.txt") << "not a program";
  Install("MFW/locked.exe");
  ::chmod((dir_ / "MFW/locked.exe").c_str(), 0644);
  std::filesystem::create_directories(dir_ / "MFW/Folder.exe");

  struct Case {
    const char* line;
    const char* error;
  } cases[] = {
      {R"(C:\MFW\Missing.exe a b)", "The system cannot find the file specified."},
      {R"(C:\Nowhere\Brask.exe)", "The system cannot find the file specified."},
      {R"(Q:\MFW\Brask.exe)", "The system cannot find the file specified."},  // no such drive
      {R"(C:\MFW\Folder.exe)", "The system cannot find the file specified."},
      {"", "The system cannot find the file specified."},
      {R"(C:\MFW\locked.exe)", "Access is denied."},
      {R"(C:\MFW\notes.txt)", "Access is denied."},
  };
  for (const Case& c : cases) {
    StartResult started = launcher_.Start(c.line, WindowShow::Normal);
    EXPECT_FALSE(started) << c.line;
    EXPECT_EQ(started.error, c.error) << c.line;
  }
}

// A Windows name with ".exe" finds a Linux program without it, and the reverse; names are
// found without regard to case.
TEST_F(ProcessTest, MatchesExeAsTheFileStandsOnDisk) {
  struct Case {
    const char* onDisk;
    const char* line;
    const char* started;  // relative host path, or "" for none
  } cases[] = {
      {"a/Brask.exe", R"(C:\a\Brask.exe)", "a/Brask.exe"},
      {"b/Brask", R"(C:\b\Brask.exe)", "b/Brask"},
      {"c/pkzip25", R"(C:\c\pkzip25 -add)", "c/pkzip25"},
      {"d/pkzip25.exe", R"(C:\d\pkzip25 -add)", "d/pkzip25.exe"},
      {"e/tool.bin", R"(C:\e\tool)", ""},
      {"f/Brask.exe.exe", R"(C:\f\Brask.exe)", ""},
      {"h/brask", R"(c:\H\BRASK.EXE)", "h/brask"},
      {"i/PKZIP25.EXE", R"(C:\i\pkzip25)", "i/PKZIP25.EXE"},
  };
  for (const Case& c : cases) {
    Install(c.onDisk);
    auto resolved = launcher_.Resolve(c.line);
    if (*c.started == '\0') {
      EXPECT_FALSE(resolved) << c.line;
    } else {
      ASSERT_TRUE(resolved) << c.line;
      EXPECT_EQ(resolved->hostPath, dir_ / c.started) << c.line;
    }
  }
  // Both forms on disk: the name as written wins.
  Install("g/Brask");
  Install("g/Brask.exe");
  EXPECT_EQ(launcher_.Resolve(R"(C:\g\Brask.exe)")->hostPath, dir_ / "g/Brask.exe");
}

// An unquoted program folder with blanks is found, and a file at a shorter prefix of it is not
// started in its place.
TEST_F(ProcessTest, FindsAnUnquotedProgramPathWithBlanks) {
  Install("Program Files/MFW/Brask.exe");
  Install("Program");
  Install("MFW/pkzip25");

  struct Case {
    const char* line;
    const char* program;
    Args args;
  } cases[] = {
      {R"(C:\Program Files\MFW\Brask.exe "IMPORT 101" 461211)",
       "Program Files/MFW/Brask.exe",
       {"IMPORT 101", "461211"}},
      {R"(C:\Program Files\MFW\Brask.exe)", "Program Files/MFW/Brask.exe", {}},
      {R"("C:\Program Files\MFW\Brask.exe" x)", "Program Files/MFW/Brask.exe", {"x"}},
      {R"(C:\Program Other\MFW\Brask.exe x)", "Program", {R"(Other\MFW\Brask.exe)", "x"}},
      {R"(C:\MFW\pkzip25  -add  -span  C:\T\Remmast.zip  @C:\DATA\Remlist.01)",
       "MFW/pkzip25",
       {"-add", "-span", R"(C:\T\Remmast.zip)", R"(@C:\DATA\Remlist.01)"}},
  };
  for (const Case& c : cases) {
    auto resolved = launcher_.Resolve(c.line);
    ASSERT_TRUE(resolved) << c.line;
    EXPECT_EQ(resolved->hostPath, dir_ / c.program) << c.line;
    EXPECT_EQ(resolved->arguments, c.args) << c.line;
  }
  EXPECT_EQ(Run(R"(C:\Program Files\MFW\Brask.exe "IMPORT 101" 461211)").args,
            (Args{"IMPORT 101", "461211"}));
}

// The wait keeps the windows alive while the program runs, and polls through the clock.
TEST_F(ProcessTest, WaitProcessesMessagesWhileTheProgramRuns) {
  Install("MFW/Brask.exe");
  launcher_.SetEnvironment("UPFOLD_STUB_DELAY_MS", "30");
  StartResult started = launcher_.Start(R"(C:\MFW\Brask.exe)", WindowShow::Minimized);
  ASSERT_TRUE(started) << started.error;
  EXPECT_TRUE(started.process->WaitUntilReady(10'000));

  int messages = 0;
  WaitResult result = WaitForExit(
      *started.process, clock_, [&] { return ++messages, true; }, 20);
  EXPECT_TRUE(result.exited);
  EXPECT_GT(messages, 1);
  EXPECT_EQ(clock_.TotalSlept(), 20u * (messages - 1));
  EXPECT_EQ(result.elapsedMs, clock_.TotalSlept());
}

TEST(WaitForExit, PollsUntilTheEndOrUntilTheApplicationCloses) {
  FakeProcessLauncher launcher;
  launcher.pollsBeforeExit = 3;
  launcher.exitCode = 5;
  FakeClock clock;

  StartResult started = launcher.Start("C:\\MFW\\Brask.exe x", WindowShow::Minimized);
  int calls = 0;
  WaitResult ended = WaitForExit(
      *started.process, clock, [&] { return ++calls, true; }, 10);
  EXPECT_TRUE(ended.exited);
  EXPECT_EQ(ended.exitCode, 5);
  EXPECT_EQ(calls, 4);  // one before each poll
  EXPECT_EQ(ended.elapsedMs, 30u);

  // Closing the application ends the wait, not the program.
  StartResult second = launcher.Start("C:\\MFW\\Brask.exe y", WindowShow::Normal);
  calls = 0;
  WaitResult left = WaitForExit(
      *second.process, clock, [&] { return ++calls < 2; }, 10);
  EXPECT_FALSE(left.exited);
  EXPECT_EQ(calls, 2);
  EXPECT_FALSE(second.process->ExitCode());
  ASSERT_EQ(launcher.calls.size(), 2u);
  EXPECT_EQ(launcher.calls[1].commandLine, "C:\\MFW\\Brask.exe y");
}

// A program that has ended is reported as ended even when the application closes meanwhile.
TEST_F(ProcessTest, AbandonedWaitLeavesTheProgramRunning) {
  Install("MFW/Brask.exe");
  launcher_.SetEnvironment("UPFOLD_STUB_DELAY_MS", "100");
  StartResult started = launcher_.Start(R"(C:\MFW\Brask.exe)", WindowShow::Minimized);
  ASSERT_TRUE(started) << started.error;
  WaitResult left = WaitForExit(*started.process, clock_, [] { return false; });
  EXPECT_FALSE(left.exited);
  WaitResult later = WaitForExit(*started.process, clock_, [] { return true; });
  EXPECT_TRUE(later.exited);
  EXPECT_EQ(test::ReadStubRecord(dir_ / "record").show, "minimized");
}

}  // namespace
}  // namespace upfold
