#pragma once
// Window tests open real modal dialogs and message boxes. A ModalScript answers them in turn:
// each modal window that opens while it lives is handed to the next handler, which must close
// it. A modal window with no handler left is closed and fails the test, so nothing hangs.

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>

class QMessageBox;

namespace upfold::test {

class ModalScript {
 public:
  ModalScript();
  ~ModalScript();  // fails the test for handlers that were never used
  ModalScript(const ModalScript&) = delete;
  ModalScript& operator=(const ModalScript&) = delete;

  void Then(std::function<void(QWidget* dialog)> handler);
  // How many modal windows have opened so far.
  int Seen() const { return seen_; }

 private:
  void Poll();

  QTimer timer_;
  QPointer<QWidget> current_;
  std::deque<std::function<void(QWidget*)>> handlers_;
  int seen_ = 0;
};

// Clicks the message box's button with the given text ("&Yes" style mnemonics ignored).
void ClickButton(QMessageBox* box, const QString& text);

}  // namespace upfold::test
