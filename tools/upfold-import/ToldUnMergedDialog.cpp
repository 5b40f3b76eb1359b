#include "ToldUnMergedDialog.h"

#include "HeadlessUi.h"

namespace upfold {

std::optional<UnMergedOutcome> ToldUnMergedDialog::Show(const std::string& batchName,
                                                        const std::string& batchDate) {
  std::string memo;
  for (const std::string& line : UnMerged(ctx_, batchName, batchDate).MemoLines())
    memo += (memo.empty() ? "" : "\r") + line;
  std::fputs(HeadlessUi::Entry(MessageKind::Question, memo).c_str(), out_);
  const int shown = option_ >= 0 && option_ < static_cast<int>(kUnMergedCaptions.size())
                        ? option_
                        : static_cast<int>(kExitUnchanged);
  std::fprintf(out_, "[answer] %s\n", kUnMergedCaptions[shown]);
  std::fflush(out_);
  return answered_.Show(batchName, batchDate);
}

}  // namespace upfold
