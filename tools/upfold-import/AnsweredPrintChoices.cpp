#include "AnsweredPrintChoices.h"

#include "app/AppContext.h"
#include "app/Ui.h"
#include "print/PrintChoices.h"

namespace upfold {

AnsweredPrintChoices::AnsweredPrintChoices(AppContext& ctx, Printers& printers, PrinterList& list,
                                           std::string reportFile, std::string printer)
    : ctx_(ctx),
      dialog_(ctx, printers, list),
      reportFile_(std::move(reportFile)),
      printer_(std::move(printer)) {}

bool AnsweredPrintChoices::Ask(int reportNumber, PrintChoices& choices) {
  if (!dialog_.Open(reportNumber, choices)) return false;
  const bool accepted = Choose(reportNumber) && Accept();
  if (!accepted) {
    // The dialog would stay open; here nothing more can be chosen.
    dialog_.Cancel();
    ctx_.ui.Information("No destination was chosen for report " + std::to_string(reportNumber) +
                        "; nothing is printed.");
  }
  dialog_.Closed();
  return accepted && choices.PrintDest != kPrintNothing;
}

bool AnsweredPrintChoices::Choose(int reportNumber) {
  if (reportNumber != kImportReport) return true;
  if (!reportFile_.empty()) {
    const std::size_t slash = reportFile_.find_last_of('\\');
    dialog_.ClickPrintTo(PrintTo::File);
    if (slash != std::string::npos) dialog_.ChangeDirectory(reportFile_.substr(0, slash));
    dialog_.EditName(slash == std::string::npos ? reportFile_ : reportFile_.substr(slash + 1));
    return dialog_.LeaveName();
  }
  if (!printer_.empty()) {
    dialog_.ClickPrintTo(PrintTo::Printer);
    const std::vector<std::string>& listed = dialog_.View().printers;
    for (std::size_t i = 0; i < listed.size(); ++i) {
      if (listed[i] == printer_) {
        dialog_.ChoosePrinter(static_cast<int>(i));
        return true;
      }
    }
    ctx_.ui.Error("The printer " + printer_ + " is not available.");
    return false;
  }
  return true;
}

bool AnsweredPrintChoices::Accept() {
  if (dialog_.Ok()) return true;
  if (!dialog_.View().fileExistsVisible) return false;
  dialog_.ClickFileExists(FileExists::Append);
  return dialog_.Ok();
}

}  // namespace upfold
