#pragma once
// The unmerged-batch dialog without its widgets. When an import is about to post into a host
// batch that still holds transactions of an earlier import, the person decides what happens
// to that batch: print and merge it, append to it, erase it, or leave it alone. Erasing is
// done here, at once; the other choices are carried out by the host batch check after the
// dialog has closed.

#include <optional>
#include <string>
#include <vector>

#include "merge/UnMergedDialog.h"

namespace upfold {

struct AppContext;

class UnMerged {
 public:
  // batchName and batchDate as read from the batch header. ctx must outlive this object.
  UnMerged(AppContext& ctx, std::string batchName, std::string batchDate);

  // Creation: the status panel's data path and the memo's four lines.
  std::string DataPathText() const;
  std::vector<std::string> MemoLines() const;
  // The option that can never be chosen: the first whose caption holds "(".
  static int DisabledOption();

  // An option was chosen; the status text to show (empty: leave the panel as it is). Erase
  // asks first and deletes both host files on Yes.
  std::string Choose(int position);
  // "OK": true when the dialog may close; otherwise the person was asked to choose.
  bool Ok();
  // "Cancel": the exit option with the stop flag set; returns its status text. The dialog
  // closes afterwards.
  std::string Cancel();
  // Closing by any other means: refused, after a message, while no option is chosen.
  bool CanClose();

  int Selected() const { return outcome_.choice; }
  const UnMergedOutcome& Outcome() const { return outcome_; }

 private:
  AppContext& ctx_;
  std::string batchName_;
  std::string batchDate_;
  UnMergedOutcome outcome_;
};

// A dialog answered with one option, as if the person had chosen it and pressed "OK" (the
// exit option as "Cancel"); an erase still asks its question through the Ui.
class AnsweredUnMergedDialog final : public UnMergedDialog {
 public:
  AnsweredUnMergedDialog(AppContext& ctx, int option) : ctx_(ctx), option_(option) {}
  std::optional<UnMergedOutcome> Show(const std::string& batchName,
                                      const std::string& batchDate) override;

  int shown = 0;
  std::string lastName, lastDate;

 private:
  AppContext& ctx_;
  int option_;
};

}  // namespace upfold
