#pragma once
// The import command of the main window, over both of its phases. The first (the import
// box hidden) picks and lists remote batches; the second (the box's "Process", or the
// command again while the box is shown) prepares every listed batch (interrupted-import
// question, host batch), has the reject report's destination chosen and hands the list to
// the results window, which runs the import. Used by the desktop program and by
// upfold-import, each with its own dialogs.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "import/BatchSelection.h"

namespace upfold {

struct AppContext;
struct PrintChoices;
class Desktop;
class MainView;
class PrintChoicesAsker;
class PrinterList;
class Printers;
class RunJournal;
class UnMergedDialog;
class VantroDM;

// What the results window is given for one run.
struct ImportRequest {
  std::vector<std::string> selectedRemoteFiles;  // the list lines, in order
  std::vector<std::string> remoteFiles;          // their whole paths (blanks included)
  std::uint64_t selectedBatchRecordCount = 0;
  RunJournal* journal = nullptr;  // the run reports its progress here
};

// The results window, as the import command opens it.
class ImportWindow {
 public:
  virtual ~ImportWindow() = default;
  // Creates the window and, when its creation completed, runs the import and shows the
  // results until the person closes the window. False when the creation did not complete.
  virtual bool Run(const ImportRequest& request) = 0;
};

// The dialogs and devices the command uses besides the Ui; all must outlive the command.
struct ImportServices {
  Desktop& desktop;
  Printers& printers;
  PrinterList& printerList;
  PrintChoices& printChoices;
  PrintChoicesAsker& printAsker;
  UnMergedDialog& unMerged;
  ImportWindow& importWindow;
  // "Print and merge the batch" of the unmerged-batch dialog; empty: nothing is started.
  std::function<void()> runTrim;
};

class ImportCommand {
 public:
  // Everything given must outlive the command.
  ImportCommand(AppContext& ctx, VantroDM& dm, MainView& view, ImportServices services);

  // The import button, "Process a remote batch" and the box's "Process".
  void ProcessSBClick();
  void CancelProcessBBClick() { selection_.CancelProcessBBClick(); }
  void ListBox1DblClick() { selection_.ListBox1DblClick(); }

  RemoteBatchValues& RemoteValues() { return remote_; }
  BatchSelection& Selection() { return selection_; }

 private:
  // The second phase; false when the command stopped.
  bool ProcessListedBatches();

  AppContext& ctx_;
  VantroDM& dm_;
  MainView& view_;
  ImportServices services_;
  RemoteBatchValues remote_;
  BatchSelection selection_;
};

}  // namespace upfold
