#include "merge/UnMerged.h"

#include <cstring>
#include <utility>

#include "app/AppContext.h"
#include "app/Ui.h"
#include "data/FixedText.h"
#include "platform/DosFs.h"

namespace upfold {

namespace {

const char* const kStatusTexts[] = {"Print and Merge", "", "Append", "Erase the current batch",
                                    "Exit"};

}  // namespace

UnMerged::UnMerged(AppContext& ctx, std::string batchName, std::string batchDate)
    : ctx_(ctx), batchName_(std::move(batchName)), batchDate_(std::move(batchDate)) {}

std::string UnMerged::DataPathText() const {
  return "Data path: " + ctx_.values.DataPath;
}

std::vector<std::string> UnMerged::MemoLines() const {
  return {"Your last batch has not been merged.", " ", "Batch Name: " + Trim(batchName_),
          "Dated " + batchDate_};
}

int UnMerged::DisabledOption() {
  for (std::size_t i = 0; i < kUnMergedCaptions.size(); ++i)
    if (std::strchr(kUnMergedCaptions[i], '(') != nullptr) return static_cast<int>(i);
  return -1;
}

std::string UnMerged::Choose(int position) {
  if (position < 0 || position >= static_cast<int>(kUnMergedCaptions.size()) ||
      position == DisabledOption())
    return {};
  outcome_.stop = true;
  outcome_.choice = position;
  if (position == kPrintAndMerge || position == kAppend) outcome_.stop = false;
  if (position == kErase &&
      ctx_.ui.Confirm("Are you sure you want to erase the transaction batch?")) {
    const std::string stem = ctx_.values.DataPath + "\\";
    const std::string& ws = ctx_.values.WSID;
    // A file already gone counts as erased, so choosing "Erase" twice does not stop the import.
    for (const char* kind : {"Trin", "Desc"}) {
      const std::string path = stem + kind + ws + ".s";
      if (ctx_.fs.FileExists(path) && !ctx_.fs.DeleteFile(path)) {
        ctx_.ui.Plain("Unable to delete file " + stem + kind + ws + ".S at this time.");
        return kStatusTexts[position];
      }
    }
    outcome_.stop = false;
  }
  return kStatusTexts[position];
}

bool UnMerged::Ok() {
  if (outcome_.choice >= 0) return true;
  ctx_.ui.Plain(kChooseAnOption);
  return false;
}

std::string UnMerged::Cancel() {
  outcome_.stop = true;
  return Choose(kExitUnchanged);
}

bool UnMerged::CanClose() {
  return Ok();
}

std::optional<UnMergedOutcome> AnsweredUnMergedDialog::Show(const std::string& batchName,
                                                            const std::string& batchDate) {
  ++shown;
  lastName = batchName;
  lastDate = batchDate;
  UnMerged dialog(ctx_, batchName, batchDate);
  if (option_ == kExitUnchanged) {
    dialog.Cancel();
  } else {
    dialog.Choose(option_);
    if (!dialog.Ok()) return UnMergedOutcome{};
  }
  return dialog.Outcome();
}

}  // namespace upfold
