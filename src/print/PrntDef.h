#pragma once
// The printing choices dialog without its window: the state of every control and what each
// click, choice and button does to it and to the run's PrintChoices. The Qt dialog shows
// View() and passes the person's actions on; tests drive it directly.
//
// One instance lives for the run, so the printer last chosen, the data directories and the
// screen-file name survive between openings; everything else is reset at each Open.

#include <string>
#include <vector>

#include "print/PrintDirectoryCheck.h"
#include "print/PrintSettings.h"
#include "print/PrinterChoice.h"

namespace upfold {

struct AppContext;
class Printers;
class PrinterList;
struct PrintChoices;

// PrinterFileScreenRG, by position.
enum class PrintTo { None = -1, Printer, File, Screen, Exit };
// DelAppPrintFileExitRG, by position.
enum class FileExists { None = -1, Delete, Append, Change, Printer, Screen, Exit };
// DataOrTextRG, by position.
enum class FileFormat { None = -1, Text, Data, Pdf };

// Captions and items as the window shows them.
inline constexpr const char* kPrntDefCaption = "Printing Choices";
inline constexpr const char* kUnpostingSuffix = " (Unposting)";
inline constexpr const char* kNoScreenMessage = "Unable to print this report to the screen.";

// One line of the directory list: the folders from the drive's root down to the current one,
// then the current one's subfolders.
struct DirectoryItem {
  std::string text;  // the folder's name ("C:\" for the root)
  std::string path;  // its DOS path
  int level = 0;     // indentation
  bool current = false;
};

// What every control shows and whether it can be used.
struct PrntDefView {
  std::string caption = kPrntDefCaption;

  bool mainChoiceVisible = true;
  PrintTo printTo = PrintTo::None;
  bool printerButtonEnabled = true;
  bool screenButtonEnabled = true;

  bool fileExistsVisible = false;
  FileExists fileExists = FileExists::None;

  std::vector<std::string> printers;  // AvailPrintersCB
  int printer = -1;
  bool printersEnabled = false;
  bool printerGroupEnabled = false;

  Orientation orientation = Orientation::Portrait;
  bool orientationEnabled = false;

  FileFormat format = FileFormat::None;  // "Data" and "PDF" are never enabled
  bool formatEnabled = false;

  bool colHeaders = false;  // CBLabels: always cleared and disabled

  char drive = 'C';
  bool driveEnabled = false;
  std::string directory;  // PrintFilePathDLB
  bool directoryEnabled = false;
  std::string name;  // PrintFileNameEB
  bool nameEnabled = false;
  std::string pathLabel;  // PrintFileL

  bool okEnabled = true;
};

class PrntDef {
 public:
  // Everything given must outlive the dialog. printerList is the run's list, built here on
  // the first opening when no command built it before.
  PrntDef(AppContext& context, Printers& printers, PrinterList& printerList);

  // GetPrinterInfo up to showing the dialog: resets the choices, loads the settings of report
  // reportNum and prepares every control. False when the settings were refused; the dialog
  // is then not shown and choices.PrintDest is 0. choices must outlive the opening.
  bool Open(int reportNum, PrintChoices& choices);
  const PrntDefView& View() const { return view_; }
  const PrintSettings& Settings() const { return settings_; }

  // Clicks in the two radio groups.
  void ClickPrintTo(PrintTo choice);
  void ClickFileExists(FileExists choice);
  void ChoosePrinter(int index);
  void ChooseOrientation(Orientation orientation);
  void ChooseFormat(FileFormat format);

  // The drive list: false after "Drive X: is not ready." when the drive cannot be read; the
  // drive then stays. Otherwise the directory list goes to the drive's root.
  bool ChooseDrive(char drive);
  // The drive list's entries: the mapped drive letters, upper case.
  std::vector<char> Drives() const;
  // The directory list moved to another folder (given as a DOS path).
  void ChangeDirectory(const std::string& directory);
  std::vector<DirectoryItem> DirectoryItems() const;
  // Leaving the directory list for anything but Cancel or a radio button: false when the
  // directory is refused (its message shown); the list is then at the data drive's root.
  bool LeaveDirectoryList();

  // The name field: a typed character (false and the message when it is refused), the new
  // text (upper case, at most 13 characters), and leaving it (the checks and the expansion
  // of a "*" / "+" pattern; false keeps the focus there).
  bool TypeNameKey(char c);
  void EditName(const std::string& text);
  bool LeaveName();

  // OK: true when the dialog is to close with the choices made.
  bool Ok();
  // Cancel: nothing printed; the dialog closes.
  void Cancel();
  // The dialog has closed, by a button or its close box.
  void Closed();

 private:
  void Initialize(int reportNum);
  void ShowAvailPrinters();
  void SetDirectory(const std::string& directory);
  void UpdatePathLabel();
  void ShowNewPrintFileName();
  void ShowFileExists();
  bool IsAllDone();
  // The name field's checks for OK, unless already made for the name in it.
  bool NameReady();
  bool MainChoiceDone();
  bool FileExistsDone();
  bool PdfChosen();
  bool CreateFile(const std::string& message);
  void ClearResults();
  std::string DataDrive() const;
  bool PdfFormat() const { return view_.format == FileFormat::Pdf; }

  AppContext& ctx_;
  Printers& printers_;
  PrinterList& printerList_;
  PrinterChoice printerChoice_;
  PrintDirectoryCheck directoryCheck_;
  PrintSettingsStore settingsStore_;

  PrintChoices* choices_ = nullptr;
  PrintSettings settings_;
  PrntDefView view_;
  FileExists previousFileExists_ = FileExists::None;
  bool nameChecked_ = false;  // the name in the field passed the checks of leaving it
  bool nameRefused_ = false;  // ... or failed them, with the message shown
  bool pdfWanted_ = false;
  bool closedByButton_ = false;
};

}  // namespace upfold
