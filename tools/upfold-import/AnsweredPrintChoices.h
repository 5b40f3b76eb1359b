#pragma once
// The printing choices of upfold-import, answered without a dialog. The reject report
// (report 44) goes where the command line says: --report-file or --printer. Otherwise, and
// for every other report, the report's saved settings are taken as the dialog opens with
// them and accepted as its OK would accept them. A print file is created when missing and
// appended to when it exists: with nobody to ask, an earlier report is never emptied.

#include <string>

#include "print/PrintChoicesAsker.h"
#include "print/PrinterChoice.h"

namespace upfold {

struct AppContext;
class PrinterList;
class Printers;

class AnsweredPrintChoices final : public PrintChoicesAsker {
 public:
  // reportFile: a DOS path or empty; printer: a printer list entry or empty (not both).
  // Everything given must outlive this object.
  AnsweredPrintChoices(AppContext& ctx, PrinterList& list, Printers& printers,
                       std::string reportFile, std::string printer);

  bool Ask(int reportNumber, PrintChoices& choices) override;

 private:
  bool ToFile(PrintChoices& choices, const std::string& directory, const std::string& name);
  bool ToPrinter(PrintChoices& choices, const std::string& entry);
  void Accepted(const PrintChoices& choices);

  AppContext& ctx_;
  PrinterList& list_;
  Printers& printers_;
  std::string reportFile_;
  std::string printer_;
  PrinterChoice printerChoice_;
};

}  // namespace upfold
