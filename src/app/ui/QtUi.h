#pragma once
// The Ui of the desktop program: Qt message boxes, the override cursor, a file-open dialog
// that shows host folders and answers in DOS paths, and event processing.

#include <QString>

#include "app/Ui.h"

namespace upfold {

class Registry;

// A Windows-1252 text for display: "\r" (or "\r\n") becomes a new line.
QString ToDisplayText(const std::string& text);
// Text typed or shown in a window back to Windows-1252 bytes.
std::string FromDisplayText(const QString& text);
// A file filter of the form "Description|pattern;pattern|..." in Qt's form
// "Description (pattern pattern);;...".
QString QtFileFilter(const std::string& filter);

class QtUi : public Ui {
 public:
  // registry: where the drive mapping of the file dialog is read; may be null (C: is /).
  explicit QtUi(const Registry* registry);

  void Show(MessageKind kind, const std::string& text) override;
  Answer Ask(MessageKind kind, const std::string& text, Buttons buttons) override;
  // Cursor calls do not nest: one arrow call undoes any number of hourglass calls.
  void HourglassCursor() override;
  void ArrowCursor() override;
  std::vector<std::string> OpenFiles(const OpenFilesRequest& request) override;
  void ProcessMessages() override;

 private:
  const Registry* registry_;
};

}  // namespace upfold
