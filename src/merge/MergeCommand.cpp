#include "merge/MergeCommand.h"

#include <exception>
#include <stdexcept>

#include "app/CkPgm.h"
#include "app/DateConversions.h"
#include "app/MainView.h"
#include "app/Ui.h"
#include "app/UpfoldMain.h"
#include "data/FixedText.h"
#include "data/VantroDM.h"
#include "merge/MergeCommandLine.h"
#include "platform/DosFs.h"
#include "platform/Process.h"
#include "print/PrintChoicesAsker.h"
#include "print/PrinterList.h"

namespace upfold {

MergeCommand::MergeCommand(UpfoldMain& main, const MergeServices& services)
    : main_(main), services_(services) {}

void MergeCommand::MergeSBClick() {
  RunValues& values = main_.Values();
  Ui& ui = main_.GetUi();
  if (IsConflictingProgramRunning(kMergeAction, ui, services_.desktop, values.DiagnosticSwitch))
    return;
  ui.HourglassCursor();
  if (!IsRunningZero(kMergeOperation)) {
    ui.ArrowCursor();
    return;
  }

  const std::string trinName = "Trin" + values.WSID + ".s";
  if (!services_.fs.FileExists(values.DataPath + "\\" + trinName)) {
    ui.Plain(kNothingToMerge);
    ui.ArrowCursor();
    return;
  }
  VantroDM& tables = services_.tables;
  tables.PointHostBatchTables(values.DataPath + "\\" + trinName + ";RES:Batch",
                              values.DataPath + "\\Desc" + values.WSID + ".s;RES:TrDesc");
  Table& trin = tables.TrinScratchTB;
  if (!tables.OpenTable(trin, values.DataPath, "1", trinName)) {
    ui.ArrowCursor();
    return;
  }
  bool empty = true;
  try {
    empty = trin.IsEmpty();
  } catch (...) {
    trin.Close();
    throw;
  }
  trin.Close();
  if (empty) {
    ui.Plain(kNothingToMerge);
    ui.ArrowCursor();
    return;
  }

  if (!getDescTB) throw std::logic_error("The batch header cannot be read: no reader was given.");
  std::string batchName;
  std::string batchDate;
  if (!getDescTB(batchName, batchDate)) {
    ui.ArrowCursor();
    return;
  }
  if (!ui.Confirm("Batch Name: " + Trim(batchName) + "  Dated " + batchDate +
                  "\r\rAre you sure you want to merge this batch?")) {
    ui.ArrowCursor();
    return;
  }
  if (!RunTrim()) ui.ArrowCursor();
}

bool MergeCommand::RunTrim() {
  RunValues& values = main_.Values();
  Ui& ui = main_.GetUi();
  // The unmerged-batch dialog reaches here without the merge command's check; a second
  // posting program must never work on the batch the first is merging.
  if (!IsRunningZero(kMergeOperation)) return false;
  // Only a list built now stops the hand-off; a list found empty earlier has had its message,
  // and a file destination needs no printer.
  if (!services_.printerList.Built()) {
    services_.printerList.Build(services_.printers, ui);
    if (services_.printerList.Empty()) return false;
  }
  // The posting program cannot take over files this program holds open.
  services_.tables.CloseAllTables();
  values.SystemFileDate = DateToFileDate(values.SystemDate, false, main_.Formats(), ui);

  PrintChoices& choices = services_.choices;
  choices.PrintDest = kPrintNothing;
  services_.asker.Ask(kMergeReport, choices);
  if (choices.PrintDest == kPrintNothing) return false;

  if (services_.view != nullptr) services_.view->ShowProgressLine(kMergingLine);
  const bool bridge = main_.KvxInterrupt();
  const MergeFields fields = BuildMergeFields(choices, bridge);
  choices.TimeName = fields.T;
  std::string commandLine;
  if (bridge) {
    commandLine = BridgeMergeCommandLine(values, fields);
    main_.SetKvxInterrupt(false);  // bridge mode lasts for one hand-off
  } else {
    commandLine = NormalMergeCommandLine(values, choices, fields);
  }
  StartAndWait(commandLine);
  HideProgressLine();
  ui.ArrowCursor();
  return true;
}

void MergeCommand::StartAndWait(const std::string& commandLine) {
  RunValues& values = main_.Values();
  Ui& ui = main_.GetUi();
  try {
    StartResult started = services_.launcher.Start(commandLine, WindowShow::Minimized);
    if (!started) {
      HideProgressLine();
      ui.ArrowCursor();
      ui.Plain(kCannotStartPosting);
      return;
    }
    values.RunningOperation = kMergeRunning;
    // The windows stay alive while the program runs; a second merge meets IsRunningZero.
    WaitForExit(*started.process, services_.clock, [&] {
      ui.ProcessMessages();
      return !(terminating && terminating());
    });
    services_.choices.PrintDest = kPrintNothing;
    values.RunningOperation = 0;
  } catch (const std::exception&) {
    // Left at 2, it would refuse every later merge of the run.
    values.RunningOperation = 0;
    HideProgressLine();
    ui.ArrowCursor();
    ui.Plain(kStartUpInfoError);
  }
}

bool MergeCommand::IsRunningZero(const std::string& operation) {
  if (main_.Values().RunningOperation == 0) return true;
  // Refused at once: waiting here could not let the running hand-off end, it only froze the
  // windows.
  main_.GetUi().Plain("The " + operation + " may not be run at this time.\rPlease wait until " +
                      "the previous " + kMergeOperation + " is done.\r\rand then try again.");
  return false;
}

void MergeCommand::HideProgressLine() {
  if (services_.view != nullptr) services_.view->HideProgressLine();
}

}  // namespace upfold
