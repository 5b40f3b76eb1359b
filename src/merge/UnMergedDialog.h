#pragma once
// What the host batch check needs of the unmerged-batch dialog: its options, its outcome and
// a way to show it. The desktop program shows the Qt window, upfold-import answers from its
// command line, tests from a script.

#include <array>
#include <optional>
#include <string>

namespace upfold {

// Positions in the option list " Choose one ".
enum UnMergedOption : int {
  kPrintAndMerge = 0,
  kPrintOnly = 1,  // shown, never enabled
  kAppend = 2,
  kErase = 3,
  kExitUnchanged = 4,
};

inline constexpr std::array<const char*, 5> kUnMergedCaptions = {
    "Print and merge the batch", "Print (but do not merge)  ", "Append new records to the batch",
    "Erase the batch", "Exit without affecting the batch"};

inline constexpr const char* kChooseAnOption = "Please choose an option.";

// What the host batch check reads once the dialog has closed.
struct UnMergedOutcome {
  int choice = -1;   // the chosen position; -1 when none
  bool stop = true;  // nothing further is done and the import stops
};

class UnMergedDialog {
 public:
  virtual ~UnMergedDialog() = default;
  // Shows the dialog modally for the batch; nullopt when its creation did not complete.
  virtual std::optional<UnMergedOutcome> Show(const std::string& batchName,
                                              const std::string& batchDate) = 0;
};

}  // namespace upfold
