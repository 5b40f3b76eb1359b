#pragma once
// What the main window's flows ask of the window itself. The Qt main window implements it;
// tests use a fake. Texts are Windows-1252 bytes.

#include <string>
#include <vector>

namespace upfold {

class MainView {
 public:
  virtual ~MainView() = default;

  // Menu item "Remote conflicts check permissions".
  virtual void SetConflictsEnabled(bool enabled) = 0;
  // Menu item "Delete backups of imported remote batches...".
  virtual void SetDeleteBackupsEnabled(bool enabled) = 0;
  // Check mark of the menu item "KVX Interrupt".
  virtual void SetKvxInterruptChecked(bool checked) = 0;
  // The import tool button.
  virtual void SetImportEnabled(bool enabled) = 0;

  // The group box " Process these files?  " and its list of chosen batches.
  virtual bool ProcessBoxVisible() const = 0;
  virtual void SetProcessBoxVisible(bool visible) = 0;
  virtual std::vector<std::string> ProcessListLines() const = 0;
  virtual void SetProcessListLines(const std::vector<std::string>& lines) = 0;
  // Row of the list's current line; -1 when there is none.
  virtual int ProcessListCurrentRow() const = 0;

  // The progress line under the title (hidden at start).
  virtual void ShowProgressLine(const std::string& text) = 0;
  virtual void HideProgressLine() = 0;
};

}  // namespace upfold
