// upfold-import [options] BATCH...: the import command of upfold without windows, for
// scripted and nightly imports. The batches are taken as if chosen in the file dialog, then
// processed as the import box's "Process" does, with the same checks, files and registry
// values as the desktop program. Exit status 0 when the run ended without errors, 1 when
// errors occurred or the command stopped, 2 for a usage error.

#include <chrono>
#include <cstdio>
#include <ctime>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AnsweredPrintChoices.h"
#include "HeadlessUi.h"
#include "ImportOptions.h"
#include "ToldUnMergedDialog.h"
#include "TsvRunView.h"
#include "app/AppContext.h"
#include "app/MainView.h"
#include "app/RegReader.h"
#include "app/UpfoldMain.h"
#include "data/DirectAccess.h"
#include "data/FileDate.h"
#include "data/FixedText.h"
#include "data/VantroDM.h"
#include "import/ImportCommand.h"
#include "import/ResultsRun.h"
#include "merge/MergeCommand.h"
#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/DosFs.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "print/PrintChoices.h"
#include "print/PrinterList.h"
#include "print/PrinterSetup.h"

namespace {

using namespace upfold;

// The import box of the main window, without the window.
class ListView final : public MainView {
 public:
  void SetConflictsEnabled(bool) override {}
  void SetDeleteBackupsEnabled(bool) override {}
  void SetKvxInterruptChecked(bool) override {}
  void SetImportEnabled(bool) override {}
  bool ProcessBoxVisible() const override { return visible_; }
  void SetProcessBoxVisible(bool visible) override { visible_ = visible; }
  std::vector<std::string> ProcessListLines() const override { return lines_; }
  void SetProcessListLines(const std::vector<std::string>& lines) override { lines_ = lines; }
  int ProcessListCurrentRow() const override { return -1; }
  void ShowProgressLine(const std::string&) override {}
  void HideProgressLine() override {}

 private:
  bool visible_ = false;
  std::vector<std::string> lines_;
};

// The results window, its grids on standard output.
class HeadlessImportWindow final : public ImportWindow {
 public:
  HeadlessImportWindow(AppContext& ctx, VantroDM& dm, ReportDevices devices)
      : ctx_(ctx), dm_(dm), devices_(devices) {}

  bool Run(const ImportRequest& request) override {
    TsvRunView view;
    ResultsRun results(ctx_, dm_, view, request, devices_);
    results.Show();
    results.Activate();
    results.Close();
    ran_ = true;
    failed_ = results.Failed();
    return true;
  }

  bool Succeeded() const { return ran_ && !failed_; }

 private:
  AppContext& ctx_;
  VantroDM& dm_;
  ReportDevices devices_;
  bool ran_ = false;
  bool failed_ = false;
};

int UsageError(const std::string& why) {
  std::fprintf(stderr, "upfold-import: %s\nTry 'upfold-import --help'.\n", why.c_str());
  return 2;
}

// Today on this machine's calendar, as the working-date parameter "YYMMDD".
std::string TodayParameter(Clock& clock) {
  const std::time_t now = std::chrono::system_clock::to_time_t(clock.Now());
  std::tm local{};
  localtime_r(&now, &local);
  return EncodeFileDate({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday}).value_or("");
}

// A path of the command line as the program's DOS path; nullopt when no drive reaches it.
std::optional<std::string> DosPathOf(const std::string& arg, const DosFs& fs) {
  if (LooksLikeDosPath(arg)) return arg;
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(arg, error);
  if (error) return std::nullopt;
  return fs.ToDos(absolute.lexically_normal().string());
}

int Import(const ImportOptions& o) {
  Registry registry(Registry::DefaultPath());
  HeadlessUi ui(o.yesNo, o.interrupted);
  SystemClock clock;
  const std::string date = o.date.empty() ? TodayParameter(clock) : o.date;
  UpfoldMain main(registry, ui, {date, "", "Marrowfield", o.wsid, "N", ""});
  if (!o.pgmDir.empty()) {
    main.SetConfigurationReader([&](RunValues& values) {
      try {
        return RegReader(registry, ui, o.pgmDir, values);
      } catch (const std::exception& error) {
        ui.Error(std::string(error.what()) + kContactLine);
        return false;
      }
    });
  }
  if (!main.Create()) return 1;
  // The workstation of the command line wins over the registry's, as parameter 4 would.
  RunValues& values = main.Values();
  values.Params[3] = o.wsid.empty() ? values.WSID : o.wsid;
  if (Trim(values.Params[3]).empty())
    return UsageError("the registry names no workstation; give --wsid");

  DosFs fs(&registry);
  std::vector<std::string> batches;
  for (const std::string& batch : o.batches) {
    const std::optional<std::string> dos = DosPathOf(batch, fs);
    if (!dos) return UsageError(batch + ": no drive of the registry reaches this file");
    batches.push_back(*dos);
  }
  std::string reportFile;
  if (!o.reportFile.empty()) {
    const std::optional<std::string> dos = DosPathOf(o.reportFile, fs);
    if (!dos) return UsageError(o.reportFile + ": no drive of the registry reaches this file");
    reportFile = *dos;
  }
  ui.SetChosenFiles(batches);

  AppContext ctx{registry, fs, clock, ui, values, main.Formats()};
  VantroDM dm(ctx);
  main.hooks.closeAllTables = [&dm] { dm.CloseAllTables(); };
  main.hooks.pointHostBatchTables = [&dm](const std::string& trin, const std::string& desc) {
    dm.PointHostBatchTables(trin, desc);
  };
  main.Activate();

  std::unique_ptr<Printers> printers = MakeInstalledPrinters(registry, fs);
  PrinterList printerList;
  PrintChoices choices;
  AnsweredPrintChoices asker(ctx, *printers, printerList, reportFile, o.printer);
  XDesktop desktop;
  ToldUnMergedDialog unMerged(ctx, o.unmerged.value_or(kExitUnchanged));
  SystemProcessLauncher launcher(fs);
  ListView view;
  MergeCommand merge(
      main, {fs, clock, desktop, launcher, dm, choices, asker, printerList, *printers, &view});
  HeadlessImportWindow window(ctx, dm, {choices, asker, printerList, *printers});
  ImportCommand command(ctx, dm, view,
                        {desktop, *printers, printerList, choices, asker, unMerged, window,
                         [&merge] { merge.RunTrim(); }});

  command.ProcessSBClick();  // the file dialog: every batch examined and listed
  if (view.ProcessBoxVisible()) command.ProcessSBClick();  // "Process"
  // Unlike the desktop's closing, the folder of these batches does not become the default
  // remote folder: a script's batches say nothing of where the office keeps its own.
  main.CloseAllTables();
  return window.Succeeded() ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[]) {
  const ParsedOptions parsed = ParseImportOptions({argv + 1, argv + argc});
  if (!parsed.options) return UsageError(parsed.error);
  if (parsed.options->help) {
    std::fputs(kImportUsage, stdout);
    return 0;
  }
  try {
    return Import(*parsed.options);
  } catch (const ProgramEndRequested&) {
    return 1;  // a data file could not be opened; the message has been shown
  } catch (const std::exception& error) {
    std::fputs(HeadlessUi::Entry(MessageKind::Error, error.what()).c_str(), stderr);
    return 1;
  }
}
