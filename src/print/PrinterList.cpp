#include "print/PrinterList.h"

#include "app/Ui.h"
#include "platform/printers/Printers.h"

namespace upfold {

std::string PrinterListEntry(const std::string& printerName) {
  const auto on = printerName.find(" on ");
  return on != std::string::npos && on > 0 ? printerName.substr(0, on) : printerName;
}

void PrinterList::Build(Printers& printers, Ui& ui) {
  if (built_) return;
  built_ = true;
  printerNames_ = printers.Names();
  for (const std::string& name : printerNames_) entries_.push_back(PrinterListEntry(name));
  if (entries_.empty()) {
    ui.Information(
        "You have no windows printers!\r\rYou must have at least one windows printer in order "
        "to print MARROWFIELD reports.");
  }
}

std::string PrinterList::PrinterNameOf(const std::string& entry) const {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i] == entry) return printerNames_[i];
  }
  return {};
}

}  // namespace upfold
