#pragma once
// A host installation for the merge command: drive C: in a temporary folder with C:\MFW as the
// program folder and C:\MFW\DATA as the data folder, workstation 01, working date 11 December
// 2026 (file date 461211), one printer "Office Printer", and fakes for the desktop, the
// printing choices, the main window's view and (unless a test gives a real one) the launcher.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/AppContext.h"
#include "app/MainView.h"
#include "app/UpfoldMain.h"
#include "data/KeyCatalogue.h"
#include "data/TableFixture.h"
#include "data/VantroDM.h"
#include "merge/MergeChoices.h"
#include "merge/MergeCommand.h"
#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/DosFs.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/printers/RecordingPrinters.h"
#include "print/HostFixture.h"
#include "print/PrintChoicesAsker.h"
#include "print/PrinterList.h"
#include "recman/DataFile.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

namespace upfold::test {

// The scripted Ui whose message processing can also run what the person does meanwhile.
class PumpedUi : public ScriptedUi {
 public:
  void ProcessMessages() override {
    ScriptedUi::ProcessMessages();
    if (onProcessMessages) onProcessMessages();
  }
  std::function<void()> onProcessMessages;
};

class FakeAsker : public PrintChoicesAsker {
 public:
  bool Ask(int reportNumber, PrintChoices& choices) override {
    reports.push_back(reportNumber);
    if (!answer) {
      choices.PrintDest = kPrintNothing;
      return false;
    }
    choices = *answer;
    return true;
  }
  std::optional<PrintChoices> answer;  // nullopt: the person cancelled
  std::vector<int> reports;            // every opening
};

class ProgressView : public MainView {
 public:
  void SetConflictsEnabled(bool) override {}
  void SetDeleteBackupsEnabled(bool) override {}
  void SetKvxInterruptChecked(bool checked) override { kvxChecked = checked; }
  void SetImportEnabled(bool) override {}
  bool ProcessBoxVisible() const override { return false; }
  void SetProcessBoxVisible(bool) override {}
  std::vector<std::string> ProcessListLines() const override { return {}; }
  void SetProcessListLines(const std::vector<std::string>&) override {}
  int ProcessListCurrentRow() const override { return -1; }
  void ShowProgressLine(const std::string& text) override { log.push_back("show" + text); }
  void HideProgressLine() override { log.push_back("hide"); }

  std::vector<std::string> log;  // "show<text>" and "hide", in order
  bool kvxChecked = false;
};

class MergeFixture : public ::testing::Test {
 protected:
  MergeFixture() {
    std::filesystem::create_directories(dir / "c/MFW/DATA");
    registry.WriteString(Hive::LocalMachine, kDosDevicesKey, "C:", dir / "c");
    fs = std::make_unique<DosFs>(&registry);
    context = std::make_unique<AppContext>(
        AppContext{registry, *fs, clock, ui, main.Values(), main.Formats()});
    tables = std::make_unique<VantroDM>(*context);
    main.SetView(&view);
    RunValues& values = main.Values();
    values.PgmDir = "C:\\MFW";
    values.PgmDirTessel = "/MFW/C";
    values.DataPath = "C:\\MFW\\DATA";
    values.WSID = "01";
    values.SystemDate = {2026, 12, 11};
    asker.answer = ToPrinter();
  }
  ~MergeFixture() override { main.SetView(nullptr); }

  // The merge command over the fixture's parts, made on first use with `launcher`.
  MergeCommand& Command() {
    if (!command_) {
      command_ = std::make_unique<MergeCommand>(
          main, MergeServices{*fs, clock, desktop, *launcher, *tables, choices, asker, printerList,
                              printers, &view});
      command_->getDescTB = [this](std::string& name, std::string& date) {
        ++headerReads;
        name = batchName;
        date = batchDate;
        return headerReadable;
      };
    }
    return *command_;
  }

  // C:\MFW\DATA\Trin01.s with `records` transactions.
  void MakeHostBatch(int records) {
    MakeDataFile("Trin01.s", "Batch",
                 std::vector<std::string>(records, Rec("Batch").Text("Client", "SMITH")));
  }
  // An empty description file C:\MFW\DATA\Desc01.s.
  void MakeDescriptions() { MakeDataFile("Desc01.s", "TrDesc", {}); }

  TempDir dir;
  Registry registry{dir / "registry.reg"};
  std::unique_ptr<DosFs> fs;
  PumpedUi ui;
  FakeClock clock;
  UpfoldMain main{registry, ui, {"461211", "", "Marrowfield", "01", "N", ""}};
  std::unique_ptr<AppContext> context;
  std::unique_ptr<VantroDM> tables;
  FakeDesktop desktop;
  FakeProcessLauncher fakeLauncher;
  ProcessLauncher* launcher = &fakeLauncher;
  RecordingPrinters printers{{"Office Printer"}};
  PrinterList printerList;
  PrintChoices choices;
  FakeAsker asker;
  ProgressView view;

  // What the batch header reader gives.
  std::string batchName = "DECEMBER FEES" + std::string(26, ' ');
  std::string batchDate = "12/11/2026";
  bool headerReadable = true;
  int headerReads = 0;

 private:
  void MakeDataFile(const std::string& name, const char* layout,
                    const std::vector<std::string>& records) {
    const std::string host = dir / ("c/MFW/DATA/" + name);
    ASSERT_EQ(DataFile::Create(host, *FileSpecFor(layout)), RmStatus::Success);
    DataFile file;
    ASSERT_EQ(file.Open(host), RmStatus::Success);
    for (std::string record : records) ASSERT_EQ(file.Insert(record), RmStatus::Success);
  }

  std::unique_ptr<MergeCommand> command_;
};

}  // namespace upfold::test
