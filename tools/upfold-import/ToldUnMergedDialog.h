#pragma once
// The unmerged-batch dialog of upfold-import: answered from the command line, and told on
// standard error like a question, its memo as "[question] ..." and the option taken as
// "[answer] ...", so that a log shows why an import stopped or what became of the batch.

#include <cstdio>
#include <optional>
#include <string>

#include "merge/UnMerged.h"

namespace upfold {

class ToldUnMergedDialog final : public UnMergedDialog {
 public:
  // option: an UnMergedOption. ctx must outlive this object.
  ToldUnMergedDialog(AppContext& ctx, int option, std::FILE* out = stderr)
      : ctx_(ctx), option_(option), answered_(ctx, option), out_(out) {}

  std::optional<UnMergedOutcome> Show(const std::string& batchName,
                                      const std::string& batchDate) override;

 private:
  AppContext& ctx_;
  int option_;
  AnsweredUnMergedDialog answered_;
  std::FILE* out_;
};

}  // namespace upfold
