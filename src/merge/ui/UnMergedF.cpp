#include "merge/ui/UnMergedF.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "app/WindowCreated.h"
#include "app/ui/QtUi.h"

namespace upfold {

UnMergedF::UnMergedF(AppContext& ctx, const std::string& batchName, const std::string& batchDate,
                     QWidget* parent)
    : QDialog(parent), logic_(ctx, batchName, batchDate) {
  setWindowTitle(QString::fromLatin1(kCaption));
  // No title-bar buttons: the dialog ends only through OK or Cancel.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setModal(true);

  auto* layout = new QVBoxLayout(this);
  auto* box = new QGroupBox(this);
  box->setObjectName("UnMergedGB");
  auto* boxLayout = new QVBoxLayout(box);
  auto* memo = new QPlainTextEdit(box);
  memo->setObjectName("UnmergedM");
  memo->setReadOnly(true);
  QStringList lines;
  for (const std::string& line : logic_.MemoLines()) lines << ToDisplayText(line);
  memo->setPlainText(lines.join('\n'));
  memo->setMaximumHeight(memo->fontMetrics().lineSpacing() * 6);
  boxLayout->addWidget(memo);

  auto* radio = new QGroupBox(QStringLiteral(" Choose one "), box);
  radio->setObjectName("UnMergedRG");
  auto* radioLayout = new QVBoxLayout(radio);
  options_ = new QButtonGroup(this);
  options_->setExclusive(true);
  for (int i = 0; i < static_cast<int>(kUnMergedCaptions.size()); ++i) {
    auto* button = new QRadioButton(QString::fromLatin1(kUnMergedCaptions[i]), radio);
    button->setObjectName(QStringLiteral("UnMergedRG%1").arg(i));
    options_->addButton(button, i);
    radioLayout->addWidget(button);
  }
  connect(options_, &QButtonGroup::idClicked, this, [this](int id) { UnMergedRGClick(id); });
  boxLayout->addWidget(radio);
  layout->addWidget(box);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName("OKBB");
  ok->setDefault(true);
  ok_ = ok;
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName("CancelBB");
  connect(ok, &QPushButton::clicked, this, [this] { accept(); });
  connect(cancel, &QPushButton::clicked, this, [this] { CancelBBClick(); });
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addStretch();
  layout->addLayout(buttons);

  auto* status = new QStatusBar(this);
  status->setObjectName("StatusBar");
  status->setSizeGripEnabled(false);
  auto* panel5 = new QLabel(ToDisplayText(logic_.DataPathText()), status);
  panel5->setObjectName("Panel5");
  panel5->setToolTip(QStringLiteral("This is your data path"));
  panel6_ = new QLabel(status);
  panel6_->setObjectName("Panel6");
  panel6_->setToolTip(QStringLiteral("What you have chosed to do"));
  status->addWidget(panel5, 1);
  status->addWidget(panel6_, 1);
  layout->addWidget(status);

  SetWindowCreated();
}

QAbstractButton* UnMergedF::Option(int position) const {
  return options_->button(position);
}

void UnMergedF::showEvent(QShowEvent* event) {
  if (QAbstractButton* never = Option(UnMerged::DisabledOption())) never->setEnabled(false);
  QDialog::showEvent(event);
}

bool UnMergedF::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate && !activated_) {
    activated_ = true;
    ClearWindowCreated();
  }
  return QDialog::event(event);
}

void UnMergedF::SetStatus(const std::string& text) {
  if (!text.empty()) panel6_->setText(ToDisplayText(text));
}

void UnMergedF::UnMergedRGClick(int position) {
  SetStatus(logic_.Choose(position));
  ok_->setFocus();
}

void UnMergedF::CancelBBClick() {
  SetStatus(logic_.Cancel());
  if (QAbstractButton* exit = Option(kExitUnchanged)) exit->setChecked(true);
  closing_ = true;
  QDialog::reject();
}

void UnMergedF::accept() {
  if (!logic_.Ok()) return;
  closing_ = true;
  QDialog::accept();
}

void UnMergedF::reject() {
  if (!logic_.CanClose()) return;
  closing_ = true;
  QDialog::reject();
}

void UnMergedF::closeEvent(QCloseEvent* event) {
  if (closing_ || logic_.CanClose()) {
    closing_ = true;
    QDialog::closeEvent(event);
  } else {
    event->ignore();
  }
}

void UnMergedF::wheelEvent(QWheelEvent* event) {
  event->accept();
}

std::optional<UnMergedOutcome> QtUnMergedDialog::Show(const std::string& batchName,
                                                      const std::string& batchDate) {
  ClearWindowCreated();
  UnMergedF dialog(ctx_, batchName, batchDate, parent_);
  if (!WindowCreated()) return std::nullopt;
  dialog.exec();
  return dialog.Outcome();
}

}  // namespace upfold
