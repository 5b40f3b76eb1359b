#include "AnsweredPrintChoices.h"

#include "app/AppContext.h"
#include "app/HostRegistry.h"
#include "app/Ui.h"
#include "data/FixedText.h"
#include "print/NewPrintFile.h"
#include "print/PrintDirectoryCheck.h"
#include "print/PrintFileName.h"
#include "print/PrintSettings.h"
#include "print/PrinterList.h"

namespace upfold {

AnsweredPrintChoices::AnsweredPrintChoices(AppContext& ctx, PrinterList& list, Printers& printers,
                                           std::string reportFile, std::string printer)
    : ctx_(ctx),
      list_(list),
      printers_(printers),
      reportFile_(std::move(reportFile)),
      printer_(std::move(printer)) {}

bool AnsweredPrintChoices::Ask(int reportNumber, PrintChoices& choices) {
  // As every opening of the dialog starts.
  choices.PrintToScreen = false;
  choices.PrintDest = kPrintNothing;
  choices.PrinterName.clear();
  choices.PrintFilePath.clear();
  choices.PrintFileName.clear();
  choices.PrintPathFileName.clear();
  choices.PrntNum = "10";
  choices.PrintReportNum = reportNumber;
  list_.Build(printers_, ctx_.ui);

  PrintSettingsStore store(ctx_, list_);
  PrintSettings settings;
  if (!store.GetPrintTBInfo(choices, settings)) return false;
  const PrinterChoiceView offered =
      printerChoice_.ShowAvailPrinters(list_, choices.PrinterName, choices.PrintSize);

  if (reportNumber == kImportReport && !reportFile_.empty()) {
    const std::size_t slash = reportFile_.find_last_of('\\');
    const std::string directory =
        slash == std::string::npos ? ctx_.fs.CurrentDirectory() : reportFile_.substr(0, slash);
    return ToFile(choices, directory,
                  slash == std::string::npos ? reportFile_ : reportFile_.substr(slash + 1));
  }
  if (reportNumber == kImportReport && !printer_.empty()) return ToPrinter(choices, printer_);

  if (settings.PrntToFile != "N") {
    if (Trim(choices.PrintFilePath).empty())
      choices.PrintFilePath = ReadHostValue(ctx_.registry, ctx_.ui, "DefPrintToFilePath");
    if (Trim(choices.PrintFilePath).empty())
      choices.PrintFilePath = ctx_.values.DataPath.substr(0, 2) + "\\";
    // Checks the saved name (with its message) and makes the folder exist.
    GetNewPrintFileName(choices, false, ctx_.values.DataPath, ctx_.fs, ctx_.ui);
    if (choices.PrintFileName.empty()) return false;
    return ToFile(choices, choices.PrintFilePath, choices.PrintFileName);
  }
  // The dialog's printer: the saved one when it is listed, else the one selected last.
  if (offered.selected < 0 || offered.selected >= static_cast<int>(offered.entries.size())) {
    ctx_.ui.Error("There is no printer to print the report on.");
    return false;
  }
  return ToPrinter(choices, offered.entries[offered.selected]);
}

bool AnsweredPrintChoices::ToFile(PrintChoices& choices, const std::string& directory,
                                  const std::string& name) {
  PrintDirectoryCheck check(ctx_.registry, ctx_.fs, ctx_.ui);
  if (!check.IsPrintFilePathOK(directory, ctx_.values.PgmDir)) return false;
  const std::string path = DoPrintPathFileName(directory, name);
  if (!ctx_.fs.DirectoryExists(directory)) {
    ctx_.ui.Error("Unable to create the file " + path + ".");
    return false;
  }
  if (!DoesPrintFileExist(path, ctx_.fs) && !CreateEmptyPrintFile(path, true, ctx_.fs)) {
    ctx_.ui.Error("Unable to create the file " + path + ".");
    return false;
  }
  choices.PrintDest = kPrintToFile;
  choices.PrintToScreen = false;
  choices.PrntNum = "10";
  choices.PrintFilePath = directory;
  choices.PrintFileName = name;
  choices.PrintPathFileName = path;
  Accepted(choices);
  return true;
}

bool AnsweredPrintChoices::ToPrinter(PrintChoices& choices, const std::string& entry) {
  bool listed = false;
  for (const std::string& e : list_.Entries()) listed = listed || e == entry;
  if (!listed) {
    ctx_.ui.Error("The printer " + entry + " is not available.");
    return false;
  }
  choices.PrintDest = kPrintToPrinter;
  choices.PrintToScreen = false;
  choices.PrntNum = "10";
  choices.PrinterName = entry;
  Accepted(choices);
  return true;
}

void AnsweredPrintChoices::Accepted(const PrintChoices& choices) {
  WriteHostValue(ctx_.registry, ctx_.ui, "DefPrintToFilePath", choices.PrintFilePath);
}

}  // namespace upfold
