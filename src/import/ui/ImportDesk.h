#pragma once
// The import command on the desktop: the command of the main window's import button, menu
// item and import box, with its results window, connected to the main window's logic.

#include <functional>
#include <memory>

#include "import/ImportCommand.h"
#include "import/ui/QtImportWindow.h"

class QWidget;

namespace upfold {

struct AppContext;
struct PrintChoices;
class Desktop;
class MainView;
class PrintChoicesAsker;
class PrinterList;
class Printers;
class UnMergedDialog;
class UpfoldMain;
class VantroDM;

// The dialogs and devices of the command, made by the program (or a test).
struct ImportDeskDevices {
  Desktop& desktop;
  Printers& printers;
  PrinterList& printerList;
  PrintChoices& printChoices;
  PrintChoicesAsker& printAsker;
  UnMergedDialog& unMerged;
  // "Print and merge the batch" of the unmerged-batch dialog; empty: nothing is started.
  std::function<void()> runTrim;
};

class ImportDesk {
 public:
  // Becomes the handler of MainCommand::Process, CancelProcess and RemoveListLine. Everything
  // given must outlive this object; window is the results window's owner.
  ImportDesk(UpfoldMain& main, AppContext& ctx, VantroDM& dm, MainView& view, QWidget* window,
             ImportDeskDevices devices);
  ~ImportDesk();  // lets go of the handlers
  ImportDesk(const ImportDesk&) = delete;
  ImportDesk& operator=(const ImportDesk&) = delete;

  QtImportWindow& Window() { return importWindow_; }
  ImportCommand& Command() { return *command_; }

 private:
  UpfoldMain& main_;
  QtImportWindow importWindow_;
  std::unique_ptr<ImportCommand> command_;
};

}  // namespace upfold
