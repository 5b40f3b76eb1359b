#include "print/ui/QtPrintChoicesAsker.h"

#include "print/PrintChoices.h"
#include "print/PrntDef.h"
#include "print/ui/PrntDefF.h"

namespace upfold {

QtPrintChoicesAsker::QtPrintChoicesAsker(PrntDef& logic, QWidget* parent)
    : logic_(logic), dialog_(std::make_unique<PrntDefF>(logic, parent)) {}

QtPrintChoicesAsker::~QtPrintChoicesAsker() = default;

bool QtPrintChoicesAsker::Ask(int reportNumber, PrintChoices& choices) {
  choices.PrintDest = kPrintNothing;
  if (!logic_.Open(reportNumber, choices)) return false;
  dialog_->Refresh();
  dialog_->exec();
  logic_.Closed();
  return choices.PrintDest != kPrintNothing;
}

}  // namespace upfold
