// upfold DATE DIAG NAME WSID CONFLICTS AUTOSTART: the desktop program, started by the suite's
// main menu. Exit status 0 after the main window has closed, 1 when the program was refused
// at start (bad working date, unreadable configuration).

#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <clocale>
#include <csignal>

#include "app/AppContext.h"
#include "app/CommandLine.h"
#include "app/UpfoldMain.h"
#include "app/ui/QtUi.h"
#include "app/ui/UpfoldF.h"
#include "data/VantroDM.h"
#include "import/HostBatch.h"
#include "import/ui/ImportDesk.h"
#include "import/ui/QtImportWindow.h"
#include "import/ui/VantroF.h"
#include "merge/MergeCommand.h"
#include "merge/ui/UnMergedF.h"
#include "platform/Clock.h"
#include "platform/Desktop.h"
#include "platform/DosFs.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/printers/QtPrinters.h"
#include "print/PrintChoices.h"
#include "print/PrinterList.h"
#include "print/PrinterSetup.h"
#include "print/PrntDef.h"
#include "print/ui/QtPrintChoicesAsker.h"

namespace {

int terminateSignalPipe[2] = {-1, -1};
bool terminateRequested = false;

void OnTerminateSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(terminateSignalPipe[1], &byte, 1);
}

// Closes the main window, or ends whatever dialog is open before it is shown; an import that
// is running finishes first, so that its tables are not closed under it.
void CloseForTerminate(upfold::UpfoldF& window) {
  if (upfold::VantroF::ImportRunning()) {
    QTimer::singleShot(100, &window, [&window] { CloseForTerminate(window); });
    return;
  }
  if (window.isVisible())
    window.close();
  else
    QCoreApplication::exit(1);
}

// SIGTERM and SIGINT close the main window as its Exit command would, so that the closing
// steps run; before the window is shown they end whatever dialog is open.
void CloseOnTerminateSignal(QApplication& app, upfold::UpfoldF& window) {
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, terminateSignalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(terminateSignalPipe[0], QSocketNotifier::Read, &app);
  QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
    char byte = 0;
    [[maybe_unused]] const ssize_t got = ::read(terminateSignalPipe[0], &byte, 1);
    terminateRequested = true;
    CloseForTerminate(window);
  });
  struct sigaction action {};
  action.sa_handler = OnTerminateSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &action, nullptr);
  ::sigaction(SIGINT, &action, nullptr);
}

}  // namespace

int main(int argc, char* argv[]) {
  // Taken before Qt removes the arguments it recognises as its own.
  const std::array<std::string, 6> parameters = upfold::StartParameters(argc, argv);
  QApplication app(argc, argv);
  // Qt took the host's locale; numbers are always written with "." and ",".
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setQuitOnLastWindowClosed(false);

  upfold::Registry registry(upfold::Registry::DefaultPath());
  upfold::QtUi ui(&registry);
  upfold::UpfoldMain upfold(registry, ui, parameters);
  upfold::UpfoldF window(upfold);
  QObject::connect(&window, &upfold::UpfoldF::Closed, &app, &QCoreApplication::quit);
  CloseOnTerminateSignal(app, window);

  if (!upfold.Create() || terminateRequested) return 1;

  // The table set comes after the main window, which has read the configuration by now.
  upfold::DosFs fs(&registry);
  upfold::SystemClock clock;
  upfold::AppContext context{registry, fs, clock, ui, upfold.Values(), upfold.Formats()};
  upfold::VantroDM vantro(context);
  upfold.hooks.closeAllTables = [&vantro] { vantro.CloseAllTables(); };
  upfold.hooks.pointHostBatchTables = [&vantro](const std::string& trin, const std::string& desc) {
    vantro.PointHostBatchTables(trin, desc);
  };

  // Printing: the system's printers with the virtual PDF printer, the run's printer list and
  // printing choices, and the printing-choices dialog, made once for the whole run.
  const std::unique_ptr<upfold::Printers> printers =
      upfold::MakeSystemPrinters(upfold::ReadVirtualPdfSettings(registry, fs));
  upfold::PrinterList printerList;
  upfold::PrintChoices printChoices;
  upfold::PrntDef printSetup(context, *printers, printerList);
  upfold::QtPrintChoicesAsker printAsker(printSetup, &window);

  // The merge: the host batch handed to the posting program.
  upfold::XDesktop desktop;
  upfold::SystemProcessLauncher launcher(fs);
  upfold::QtUnMergedDialog unMerged(context, &window);
  upfold::MergeCommand merge(
      upfold, upfold::MergeServices{fs, clock, desktop, launcher, vantro, printChoices, printAsker,
                                    printerList, *printers, &window});
  merge.getDescTB = [&](std::string& batchName, std::string& batchDate) {
    upfold::HostBatch host(context, vantro, unMerged);
    if (!host.GetDescTB()) return false;
    batchName = host.BatchName();
    batchDate = host.BatchDate();
    return true;
  };
  merge.terminating = [] { return terminateRequested; };
  upfold.SetHandler(upfold::MainCommand::Merge, [&merge] { merge.MergeSBClick(); });

  // The import: file dialog, the import box, the printing choices and the results window.
  upfold::QtImportWindow importWindow(
      context, vantro, upfold::ReportDevices{printChoices, printAsker, printerList, *printers},
      &window);
  upfold::ImportDesk importDesk(
      upfold, context, vantro, window,
      upfold::ImportServices{desktop, *printers, printerList, printChoices, printAsker, unMerged,
                             importWindow, [&merge] { merge.RunTrim(); }});

  window.show();
  // Also without a window manager (a bare X server): the first activation may start the import.
  window.activateWindow();
  const int status = QApplication::exec();
  // The commands and the table set go before the window and its logic.
  upfold.SetHandler(upfold::MainCommand::Merge, nullptr);
  upfold.hooks.closeAllTables = nullptr;
  upfold.hooks.pointHostBatchTables = nullptr;
  return status;
}
