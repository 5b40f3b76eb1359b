#pragma once
// The printing choices of the desktop program: the dialog's logic opened for the report,
// then the "Printing Choices" dialog shown modally until OK, Cancel or its close box.

#include <memory>

#include "print/PrintChoicesAsker.h"

class QWidget;

namespace upfold {

class PrntDef;
class PrntDefF;

class QtPrintChoicesAsker : public PrintChoicesAsker {
 public:
  // logic lives for the run; the dialog is made once, over parent.
  explicit QtPrintChoicesAsker(PrntDef& logic, QWidget* parent = nullptr);
  ~QtPrintChoicesAsker() override;

  // GetPrinterInfo in the single-report mode.
  bool Ask(int reportNumber, PrintChoices& choices) override;

  PrntDefF& Dialog() { return *dialog_; }

 private:
  PrntDef& logic_;
  std::unique_ptr<PrntDefF> dialog_;
};

}  // namespace upfold
