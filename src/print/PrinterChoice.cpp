#include "print/PrinterChoice.h"

#include "data/FixedText.h"
#include "print/PrinterList.h"

namespace upfold {

Orientation OrientationOfCode(const std::string& printSize) {
  return printSize == "C" ? Orientation::Landscape : Orientation::Portrait;
}

std::string OrientationCode(Orientation orientation) {
  return orientation == Orientation::Landscape ? "C" : "R";
}

PrinterChoiceView PrinterChoice::ShowAvailPrinters(const PrinterList& list,
                                                   const std::string& printerName,
                                                   std::string& printSize) {
  PrinterChoiceView view;
  view.entries = list.Entries();
  const std::string wanted = Trim(printerName);
  for (std::size_t i = 0; i < view.entries.size(); ++i) {
    if (Trim(view.entries[i]) == wanted) {
      remembered_ = static_cast<int>(i);
      break;
    }
  }
  const int count = static_cast<int>(view.entries.size());
  if (count > 0) view.selected = remembered_ >= 0 && remembered_ < count ? remembered_ : 0;
  view.orientation = OrientationOfCode(printSize);
  printSize = OrientationCode(view.orientation);
  return view;
}

}  // namespace upfold
