#include "import/Recovery.h"

#include <charconv>
#include <optional>

#include "app/AppContext.h"
#include "app/DateConversions.h"
#include "app/HostRegistry.h"
#include "app/Ui.h"
#include "data/FixedText.h"
#include "data/VantroDM.h"
#include "import/RunJournalFile.h"

namespace upfold {

long long ProgressCount(const std::string& text) {
  const std::string trimmed = Trim(text);
  const char* first = trimmed.data();
  const char* last = first + trimmed.size();
  if (first != last && *first == '+') ++first;
  long long value = 0;
  const auto [end, error] = std::from_chars(first, last, value);
  return error == std::errc() && end == last && first != last ? value : 0;
}

Recovery::Recovery(AppContext& ctx, VantroDM& dm, RunJournalFile& journal)
    : ctx_(ctx), dm_(dm), journal_(journal) {}

bool Recovery::ClearProgress() {
  return dm_.WriteToRegistry("", "", "");
}

bool Recovery::ClearOrSay() {
  if (ClearProgress()) return true;
  ctx_.ui.Plain("Unable to delete data from registry at this time.");
  return false;
}

bool Recovery::ReadFromRegistry() {
  continueInterrupted_ = false;
  const auto read = [this](const char* name, const char* blank) {
    std::string value = ReadHostValue(ctx_.registry, ctx_.ui, name);
    return Trim(value).empty() ? std::string(blank) : value;
  };
  std::string remoteFile = ReadHostValue(ctx_.registry, ctx_.ui, "UpfoldRemoteFile");
  std::string date = read("UpfoldDate", "010101");
  std::string processed = read("UpfoldNumProcessed", "0");
  std::string inFile = read("UpfoldNumInFile", "0");
  read("UpfoldNumReject", "0");  // read like the others, though nothing depends on it
  // Counts that are no integers are shown, and count, as 0.
  for (std::string* count : {&processed, &inFile})
    if (ProgressCount(*count) == 0 && Trim(*count) != "0") *count = "0";

  bool interrupted =
      !Trim(remoteFile).empty() && ProgressCount(inFile) - ProgressCount(processed) > 0;
  // The journal also knows of a run whose program ended during its work, and how far each
  // batch really got; it speaks once per import command.
  if (!journal_.Resuming()) {
    if (const std::optional<InterruptedBatch> batch = journal_.FindInterrupted()) {
      interrupted = true;
      remoteFile = batch->remoteFile;
      if (!batch->fileDate.empty()) date = batch->fileDate;
      processed = std::to_string(batch->recordsDone);
      inFile = std::to_string(batch->recordCount);
    }
  }
  if (!interrupted) return ClearOrSay();

  const std::string shownDate = FileDateToDisplayDate(date, false, ctx_.formats, ctx_.ui);
  const Answer answer = ctx_.ui.Ask(
      MessageKind::Question,
      "The processing of your last remote file was interrupted!\r\rRemote file name: " +
          Trim(remoteFile) + "\rProcessing date: " + shownDate + "\r\r" + processed + " of " +
          inFile +
          " records were processed.\r\rDo you want to continue processing the interrupted "
          "file?\r(Cancel exits all remote processing.)\r\r",
      Buttons::YesNoCancel);
  switch (answer) {
    case Answer::Yes:
      if (!journal_.PrepareResume()) return false;
      continueInterrupted_ = true;
      return true;
    case Answer::No:
      if (!journal_.StartAfresh()) return false;
      return ClearOrSay();
    case Answer::Cancel:
    default:
      return false;
  }
}

}  // namespace upfold
