#include "print/PrntDef.h"

#include <cctype>

#include "app/AppContext.h"
#include "app/HostRegistry.h"
#include "app/Ui.h"
#include "data/FixedText.h"
#include "platform/DosFs.h"
#include "platform/TextEncoding.h"
#include "print/NewPrintFile.h"
#include "print/PdfComponent.h"
#include "print/PrintChoices.h"
#include "print/PrintFileName.h"
#include "print/PrinterList.h"

namespace upfold {

namespace {

constexpr const char* kDefPrintToFilePath = "DefPrintToFilePath";

char DriveOf(const std::string& path) {
  return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))
             ? static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])))
             : '\0';
}

std::string WithoutTrailingBackslash(std::string path) {
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

}  // namespace

PrntDef::PrntDef(AppContext& context, Printers& printers, PrinterList& printerList)
    : ctx_(context),
      printers_(printers),
      printerList_(printerList),
      directoryCheck_(context.registry, context.fs, context.ui),
      settingsStore_(context, printerList) {}

std::string PrntDef::DataDrive() const {
  const char drive = DriveOf(ctx_.values.DataPath);
  return std::string(1, drive ? drive : 'C') + ":";
}

void PrntDef::Initialize(int reportNum) {
  PrintChoices& c = *choices_;
  c.PrintToScreen = false;
  c.PrintDest = kPrintNothing;
  c.PrinterName.clear();
  c.PrintFilePath.clear();
  c.PrintFileName.clear();
  c.PrintPathFileName.clear();
  c.PrntNum = "10";
  c.PrintReportNum = reportNum;
  settings_ = PrintSettings{};
  view_ = PrntDefView{};
  // The caption is made afresh at each opening, so the suffix never piles up or stays on.
  if (reportNum == kRejectReportRetry) view_.caption += kUnpostingSuffix;
  previousFileExists_ = FileExists::None;
  nameChecked_ = nameRefused_ = false;
  pdfWanted_ = false;
  closedByButton_ = false;
}

bool PrntDef::Open(int reportNum, PrintChoices& choices) {
  choices_ = &choices;
  Initialize(reportNum);
  printerList_.Build(printers_, ctx_.ui);
  if (!settingsStore_.GetPrintTBInfo(choices, settings_)) {
    choices.PrintDest = kPrintNothing;
    return false;
  }
  // A report kept to files refuses the printer and the screen for this opening only.
  view_.printerButtonEnabled = view_.screenButtonEnabled = !settings_.FileOnly;
  view_.pathLabel = DoPrintPathFileName(choices.PrintFilePath, choices.PrintFileName);

  if (Trim(choices.PrintFilePath).empty()) {
    choices.PrintFilePath = ReadHostValue(ctx_.registry, ctx_.ui, kDefPrintToFilePath);
    if (Trim(choices.PrintFilePath).empty()) choices.PrintFilePath = DataDrive() + "\\";
  }
  const char drive = DriveOf(choices.PrintFilePath);
  view_.drive = drive && ctx_.fs.DriveReady(drive) ? drive : DataDrive()[0];
  const std::string directory = WithoutTrailingBackslash(Trim(choices.PrintFilePath));
  view_.directory = ctx_.fs.DirectoryExists(directory) ? directory : DataDrive() + "\\";
  view_.drive = DriveOf(view_.directory) ? DriveOf(view_.directory) : view_.drive;
  view_.directoryEnabled = true;
  view_.nameEnabled = true;

  view_.mainChoiceVisible = true;
  view_.fileExistsVisible = false;
  ShowAvailPrinters();
  view_.colHeaders = false;

  if (settings_.PrntToFile != "N") {
    ClickPrintTo(PrintTo::File);
    ShowNewPrintFileName();
  } else {
    ClickPrintTo(PrintTo::Printer);
    view_.formatEnabled = false;
  }
  return true;
}

void PrntDef::ShowAvailPrinters() {
  const PrinterChoiceView shown =
      printerChoice_.ShowAvailPrinters(printerList_, choices_->PrinterName, choices_->PrintSize);
  view_.printers = shown.entries;
  view_.printer = shown.selected;
  view_.orientation = shown.orientation;
  view_.printersEnabled = view_.orientationEnabled = view_.printerGroupEnabled = true;
}

void PrntDef::SetDirectory(const std::string& directory) {
  view_.directory = directory;
  if (const char drive = DriveOf(directory)) view_.drive = drive;
  UpdatePathLabel();
}

void PrntDef::UpdatePathLabel() {
  view_.pathLabel = DoPrintPathFileName(view_.directory, view_.name);
}

void PrntDef::ShowNewPrintFileName() {
  const NewPrintFileFields fields =
      GetNewPrintFileName(*choices_, PdfFormat(), ctx_.values.DataPath, ctx_.fs, ctx_.ui);
  view_.directory = WithoutTrailingBackslash(fields.directory);
  if (const char drive = DriveOf(view_.directory)) view_.drive = drive;
  view_.name = fields.name;
  nameChecked_ = nameRefused_ = false;
  view_.pathLabel = fields.label;
  view_.nameEnabled = view_.directoryEnabled = view_.driveEnabled = true;
}

void PrntDef::ClickPrintTo(PrintTo choice) {
  if (!view_.printerButtonEnabled && (choice == PrintTo::Printer || choice == PrintTo::Screen))
    return;
  view_.colHeaders = false;
  view_.printTo = choice;
  switch (choice) {
    case PrintTo::Printer:
      view_.name.clear();
      nameChecked_ = nameRefused_ = false;
      view_.nameEnabled = view_.directoryEnabled = view_.driveEnabled = false;
      view_.printersEnabled = view_.printerGroupEnabled = view_.orientationEnabled = true;
      view_.formatEnabled = false;
      UpdatePathLabel();
      break;
    case PrintTo::File: {
      view_.name = choices_->PrintFileName;
      nameChecked_ = nameRefused_ = false;
      view_.nameEnabled = view_.directoryEnabled = view_.driveEnabled = true;
      view_.formatEnabled = true;
      if (view_.format == FileFormat::None) {
        if (settings_.PrntToFile == "Y") view_.format = FileFormat::Text;
        if (settings_.PrntToFile == "P") view_.format = FileFormat::Pdf;
      }
      view_.printersEnabled = view_.orientationEnabled = PdfFormat();
      choices_->PrintDest = kPrintToFile;
      UpdatePathLabel();
      break;
    }
    case PrintTo::Screen:
      ctx_.ui.Information(kNoScreenMessage);
      ClickPrintTo(PrintTo::File);
      break;
    case PrintTo::Exit:
    case PrintTo::None:
      break;
  }
}

void PrntDef::ClickFileExists(FileExists choice) {
  view_.okEnabled = view_.printersEnabled = view_.printerGroupEnabled = true;
  if (choice == FileExists::Screen) {
    // The screen is not offered for these reports: the earlier choice stays selected.
    ctx_.ui.Information(kNoScreenMessage);
    return;
  }
  view_.fileExists = choice;
  switch (choice) {
    case FileExists::Delete:
      view_.nameEnabled = view_.directoryEnabled = view_.driveEnabled = true;
      break;
    case FileExists::Append:
      view_.nameEnabled = view_.directoryEnabled = view_.driveEnabled = true;
      view_.formatEnabled = true;
      break;
    case FileExists::Change:
      view_.name = choices_->PrintFileName;
      view_.formatEnabled = true;
      ShowNewPrintFileName();
      break;
    case FileExists::Printer:
      view_.nameEnabled = view_.directoryEnabled = view_.driveEnabled = false;
      view_.orientationEnabled = true;
      view_.formatEnabled = false;
      break;
    case FileExists::Exit:
      choices_->PrintToScreen = false;
      choices_->PrintDest = kPrintNothing;
      view_.nameEnabled = view_.directoryEnabled = view_.driveEnabled = false;
      view_.printersEnabled = false;
      view_.formatEnabled = false;
      break;
    case FileExists::Screen:
    case FileExists::None:
      break;
  }
}

void PrntDef::ChoosePrinter(int index) {
  if (index < 0 || index >= static_cast<int>(view_.printers.size())) return;
  view_.printer = index;
  printerChoice_.Choose(index);
}

void PrntDef::ChooseOrientation(Orientation orientation) {
  view_.orientation = orientation;
  choices_->PrintSize = OrientationCode(orientation);
}

void PrntDef::ChooseFormat(FileFormat format) {
  view_.format = format;
}

bool PrntDef::ChooseDrive(char drive) {
  drive = static_cast<char>(std::toupper(static_cast<unsigned char>(drive)));
  if (!ctx_.fs.DriveSize(drive)) {
    ctx_.ui.Error("Drive " + std::string(1, drive) + ": is not ready.");
    return false;
  }
  view_.drive = drive;
  SetDirectory(std::string(1, drive) + ":\\");
  return true;
}

std::vector<char> PrntDef::Drives() const {
  return ctx_.fs.Drives();
}

void PrntDef::ChangeDirectory(const std::string& directory) {
  const std::string folder = WithoutTrailingBackslash(directory);
  if (ctx_.fs.DirectoryExists(folder)) SetDirectory(folder);
}

std::vector<DirectoryItem> PrntDef::DirectoryItems() const {
  std::vector<DirectoryItem> items;
  const std::string& dir = view_.directory;
  if (dir.size() < 2 || dir[1] != ':') return items;
  std::string path = dir.substr(0, 2) + "\\";
  items.push_back({path, path, 0, false});
  int level = 0;
  std::size_t start = 3;
  while (start < dir.size()) {
    std::size_t end = dir.find('\\', start);
    if (end == std::string::npos) end = dir.size();
    if (end > start) {
      const std::string part = dir.substr(start, end - start);
      path = DoPrintPathFileName(path, part);
      items.push_back({part, path, ++level, false});
    }
    start = end + 1;
  }
  items.back().current = true;
  for (const DirEntry& entry : ctx_.fs.List(DoPrintPathFileName(dir, "*.*"))) {
    if (entry.isDirectory)
      items.push_back({entry.name, DoPrintPathFileName(dir, entry.name), level + 1, false});
  }
  return items;
}

bool PrntDef::LeaveDirectoryList() {
  if (view_.printTo != PrintTo::File) return true;
  if (directoryCheck_.IsPrintFilePathOK(view_.directory, ctx_.values.PgmDir)) return true;
  SetDirectory(DataDrive() + "\\");
  return false;
}

bool PrntDef::TypeNameKey(char c) {
  if (!IsRefusedNameKey(c)) return true;
  ctx_.ui.Error(kRefusedNameKeyMessage);
  return false;
}

void PrntDef::EditName(const std::string& text) {
  std::string name;
  for (char c : text) {
    if (name.size() >= static_cast<std::size_t>(kPrintFileNameMaxLength)) break;
    name += Cp1252Upper(c);
  }
  if (name == view_.name) return;
  view_.name = name;
  nameChecked_ = nameRefused_ = false;
  UpdatePathLabel();
}

bool PrntDef::LeaveName() {
  std::string name = view_.name;
  const bool ok = EditFileName(
      name, StarPlusInputsNow(choices_->PrintReportNum, ctx_.values, ctx_.formats, ctx_.clock),
      ctx_.ui);
  if (ok) {
    view_.name = name;
    UpdatePathLabel();
  }
  nameChecked_ = ok;
  nameRefused_ = !ok;
  return ok;
}

bool PrntDef::NameReady() {
  if (nameChecked_) return true;
  if (nameRefused_) return false;  // its message was shown when the field was left
  return LeaveName();
}

bool PrntDef::Ok() {
  if (view_.printTo == PrintTo::File &&
      !directoryCheck_.IsPrintFilePathOK(view_.directory, ctx_.values.PgmDir))
    return false;
  if (!IsAllDone()) return false;
  // An exit choice clears the path; the folder remembered for the next report stays.
  if (!Trim(choices_->PrintFilePath).empty())
    WriteHostValue(ctx_.registry, ctx_.ui, kDefPrintToFilePath, choices_->PrintFilePath);
  if (pdfWanted_ && !CheckPdfComponent(ctx_.registry, ctx_.fs, ctx_.ui, ctx_.values.PgmDir))
    return false;  // still open; the close box then prints nothing
  closedByButton_ = true;
  return true;
}

bool PrntDef::IsAllDone() {
  pdfWanted_ = false;
  if (view_.formatEnabled && view_.format == FileFormat::None) view_.format = FileFormat::Text;
  return view_.mainChoiceVisible ? MainChoiceDone() : FileExistsDone();
}

bool PrntDef::PdfChosen() {
  pdfWanted_ = true;
  choices_->PrintDest = kPrintToPrinter;
  if (view_.printer < 0) return false;
  choices_->PrinterName = view_.printers[view_.printer];
  return true;
}

bool PrntDef::CreateFile(const std::string& message) {
  if (CreateEmptyPrintFile(choices_->PrintPathFileName, true, ctx_.fs)) return true;
  ctx_.ui.Error(message);
  return false;
}

void PrntDef::ClearResults() {
  PrintChoices& c = *choices_;
  c.PrintDest = kPrintNothing;
  c.PrntNum = "10";
  c.PrinterName.clear();
  c.PrintFilePath.clear();
  c.PrintFileName.clear();
  c.PrintPathFileName.clear();
  c.PrintSize.clear();
  settings_.PrntToFile = "N";
}

bool PrntDef::MainChoiceDone() {
  PrintChoices& c = *choices_;
  switch (view_.printTo) {
    case PrintTo::Printer:
      c.PrintToScreen = false;
      if (view_.printer < 0) return false;
      printerChoice_.Choose(view_.printer);
      c.PrintDest = kPrintToPrinter;
      c.PrntNum = "10";
      c.PrinterName = view_.printers[view_.printer];
      return true;
    case PrintTo::File: {
      // A name still in the field (OK pressed without leaving it) gets the field's checks and
      // its pattern expanded before a file is made of it.
      if (!NameReady()) return false;
      if (!IsPrintFileNameOK(view_.name, PdfFormat(), ctx_.ui)) return false;
      c.PrintDest = kPrintToFile;
      c.PrintToScreen = false;
      c.PrntNum = "10";
      c.PrintFileName = view_.name;
      c.PrintFilePath = view_.directory;
      c.PrintPathFileName = DoPrintPathFileName(view_.directory, view_.name);
      if (PdfFormat() && !PdfChosen()) return false;
      if (DoesPrintFileExist(c.PrintPathFileName, ctx_.fs)) {
        view_.mainChoiceVisible = false;
        view_.fileExistsVisible = true;
        ClickFileExists(FileExists::Delete);
        return false;
      }
      if (PdfFormat()) return true;  // the PDF is made by the report itself
      return CreateFile("Unable to create the file " + c.PrintPathFileName + ".");
    }
    case PrintTo::Exit:
      c.PrintToScreen = false;
      ClearResults();
      return true;
    case PrintTo::Screen:
    case PrintTo::None:
      return false;
  }
  return false;
}

bool PrntDef::FileExistsDone() {
  PrintChoices& c = *choices_;
  switch (view_.fileExists) {
    case FileExists::Delete: {
      if (PdfFormat() && !PdfChosen()) return false;
      const FsResult done = PdfFormat() ? ctx_.fs.DeleteFile(c.PrintPathFileName)
                                        : CreateEmptyPrintFile(c.PrintPathFileName, false, ctx_.fs);
      if (!done) {
        ctx_.ui.Error("Unable to delete and re-create the file " + c.PrintPathFileName);
        return false;
      }
      if (!PdfFormat()) c.PrintDest = kPrintToFile;
      return true;
    }
    case FileExists::Append:
      if (PdfFormat()) {
        ctx_.ui.Information(
            "The 'Append' option is not available when creating a report in PDF format.");
        return false;
      }
      c.PrintDest = kPrintToFile;
      return true;
    case FileExists::Change:
      if (!NameReady()) return false;
      if (!IsPrintFileNameOK(view_.name, PdfFormat(), ctx_.ui)) return false;
      c.PrntNum = "10";
      c.PrintFileName = view_.name;
      c.PrintFilePath = view_.directory;
      c.PrintPathFileName = DoPrintPathFileName(view_.directory, view_.name);
      if (DoesPrintFileExist(c.PrintPathFileName, ctx_.fs)) {
        ClickFileExists(FileExists::Delete);
        return false;
      }
      if (PdfFormat()) return PdfChosen();
      c.PrintDest = kPrintToFile;
      return CreateFile("Unable to create the file " + c.PrintPathFileName);
    case FileExists::Printer:
      if (view_.printer < 0) return false;
      printerChoice_.Choose(view_.printer);
      c.PrntNum = "10";
      c.PrinterName = view_.printers[view_.printer];
      c.PrintFilePath.clear();
      c.PrintFileName.clear();
      c.PrintPathFileName.clear();
      settings_.PrntToFile = "N";
      c.PrintDest = kPrintToPrinter;
      return true;
    case FileExists::Exit:
      c.PrintToScreen = false;
      ClearResults();
      return true;
    case FileExists::Screen:
    case FileExists::None:
      return false;
  }
  return false;
}

void PrntDef::Cancel() {
  ClearResults();
  choices_->PrintToScreen = false;
  view_.nameEnabled = view_.directoryEnabled = view_.driveEnabled = false;
  view_.printersEnabled = false;
  view_.name.clear();
  closedByButton_ = true;
}

void PrntDef::Closed() {
  if (!closedByButton_ && choices_ != nullptr) {
    choices_->PrintToScreen = false;
    choices_->PrintDest = kPrintNothing;
    view_.nameEnabled = view_.directoryEnabled = view_.driveEnabled = false;
    view_.printersEnabled = false;
    directoryCheck_.ForgetDataPaths();
  }
  settingsStore_.PrintTB().Close();
}

}  // namespace upfold
