#pragma once
// The results window's work without its widgets: the import run over the table set, the
// zero-receptor switch read when the window is shown, and the reject report printed from the
// results grid after the run. The desktop's results window and upfold-import both run an
// import through it, each with its own RunView.

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace upfold {

struct AppContext;
struct ImportRequest;
struct PrintChoices;
class ImportRun;
class PrintChoicesAsker;
class PrinterList;
class Printers;
class RunJournal;
class RunView;
class VantroDM;
class VantroRunData;

// What the reject report prints with. All must outlive the run.
struct ReportDevices {
  PrintChoices& choices;  // the run's printing choices (report 44), changed by a retry (41)
  PrintChoicesAsker& asker;
  const PrinterList& printerList;
  Printers& printers;
};

class ResultsRun {
 public:
  // Everything given must outlive this object; request is copied. Without request.journal the
  // run keeps no journal.
  ResultsRun(AppContext& ctx, VantroDM& dm, RunView& view, const ImportRequest& request,
             ReportDevices devices);
  ~ResultsRun();
  ResultsRun(const ResultsRun&) = delete;
  ResultsRun& operator=(const ResultsRun&) = delete;

  // The window is shown: CreateZeroReceptors is read from the host key.
  void Show();
  // The window is active: the run and its post-run steps, the first time only.
  void Activate();
  // The window closes: every table of the run is closed.
  void Close();

  bool Ran() const { return ran_; }
  // The run met an error, or the reject report could not be printed.
  bool Failed() const;
  bool ReportFailed() const { return reportFailed_; }
  // The results grid as the run left it: the heading row first, then one row per batch.
  const std::vector<std::array<std::string, 5>>& Grid() const;
  ImportRun& Run() { return *run_; }

 private:
  class GridView;

  AppContext& ctx_;
  VantroDM& dm_;
  ReportDevices devices_;
  std::unique_ptr<RunJournal> noJournal_;
  std::unique_ptr<GridView> grid_;
  std::unique_ptr<VantroRunData> data_;
  std::unique_ptr<ImportRun> run_;
  bool ran_ = false;
  bool reportFailed_ = false;
};

}  // namespace upfold
