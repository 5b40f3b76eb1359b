#include "import/ImportCommand.h"

#include "app/AppContext.h"
#include "app/CkPgm.h"
#include "app/DateConversions.h"
#include "app/MainView.h"
#include "app/Ui.h"
#include "data/FixedText.h"
#include "data/VantroDM.h"
#include "import/HostBatch.h"
#include "import/Recovery.h"
#include "import/RunJournalFile.h"
#include "print/PrintChoices.h"
#include "print/PrintChoicesAsker.h"
#include "print/PrinterList.h"

namespace upfold {

ImportCommand::ImportCommand(AppContext& ctx, VantroDM& dm, MainView& view, ImportServices services)
    : ctx_(ctx),
      dm_(dm),
      view_(view),
      services_(std::move(services)),
      selection_(ctx, dm, view, remote_) {}

void ImportCommand::ProcessSBClick() {
  if (IsConflictingProgramRunning(kImportAction, ctx_.ui, services_.desktop,
                                  ctx_.values.DiagnosticSwitch))
    return;
  services_.printerList.Build(services_.printers, ctx_.ui);
  if (!view_.ProcessBoxVisible()) {
    selection_.FindRemBatch();
    return;
  }
  if (!ProcessListedBatches()) {
    ctx_.ui.ArrowCursor();
    view_.SetImportEnabled(false);
  }
}

bool ImportCommand::ProcessListedBatches() {
  Ui& ui = ctx_.ui;
  RunValues& v = ctx_.values;
  const std::vector<std::string> lines = view_.ProcessListLines();
  if (Trim(v.WSID).empty()) v.WSID = v.Param(4).substr(0, 2);

  RunJournalFile journal(ctx_);
  Recovery recovery(ctx_, dm_, journal);
  HostBatch host(ctx_, dm_, services_.unMerged);
  host.runTrim = services_.runTrim;
  // The erased batch took what the interrupted run had posted: its batches start afresh.
  host.onErased = [&journal] { journal.Discard(); };

  for (std::size_t i = 0; i < lines.size(); ++i) {
    v.SystemFileDate = DateToFileDate(v.SystemDate, false, ctx_.formats, ui);
    if (!host.CheckForRemTrinClo()) return false;
    if (!recovery.ReadFromRegistry()) return false;
    if (Trim(v.WSID).empty()) v.WSID = v.Param(4).substr(0, 2);
    if (!host.CheckForTrin(recovery.ContinueInterrupted())) return false;
    if (!recovery.ClearProgress()) return false;
    dm_.CloseAllTables();
  }

  PrintChoices& choices = services_.printChoices;
  if (choices.PrintDest == kPrintNothing || choices.PrintReportNum != kImportReport) {
    if (!services_.printAsker.Ask(kImportReport, choices) || choices.PrintDest == kPrintNothing)
      return false;
  }

  ImportRequest request;
  request.selectedRemoteFiles = lines;
  for (const std::string& line : lines) request.remoteFiles.push_back(PathOfListLine(line));
  request.selectedBatchRecordCount = remote_.SelectedBatchRecordCount;
  request.journal = &journal;
  // Marked before the first record, so that a run that never ends reads as interrupted.
  journal.SetStartMarker([this](const std::vector<std::string>& files) {
    if (files.empty()) return;
    const std::string& first = files.front();
    const std::size_t slash = first.find_last_of('\\');
    ProgressFiles named;
    named.remoteDir = slash == std::string::npos ? std::string() : first.substr(0, slash);
    named.remoteFileName = slash == std::string::npos ? first : first.substr(slash + 1);
    dm_.WriteToRegistry(std::to_string(remote_.SelectedBatchRecordCount), "0", "0", named);
  });

  if (!services_.importWindow.Run(request)) {
    ui.ArrowCursor();
    return true;  // the box stays as it is
  }
  ui.ArrowCursor();
  view_.SetProcessBoxVisible(false);
  view_.SetImportEnabled(true);
  return true;
}

}  // namespace upfold
