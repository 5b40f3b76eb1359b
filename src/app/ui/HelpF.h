#pragma once
// The help window: the program's own help pages (what it does, how each command is used),
// kept as HTML in the program's resources. Controls: HelpBrowser, ContentsBB, BackBB, CloseBB.

#include <QDialog>

class QTextBrowser;

namespace upfold {

class HelpF : public QDialog {
  Q_OBJECT

 public:
  // The contents page's address; every other page is linked from it.
  static const char* const kContentsUrl;

  explicit HelpF(QWidget* parent);

  // Shows the contents page and brings the window to the front.
  void ShowContents();
  QTextBrowser* Browser() const { return browser_; }

 private:
  QTextBrowser* browser_;
};

}  // namespace upfold
