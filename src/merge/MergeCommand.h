#pragma once
// The merge command: hands the workstation's host batch to the suite's posting program, which
// prints and merges it, and waits for that program while the windows stay alive. Upfold merges
// nothing itself. The same hand-off (RunTrim) serves the unmerged-batch dialog.

#include <functional>
#include <string>

namespace upfold {

class Clock;
class Desktop;
class DosFs;
class MainView;
class PrintChoicesAsker;
class PrinterList;
class Printers;
class ProcessLauncher;
class UpfoldMain;
class VantroDM;
struct PrintChoices;

// What the hand-off works with besides the main window's logic. All must outlive the command.
struct MergeServices {
  DosFs& fs;
  Clock& clock;
  Desktop& desktop;           // for the conflicting-program check
  ProcessLauncher& launcher;  // starts the posting program
  VantroDM& tables;           // the host batch table and CloseAllTables' tables
  PrintChoices& choices;      // the run's printing choices
  PrintChoicesAsker& asker;   // the printing-choices dialog
  PrinterList& printerList;
  Printers& printers;
  MainView* view = nullptr;  // the progress line; null shows nothing
};

inline constexpr const char* kMergeOperation = "Merge";
inline constexpr const char* kMergingLine = " Merging - please do not interrupt.";
inline constexpr const char* kNothingToMerge = "There are no transactions to merge.";
inline constexpr const char* kCannotStartPosting =
    "We are unable to print/merge the remote transaction batch at this time.";
inline constexpr const char* kStartUpInfoError = "StartUpInfo error - merge Remote Import batch";
// RunningOperation while the posting program runs.
inline constexpr int kMergeRunning = 2;

class MergeCommand {
 public:
  // Reads the batch header of the host description file into name and date (the date for
  // display); false after its own message when the header cannot be read or written.
  using HeaderReader = std::function<bool(std::string& batchName, std::string& batchDate)>;

  // main supplies the run-wide values, the Ui, the date formats, CloseAllTables and the
  // "KVX Interrupt" item. main and the services must outlive the command.
  MergeCommand(UpfoldMain& main, const MergeServices& services);

  // Must be set before MergeSBClick runs (the host batch preparation's GetDescTB).
  HeaderReader getDescTB;
  // True once the application is closing: the wait for the posting program then ends.
  std::function<bool()> terminating;

  // The "Merge" button and the "Merge a processed batch" menu item: the checks, the
  // confirmation and the hand-off.
  void MergeSBClick();

  // The hand-off: printing choices for report 38, the posting program started minimized and
  // waited for. False when nothing was started because a hand-off is already running (after
  // IsRunningZero's message), there is no printer (first use) or no destination was chosen;
  // true otherwise, also when the program could not be started (that has been shown). Ends
  // with the arrow cursor when true.
  bool RunTrim();

  // False, after telling the person, while a hand-off is running; true otherwise.
  bool IsRunningZero(const std::string& operation);

 private:
  // Starts the line minimized and waits for the program's end.
  void StartAndWait(const std::string& commandLine);
  void HideProgressLine();

  UpfoldMain& main_;
  MergeServices services_;
};

}  // namespace upfold
