#pragma once
// The printing choices of upfold-import: the dialog's own logic, driven as a person would
// drive it. For the reject report (report 44) --report-file chooses File with that folder and
// name, --printer chooses that printer; otherwise, and for every other report, the dialog is
// accepted as it opens with the report's saved settings. When the print file exists, the
// report is appended to it: with nobody to ask, an earlier report is never emptied. A choice
// the dialog would not accept prints nothing.

#include <string>

#include "print/PrintChoicesAsker.h"
#include "print/PrntDef.h"

namespace upfold {

struct AppContext;
class PrinterList;
class Printers;

class AnsweredPrintChoices final : public PrintChoicesAsker {
 public:
  // reportFile: a DOS path or empty; printer: a printer list entry or empty (not both).
  // Everything given must outlive this object.
  AnsweredPrintChoices(AppContext& ctx, Printers& printers, PrinterList& list,
                       std::string reportFile, std::string printer);

  bool Ask(int reportNumber, PrintChoices& choices) override;

 private:
  // The answers of the command line; false when the dialog would not take them.
  bool Choose(int reportNumber);
  // OK, and once more with "Append to the existing file" when the file exists.
  bool Accept();

  AppContext& ctx_;
  PrntDef dialog_;
  std::string reportFile_;
  std::string printer_;
};

}  // namespace upfold
