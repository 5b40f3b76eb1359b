#pragma once
// The run's list of printer names, as the printing choices offer them and the reports select
// a printer by. Built once, on first need, and never rebuilt.

#include <string>
#include <vector>

namespace upfold {

class Printers;
class Ui;

// The list entry for an installed printer's name: an old-style name "<printer> on <port>" is
// listed as the text before " on " (only when " on " stands at its second character or later).
std::string PrinterListEntry(const std::string& printerName);

class PrinterList {
 public:
  // Fills the list from the installed printers, in their order, the first time it is called;
  // later calls do nothing. With no printer installed the information box is shown and the
  // list stays empty (and is not asked for again).
  void Build(Printers& printers, Ui& ui);

  bool Built() const { return built_; }
  const std::vector<std::string>& Entries() const { return entries_; }
  bool Empty() const { return entries_.empty(); }
  // The installed printer behind the first entry exactly equal to entry; empty when none.
  std::string PrinterNameOf(const std::string& entry) const;

 private:
  bool built_ = false;
  std::vector<std::string> entries_;
  std::vector<std::string> printerNames_;  // parallel to entries_
};

}  // namespace upfold
