#pragma once
// The conflicting-program check. Two other programs of the suite work on the same host batch
// files: the transaction entry/alter program (window class TBraskF) and the generic import
// program (TKelvoF). An import or a merge must not run while either is open on this desktop.

#include <array>
#include <string>

namespace upfold {

class Desktop;
class Ui;
struct TopLevelWindow;

// The class names of the top-level windows that have child windows, rebuilt on every check.
struct WindowClassTable {
  static constexpr std::size_t kCapacity = 1000;
  static constexpr std::size_t kMaxClassLength = 255;

  std::array<std::string, kCapacity> entries;
  int count = 0;
  // Windows past the capacity are not stored, but they are still compared with the wanted
  // class, so a full table never hides a running program.
  std::string wanted;
  bool wantedPastCapacity = false;
};

// Enumeration callback: stores the class name (at most 255 characters) of a window with child
// windows in the next entry. Returns false to end the enumeration, which happens only once the
// wanted class was seen past the capacity.
bool CollectWindowClass(const TopLevelWindow& window, WindowClassTable& table);

// True when a window of class windowClass (compared without regard to case and to surrounding
// blanks) is open, after telling the user "<programLabel> is running. You must close it before
// running <action>."; true also when the check could not be made (after an error box); false
// when no such window exists. diagSwitch "R" (any case) shows a trace line per stored window.
bool IsThisRunning(const std::string& windowClass, const std::string& programLabel,
                   const std::string& action, Ui& ui, Desktop& desktop,
                   const std::string& diagSwitch);

// The actions of the two commands that run the check.
inline constexpr const char* kImportAction = "Remote batch import";
inline constexpr const char* kMergeAction = "Merge remote batch";

// The checks a command makes before it touches the host batch: the transaction entry/alter
// program, then the generic import program; stops at the first that runs. True when one runs
// (or the check failed) and the command must stop.
bool IsConflictingProgramRunning(const std::string& action, Ui& ui, Desktop& desktop,
                                 const std::string& diagSwitch);

}  // namespace upfold
