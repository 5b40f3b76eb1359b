#pragma once
// Before each remote batch of an import the progress values of the previous run are
// examined; when that run fell short the person chooses to continue it into the existing
// host batch, to start afresh, or to stop. The registry values keep the meaning the suite
// gives them; the run journal knows exactly how far each batch got, so that continuing
// posts nothing twice, and it also tells of a run whose program was ended during its work.

#include <string>

namespace upfold {

struct AppContext;
class RunJournalFile;
class VantroDM;

class Recovery {
 public:
  // Everything given must outlive this object.
  Recovery(AppContext& ctx, VantroDM& dm, RunJournalFile& journal);

  // Reads the progress values and asks when an import was interrupted. False stops the import
  // command (Cancel, or the values could not be cleared).
  bool ReadFromRegistry();
  // Set by ReadFromRegistry: the existing host batch is to be used as it stands.
  bool ContinueInterrupted() const { return continueInterrupted_; }
  // The progress values cleared; false after the registry's message.
  bool ClearProgress();

 private:
  bool ClearOrSay();

  AppContext& ctx_;
  VantroDM& dm_;
  RunJournalFile& journal_;
  bool continueInterrupted_ = false;
};

// A count as the progress values hold it: a decimal integer, surrounding blanks allowed;
// anything else counts as 0.
long long ProgressCount(const std::string& text);

}  // namespace upfold
