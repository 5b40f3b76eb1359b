#pragma once
// The printer and orientation offered at each opening of the printing choices. The position
// last selected in the printer choice is remembered for the whole run.

#include <string>
#include <vector>

#include "platform/printers/Printers.h"

namespace upfold {

class PrinterList;

// The orientation group's items, in order, and its hint.
inline constexpr const char* kPortraitItem = "Portrait";
inline constexpr const char* kLandscapeItem = "Landscape";
inline constexpr const char* kOrientationHint = "Orientation of printing on the page";

// PrintSize codes: "C" is landscape; "R", and every other code, portrait.
Orientation OrientationOfCode(const std::string& printSize);
std::string OrientationCode(Orientation orientation);  // "R" or "C"

struct PrinterChoiceView {
  std::vector<std::string> entries;  // the printer list, in order
  int selected = -1;                 // -1 when the list is empty
  Orientation orientation = Orientation::Portrait;
};

class PrinterChoice {
 public:
  // ShowAvailPrinters: the entry equal to printerName (surrounding blanks ignored on both
  // sides) becomes the remembered position; otherwise the remembered position stays. The
  // orientation follows printSize, which is set to its code ("R" or "C").
  PrinterChoiceView ShowAvailPrinters(const PrinterList& list, const std::string& printerName,
                                      std::string& printSize);

  // The user selected another entry.
  void Choose(int index) { remembered_ = index; }
  int Remembered() const { return remembered_; }

 private:
  int remembered_ = 0;
};

}  // namespace upfold
