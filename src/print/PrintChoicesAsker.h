#pragma once
// Opens the printing choices for one report and leaves the result in the run's PrintChoices.
// The desktop program shows the dialog; upfold-import answers from its command line; tests
// answer from a script. Used by the import command (report 44), the reject report's retry (41)
// and the merge (38).

#include "print/PrintChoices.h"

namespace upfold {

class PrintChoicesAsker {
 public:
  virtual ~PrintChoicesAsker() = default;
  // True when the person chose a destination (choices.PrintDest is then 100 or 255, and the
  // other values are set as the dialog sets them); false when nothing was chosen (PrintDest 0).
  virtual bool Ask(int reportNumber, PrintChoices& choices) = 0;
};

}  // namespace upfold
