#include "app/ui/HelpF.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

// The pages live in a static library: their resource must be registered by name.
static void RegisterHelpPages() { Q_INIT_RESOURCE(upfold_help); }

namespace upfold {

const char* const HelpF::kContentsUrl = "qrc:/help/contents.html";

HelpF::HelpF(QWidget* parent) : QDialog(parent), browser_(new QTextBrowser) {
  RegisterHelpPages();
  setWindowTitle(QStringLiteral("Marrowfield Help"));
  setModal(false);

  browser_->setObjectName(QStringLiteral("HelpBrowser"));
  browser_->setOpenLinks(true);
  browser_->setOpenExternalLinks(false);

  auto* contents = new QPushButton(QStringLiteral("Contents"));
  contents->setObjectName(QStringLiteral("ContentsBB"));
  auto* back = new QPushButton(QStringLiteral("Back"));
  back->setObjectName(QStringLiteral("BackBB"));
  back->setEnabled(false);
  auto* close = new QPushButton(QStringLiteral("Close"));
  close->setObjectName(QStringLiteral("CloseBB"));
  connect(contents, &QPushButton::clicked, this, &HelpF::ShowContents);
  connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
  connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  connect(browser_, &QTextBrowser::sourceChanged, this,
          [this] { setWindowTitle(browser_->documentTitle()); });

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(contents);
  buttons->addWidget(back);
  buttons->addStretch();
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(browser_);
  resize(640, 520);
}

void HelpF::ShowContents() {
  browser_->setSource(QUrl(QString::fromLatin1(kContentsUrl)));
  show();
  raise();
  activateWindow();
}

}  // namespace upfold
