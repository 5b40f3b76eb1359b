#include "app/UpfoldMain.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <stdexcept>

#include "app/CommandLine.h"
#include "app/HostRegistry.h"
#include "app/LaunchCheck.h"
#include "app/MainView.h"
#include "app/Ui.h"
#include "app/WindowCreated.h"
#include "platform/Registry.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

namespace upfold {
namespace {

using Params = std::array<std::string, 6>;
using test::ScriptedUi;

constexpr Hive kMachine = Hive::LocalMachine;
const Params kGood = {"250315", "", "Marrowfield", "01", "N", ""};

class FakeView : public MainView {
 public:
  void SetConflictsEnabled(bool enabled) override { conflicts = enabled; }
  void SetDeleteBackupsEnabled(bool enabled) override { deleteBackups = enabled; }
  void SetKvxInterruptChecked(bool checked) override { kvx = checked; }
  void SetImportEnabled(bool) override {}
  bool ProcessBoxVisible() const override { return false; }
  void SetProcessBoxVisible(bool) override {}
  std::vector<std::string> ProcessListLines() const override { return {}; }
  void SetProcessListLines(const std::vector<std::string>&) override {}
  int ProcessListCurrentRow() const override { return -1; }
  void ShowProgressLine(const std::string&) override {}
  void HideProgressLine() override {}

  bool conflicts = true;  // the opposite of the window's start, to see the step set it
  bool deleteBackups = false;
  bool kvx = true;
};

Params With(int n, const std::string& value, Params params = kGood) {
  params[n - 1] = value;
  return params;
}

class UpfoldMainTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearWindowCreated(); }

  // A main window logic whose configuration reader stands in for the registry's: it gives
  // the data path and the registry's WSID, and counts its calls.
  std::unique_ptr<UpfoldMain> Make(Ui& ui, const Params& params) {
    auto main = std::make_unique<UpfoldMain>(registry, ui, params);
    main->SetView(&view);
    main->SetConfigurationReader([this](RunValues& values) {
      ++reads;
      values.DataPath = "C:\\MFW\\DATA";
      values.WSID = "ZZ";
      return configured;
    });
    return main;
  }

  std::string StoredDefaultPath() const {
    return registry.ReadString(kMachine, kHostKey, "DefaultRemotePath").value_or("<missing>");
  }

  test::TempDir dir;
  std::string registryPath = dir / "registry.reg";
  Registry registry{registryPath};
  FakeView view;
  int reads = 0;
  bool configured = true;
};

TEST_F(UpfoldMainTest, RefusedWorkingDateEndsTheProgramBeforeTheRegistryIsTouched) {
  for (const char* date : {"000101", "991301", "990132", "", "25031"}) {
    ScriptedUi ui;
    ui.hourglass = true;
    ui.ExpectShow(MessageKind::Error, kLaunchMessage);
    auto main = Make(ui, With(1, date));
    EXPECT_FALSE(main->Create()) << date;
    EXPECT_TRUE(main->TerminateRequested());
    EXPECT_FALSE(ui.hourglass);
    EXPECT_FALSE(WindowCreated());
  }
  EXPECT_EQ(reads, 0);
  EXPECT_FALSE(std::filesystem::exists(registryPath));
}

TEST_F(UpfoldMainTest, WorkingDateThatIsNoCalendarDateEndsTheProgramWithAClearMessage) {
  for (const char* date : {"250231", "0A0101", "210229"}) {
    ScriptedUi ui;
    ui.ExpectShow(MessageKind::Error, NotADateMessage(date, "M/d/yyyy"));
    auto main = Make(ui, With(1, date));
    EXPECT_FALSE(main->Create()) << date;
    EXPECT_TRUE(main->TerminateRequested());
    EXPECT_FALSE(WindowCreated());
  }
  EXPECT_EQ(reads, 0);
}

TEST_F(UpfoldMainTest, WorkingDateDoesNotDependOnTheRegionalDateSettings) {
  struct Case {
    const char* shortDate;
    const char* separator;
  };
  for (const Case& c : {Case{"M/d/yyyy", "/"}, Case{"dd.MM.yyyy", "."},
                        Case{"yyyy-MM-dd", "-"}, Case{"d/M/yy", "/"}}) {
    registry.WriteString(Hive::CurrentUser, "Control Panel\\International", "sShortDate",
                         c.shortDate);
    registry.WriteString(Hive::CurrentUser, "Control Panel\\International", "sDate",
                         c.separator);
    ScriptedUi ui;
    auto main = Make(ui, kGood);
    ASSERT_TRUE(main->Create()) << c.shortDate;
    EXPECT_EQ(main->Values().SystemDate, (CivilDate{2005, 3, 15})) << c.shortDate;
    EXPECT_EQ(main->Values().SystemFileDate, "250315") << c.shortDate;
  }
}

TEST_F(UpfoldMainTest, WsidComesFromParameterFourExceptUntilTheFirstActivation) {
  struct Case {
    const char* parameter;
    const char* wsid;
  };
  for (const Case& c : {Case{"ABCD", "AB"}, Case{"01", "01"}, Case{"A", "A"}, Case{"", ""}}) {
    ScriptedUi ui;
    auto main = Make(ui, With(4, c.parameter));
    ASSERT_TRUE(main->Create());
    EXPECT_EQ(main->Values().WSID, "ZZ") << "the registry's value while the windows are made";
    main->Activate();
    EXPECT_EQ(main->Values().WSID, c.wsid) << "parameter " << c.parameter;
  }
}

TEST_F(UpfoldMainTest, CreationKeepsTheParametersItIsGiven) {
  ScriptedUi ui;
  auto main = Make(ui, Params{"250315", "R", "Marrowfield Pro", "01", "N", ""});
  ASSERT_TRUE(main->Create());
  EXPECT_EQ(main->Values().DiagnosticSwitch, "R");
  EXPECT_EQ(main->Values().ProductName, "Marrowfield Pro");
  EXPECT_EQ(main->Values().Param(1), "250315");
  EXPECT_TRUE(WindowCreated());
}

TEST_F(UpfoldMainTest, DiagnosticSwitchGAnnouncesTheConfigurationReadFirst) {
  for (const char* diagnostic : {"G", "g", "X", ""}) {
    ScriptedUi ui;
    const bool announced = std::string(diagnostic) == "G";
    if (announced) ui.ExpectShow(MessageKind::Plain, "Before RegReader");
    auto main = Make(ui, With(2, diagnostic));
    bool shownBeforeReading = false;
    main->SetConfigurationReader([&](RunValues&) {
      shownBeforeReading = ui.Done();
      return true;
    });
    ASSERT_TRUE(main->Create());
    EXPECT_TRUE(shownBeforeReading) << diagnostic;
  }
}

TEST_F(UpfoldMainTest, FailedConfigurationIsReportedAndTheRemainingStepsStillRun) {
  registry.WriteString(kMachine, kHostKey, "DefaultRemotePath", "C:\\REMOTE\\");
  configured = false;
  ScriptedUi ui;
  ui.hourglass = true;
  ui.ExpectShow(MessageKind::Plain,
                "Unable to access Import Remote.\r\rPlease contact Verrin, Inc. for assistance.");
  auto main = Make(ui, With(5, "Y"));
  EXPECT_FALSE(main->Create());
  EXPECT_TRUE(main->TerminateRequested());
  EXPECT_FALSE(ui.hourglass);
  EXPECT_EQ(main->Values().SystemFileDate, "250315");
  EXPECT_TRUE(view.conflicts);
  EXPECT_EQ(main->Values().DefaultRemotePath, "C:\\REMOTE\\");
  EXPECT_TRUE(WindowCreated());
}

TEST_F(UpfoldMainTest, ConflictsItemIsEnabledOnlyByAnUpperCaseY) {
  for (const char* parameter : {"Y", "y", "N", "", "YES", " Y"}) {
    ScriptedUi ui;
    auto main = Make(ui, With(5, parameter));
    ASSERT_TRUE(main->Create());
    EXPECT_EQ(view.conflicts, std::string(parameter) == "Y") << "parameter '" << parameter << "'";
  }
}

TEST_F(UpfoldMainTest, KvxInterruptStartsUncheckedAndDrivesTheBridgeSwitch) {
  ScriptedUi ui;
  auto main = Make(ui, kGood);
  main->SetKvxInterrupt(true);
  ASSERT_TRUE(main->Create());
  EXPECT_FALSE(view.kvx);
  EXPECT_FALSE(main->KvxInterrupt());
  EXPECT_EQ(main->Values().BridgeDebugSwitch, "");

  main->SetKvxInterrupt(true);
  EXPECT_TRUE(view.kvx);
  EXPECT_EQ(main->Values().BridgeDebugSwitch, "-d");
  main->SetKvxInterrupt(false);
  EXPECT_FALSE(view.kvx);
  EXPECT_EQ(main->Values().BridgeDebugSwitch, "");
}

TEST_F(UpfoldMainTest, ParameterSixXStartsTheImportOnTheFirstActivationOnly) {
  struct Case {
    const char* parameter;
    int imports;
  };
  for (const Case& c : {Case{"X", 1}, Case{"x", 0}, Case{"", 0}, Case{"XX", 0}}) {
    ClearWindowCreated();
    ScriptedUi ui;
    auto main = Make(ui, With(6, c.parameter));
    int imports = 0;
    main->SetHandler(MainCommand::Process, [&] { ++imports; });
    ASSERT_TRUE(main->Create());
    main->Activate();
    // A dialog opened and closed in between, as every dialog handles the flag.
    SetWindowCreated();
    ClearWindowCreated();
    main->Activate();
    main->Activate();
    EXPECT_EQ(imports, c.imports) << "parameter '" << c.parameter << "'";
  }
}

TEST_F(UpfoldMainTest, ActivationPointsTheHostBatchTablesAtTheWorkstationsFiles) {
  ScriptedUi ui;
  auto main = Make(ui, With(4, "ABCD"));
  std::vector<std::string> pointed;
  main->hooks.pointHostBatchTables = [&](const std::string& trin, const std::string& desc) {
    pointed = {trin, desc};
  };
  ASSERT_TRUE(main->Create());
  main->Activate();
  EXPECT_EQ(pointed, (std::vector<std::string>{"C:\\MFW\\DATA\\TrinAB.s;RES:Batch",
                                               "C:\\MFW\\DATA\\DescAB.s;RES:TrDesc"}));
}

TEST_F(UpfoldMainTest, FirstShowingEnablesBackupDeletionAndHandsOnTheDefaultFolder) {
  registry.WriteString(kMachine, kHostKey, "DefaultRemotePath", "C:\\REMOTE\\");
  ScriptedUi ui;
  auto main = Make(ui, kGood);
  std::string handed = "<none>";
  main->hooks.deleteBackupsFolder = [&](const std::string& folder) { handed = folder; };
  ASSERT_TRUE(main->Create());
  EXPECT_FALSE(view.deleteBackups);
  main->Shown();
  EXPECT_TRUE(view.deleteBackups);
  EXPECT_EQ(handed, "C:\\REMOTE\\");
}

TEST_F(UpfoldMainTest, DefaultPathIsReadFromTheHostKeyWhichIsCreatedWhenMissing) {
  ScriptedUi ui;
  auto main = Make(ui, kGood);
  EXPECT_TRUE(main->GetDefaultPathFromReg());
  EXPECT_EQ(main->Values().DefaultRemotePath, "");
  EXPECT_TRUE(registry.KeyExists(kMachine, kHostKey));

  registry.WriteString(kMachine, kHostKey, "DefaultRemotePath", "C:\\REMOTE\\");
  EXPECT_TRUE(main->GetDefaultPathFromReg());
  EXPECT_EQ(main->Values().DefaultRemotePath, "C:\\REMOTE\\");
}

TEST_F(UpfoldMainTest, RegistryFailuresAroundTheDefaultPathAreSilent) {
  // A registry "file" that is a folder can be neither read nor written.
  std::filesystem::create_directory(registryPath);
  ScriptedUi ui;
  auto main = Make(ui, kGood);
  ASSERT_TRUE(main->Create());
  main->Values().DefaultRemotePath = "C:\\KEPT\\";
  EXPECT_FALSE(main->GetDefaultPathFromReg());
  EXPECT_EQ(main->Values().DefaultRemotePath, "C:\\KEPT\\");
  main->Values().LastRemoteDir = "C:\\NEW\\";
  EXPECT_FALSE(main->WriteDefaultPathToReg());
  int closes = 0;
  main->hooks.closeAllTables = [&] { ++closes; };
  main->Close();
  EXPECT_EQ(closes, 1);
}

TEST_F(UpfoldMainTest, DefaultPathThatIsNotTextIsAFailure) {
  std::filesystem::remove(registryPath);
  dir.Write("registry.reg",
            "Windows Registry Editor Version 5.00\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Verrin\\Marrowfield\\Host]\r\n"
            "\"DefaultRemotePath\"=dword:00000001\r\n");
  ScriptedUi ui;
  auto main = Make(ui, kGood);
  EXPECT_FALSE(main->GetDefaultPathFromReg());
  EXPECT_EQ(main->Values().DefaultRemotePath, "");
}

TEST_F(UpfoldMainTest, ClosingStoresOnlyANewRemoteFolderAndThenClosesTheTables) {
  struct Case {
    const char* lastRemoteDir;
    bool stored;
  };
  const Case cases[] = {
      {"", false}, {"   ", false}, {"C:\\REMOTE\\", false}, {"C:\\NEW\\", true},
      {"c:\\remote\\", true},  // another spelling is stored as chosen
  };
  for (const Case& c : cases) {
    registry.WriteString(kMachine, kHostKey, "DefaultRemotePath", "C:\\REMOTE\\");
    ScriptedUi ui;
    auto main = Make(ui, kGood);
    ASSERT_TRUE(main->Create());
    // Changed behind the program's back, so that an unneeded write would show.
    registry.WriteString(kMachine, kHostKey, "DefaultRemotePath", "C:\\ELSEWHERE\\");
    main->Values().LastRemoteDir = c.lastRemoteDir;
    std::string storedWhenTablesClosed;
    main->hooks.closeAllTables = [&] { storedWhenTablesClosed = StoredDefaultPath(); };
    main->Close();
    const std::string expected = c.stored ? c.lastRemoteDir : "C:\\ELSEWHERE\\";
    EXPECT_EQ(StoredDefaultPath(), expected) << "LastRemoteDir '" << c.lastRemoteDir << "'";
    EXPECT_EQ(storedWhenTablesClosed, expected) << "tables closed after the write";
  }
}

TEST_F(UpfoldMainTest, CommandsRunTheirHandlersAndSurviveAFailingOne) {
  ScriptedUi ui;
  auto main = Make(ui, kGood);
  main->Run(MainCommand::Merge);  // nothing connected yet: nothing happens

  int merges = 0;
  main->SetHandler(MainCommand::Merge, [&] {
    ++merges;
    main->SetHandler(MainCommand::Merge, [&] { merges += 10; });
  });
  main->Run(MainCommand::Merge);
  main->Run(MainCommand::Merge);
  EXPECT_EQ(merges, 11);

  main->SetHandler(MainCommand::ViewRemote, [&] {
    ui.HourglassCursor();
    throw std::runtime_error("disk gone");
  });
  ui.ExpectShow(MessageKind::Error,
                std::string("The command stopped unexpectedly:\rdisk gone") + kContactLine);
  main->Run(MainCommand::ViewRemote);
  EXPECT_FALSE(ui.hourglass);
}

TEST_F(UpfoldMainTest, RealConfigurationReaderTakesTheProgramFolderAndDataPath) {
  registry.WriteString(kMachine, kHostKey, "WSID", "ZZ");
  registry.WriteString(kMachine, kDataPathKey, "H_0", "C:\\MFW\\DATA");
  ScriptedUi ui;
  UpfoldMain main(registry, ui, kGood);
  ASSERT_TRUE(main.Create());
  EXPECT_EQ(main.Values().DataPath, "C:\\MFW\\DATA");
  EXPECT_EQ(main.Values().WSID, "ZZ");
  EXPECT_EQ(main.Values().PgmDir.substr(0, 3), "C:\\");
  EXPECT_EQ(registry.ReadString(kMachine, kHostKey, "HD"), main.Values().PgmDir);
  main.Activate();
  EXPECT_EQ(main.Values().WSID, "01");
}

TEST(StartParameters, TakesSixParametersAsWindows1252) {
  const char* argv[] = {"upfold", "250315", "G", "Caf\xc3\xa9", "01", "Y", "X", "extra"};
  EXPECT_EQ(StartParameters(8, argv),
            (Params{"250315", "G", "Caf\xe9", "01", "Y", "X"}));
  EXPECT_EQ(StartParameters(3, argv), (Params{"250315", "G", "", "", "", ""}));
  EXPECT_EQ(StartParameters(1, argv), Params{});
}

}  // namespace
}  // namespace upfold
