#include "print/ui/PrntDefF.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

#include "app/ui/QtUi.h"
#include "print/PrintFileName.h"

namespace upfold {

namespace {

QGroupBox* RadioGroup(QWidget* parent, const char* name, const char* title,
                      const std::vector<const char*>& items, QButtonGroup*& group,
                      int columns = 1) {
  auto* box = new QGroupBox(QString::fromLatin1(title), parent);
  box->setObjectName(QString::fromLatin1(name));
  auto* layout = new QGridLayout(box);
  group = new QButtonGroup(box);
  for (int i = 0; i < static_cast<int>(items.size()); ++i) {
    auto* button = new QRadioButton(QString::fromLatin1(items[i]), box);
    button->setObjectName(QString::fromLatin1(name) + QString::number(i));
    group->addButton(button, i);
    layout->addWidget(button, i / columns, i % columns);
  }
  return box;
}

// Checks the button of that position, or none for -1.
void Select(QButtonGroup* group, int id) {
  const QSignalBlocker block(group);
  if (id < 0) {
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons()) button->setChecked(false);
    group->setExclusive(true);
  } else if (QAbstractButton* button = group->button(id)) {
    button->setChecked(true);
  }
}

}  // namespace

PrntDefF::PrntDefF(PrntDef& logic, QWidget* parent) : QDialog(parent), logic_(logic) {
  setObjectName(QStringLiteral("PrntDefF"));
  setModal(true);
  Build();
}

void PrntDefF::Build() {
  printerFileScreenRG_ =
      RadioGroup(this, "PrinterFileScreenRG", " Print report to ",
                 {"Printer", "File", "Screen", "Exit without printing"}, printTo_);
  delAppPrintFileExitRG_ = RadioGroup(
      this, "DelAppPrintFileExitRG", " Print file already exists - choose one: ",
      {"Delete the existing file", "Append to the existing file", "Change print file name",
       "Print report to a printer", "Display report on Screen", "Exit without printing report"},
      fileExists_);

  printerGB_ = new QGroupBox(QStringLiteral(" Available printers "), this);
  printerGB_->setObjectName(QStringLiteral("PrinterGB"));
  availPrintersCB_ = new QComboBox(printerGB_);
  availPrintersCB_->setObjectName(QStringLiteral("AvailPrintersCB"));
  (new QVBoxLayout(printerGB_))->addWidget(availPrintersCB_);

  printOrientationRG_ = RadioGroup(this, "PrintOrientationRG", " Printer orientation ",
                                   {kPortraitItem, kLandscapeItem}, orientation_, 2);
  printOrientationRG_->setToolTip(QString::fromLatin1(kOrientationHint));
  dataOrTextRG_ =
      RadioGroup(this, "DataOrTextRG", " Print to file format ", {"Text", "Data", "PDF"}, format_);
  cbLabels_ = new QCheckBox(QStringLiteral("Col headers"), this);
  cbLabels_->setObjectName(QStringLiteral("CBLabels"));

  printFileGB_ = new QGroupBox(QStringLiteral(" Path && filename  for print file "), this);
  printFileGB_->setObjectName(QStringLiteral("PrintFileGB"));
  driveComboBox1_ = new QComboBox(printFileGB_);
  driveComboBox1_->setObjectName(QStringLiteral("DriveComboBox1"));
  driveComboBox1_->setToolTip(QStringLiteral("Click to choose a drive"));
  printFilePathDLB_ = new QListWidget(printFileGB_);
  printFilePathDLB_->setObjectName(QStringLiteral("PrintFilePathDLB"));
  printFilePathDLB_->setToolTip(QStringLiteral("Double-click to choose a directory path"));
  printFileNameEB_ = new QLineEdit(printFileGB_);
  printFileNameEB_->setObjectName(QStringLiteral("PrintFileNameEB"));
  printFileNameEB_->setToolTip(QStringLiteral("Enter the print-to-file name "));
  printFileNameEB_->setMaxLength(kPrintFileNameMaxLength);
  auto* nameLabel = new QLabel(QStringLiteral("File name"), printFileGB_);
  nameLabel->setBuddy(printFileNameEB_);
  printFileL_ = new QLabel(printFileGB_);
  printFileL_->setObjectName(QStringLiteral("PrintFileL"));
  auto* fileLayout = new QGridLayout(printFileGB_);
  fileLayout->addWidget(driveComboBox1_, 0, 0, 1, 2);
  fileLayout->addWidget(printFilePathDLB_, 1, 0, 1, 2);
  fileLayout->addWidget(nameLabel, 2, 0);
  fileLayout->addWidget(printFileNameEB_, 2, 1);
  fileLayout->addWidget(printFileL_, 3, 0, 1, 2);

  okBB_ = new QPushButton(QStringLiteral("OK"), this);
  okBB_->setObjectName(QStringLiteral("OKBB"));
  okBB_->setToolTip(QStringLiteral("Print this report  - or - run this program"));
  okBB_->setDefault(true);
  cancelBB_ = new QPushButton(QStringLiteral("Cancel"), this);
  cancelBB_->setObjectName(QStringLiteral("CancelBB"));
  cancelBB_->setToolTip(QStringLiteral("Exit without printing"));

  auto* left = new QVBoxLayout;
  left->addWidget(printerFileScreenRG_);
  left->addWidget(delAppPrintFileExitRG_);
  left->addWidget(printerGB_);
  left->addWidget(printOrientationRG_);
  left->addSpacing(2);
  left->addWidget(dataOrTextRG_);
  left->addWidget(cbLabels_);
  left->addStretch();
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(okBB_);
  buttons->addWidget(cancelBB_);
  auto* top = new QHBoxLayout;
  top->addLayout(left);
  top->addWidget(printFileGB_, 1);
  auto* main = new QVBoxLayout(this);
  main->addLayout(top);
  main->addLayout(buttons);
  main->setContentsMargins(15, 15, 15, 30);

  connect(printTo_, &QButtonGroup::idClicked, this, [this](int id) {
    logic_.ClickPrintTo(static_cast<PrintTo>(id));
    Refresh();
  });
  connect(fileExists_, &QButtonGroup::idClicked, this, [this](int id) {
    logic_.ClickFileExists(static_cast<FileExists>(id));
    Refresh();
  });
  connect(orientation_, &QButtonGroup::idClicked, this, [this](int id) {
    logic_.ChooseOrientation(id == 1 ? Orientation::Landscape : Orientation::Portrait);
    Refresh();
  });
  connect(format_, &QButtonGroup::idClicked, this, [this](int id) {
    logic_.ChooseFormat(static_cast<FileFormat>(id));
    Refresh();
  });
  connect(availPrintersCB_, &QComboBox::activated, this, [this](int index) {
    logic_.ChoosePrinter(index);
    Refresh();
  });
  connect(driveComboBox1_, &QComboBox::activated, this, [this](int index) {
    const QString entry = driveComboBox1_->itemText(index);
    if (!entry.isEmpty()) logic_.ChooseDrive(entry.at(0).toLatin1());
    Refresh();
  });
  connect(printFilePathDLB_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
    logic_.ChangeDirectory(FromDisplayText(item->data(Qt::UserRole).toString()));
    Refresh();
  });
  connect(printFileNameEB_, &QLineEdit::textEdited, this, [this](const QString& text) {
    const int cursor = printFileNameEB_->cursorPosition();
    logic_.EditName(FromDisplayText(text));
    Refresh();
    printFileNameEB_->setCursorPosition(cursor);
  });
  connect(okBB_, &QPushButton::clicked, this, &PrntDefF::OkClick);
  connect(cancelBB_, &QPushButton::clicked, this, &PrntDefF::CancelClick);

  printFileNameEB_->installEventFilter(this);
  printFilePathDLB_->installEventFilter(this);
  // The mouse wheel changes nothing anywhere in the dialog.
  for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

void PrntDefF::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  adjustSize();
  okBB_->setFocus();
}

void PrntDefF::Refresh() {
  refreshing_ = true;
  const PrntDefView& v = logic_.View();
  setWindowTitle(ToDisplayText(v.caption));

  printerFileScreenRG_->setVisible(v.mainChoiceVisible);
  Select(printTo_, static_cast<int>(v.printTo));
  printTo_->button(0)->setEnabled(v.printerButtonEnabled);
  printTo_->button(2)->setEnabled(v.screenButtonEnabled);
  delAppPrintFileExitRG_->setVisible(v.fileExistsVisible);
  Select(fileExists_, static_cast<int>(v.fileExists));

  {
    const QSignalBlocker block(availPrintersCB_);
    availPrintersCB_->clear();
    for (const std::string& printer : v.printers) availPrintersCB_->addItem(ToDisplayText(printer));
    availPrintersCB_->setCurrentIndex(v.printer);
  }
  availPrintersCB_->setEnabled(v.printersEnabled);
  printerGB_->setEnabled(v.printerGroupEnabled);
  Select(orientation_, v.orientation == Orientation::Landscape ? 1 : 0);
  printOrientationRG_->setEnabled(v.orientationEnabled);

  Select(format_, static_cast<int>(v.format));
  dataOrTextRG_->setEnabled(v.formatEnabled);
  format_->button(1)->setEnabled(false);
  format_->button(2)->setEnabled(false);
  cbLabels_->setChecked(v.colHeaders);
  cbLabels_->setEnabled(false);

  {
    const QSignalBlocker block(driveComboBox1_);
    driveComboBox1_->clear();
    for (char drive : logic_.Drives())
      driveComboBox1_->addItem(QString(QChar::fromLatin1(drive)) + QStringLiteral(":"));
    driveComboBox1_->setCurrentIndex(
        driveComboBox1_->findText(QString(QChar::fromLatin1(v.drive)) + QStringLiteral(":")));
  }
  driveComboBox1_->setEnabled(v.driveEnabled);
  RefreshDirectoryList();
  printFilePathDLB_->setEnabled(v.directoryEnabled);
  if (printFileNameEB_->text() != ToDisplayText(v.name))
    printFileNameEB_->setText(ToDisplayText(v.name));
  printFileNameEB_->setEnabled(v.nameEnabled);
  printFileL_->setText(ToDisplayText(v.pathLabel));
  okBB_->setEnabled(v.okEnabled);
  refreshing_ = false;
}

void PrntDefF::RefreshDirectoryList() {
  const QSignalBlocker block(printFilePathDLB_);
  printFilePathDLB_->clear();
  for (const DirectoryItem& entry : logic_.DirectoryItems()) {
    auto* item =
        new QListWidgetItem(QString(entry.level * 2, QLatin1Char(' ')) + ToDisplayText(entry.text));
    item->setData(Qt::UserRole, ToDisplayText(entry.path));
    printFilePathDLB_->addItem(item);
    if (entry.current) printFilePathDLB_->setCurrentItem(item);
  }
}

bool PrntDefF::IsRadioButtonOrCancel(QWidget* widget) const {
  if (widget == cancelBB_) return true;
  auto* button = qobject_cast<QAbstractButton*>(widget);
  return button != nullptr &&
         (printTo_->buttons().contains(button) || fileExists_->buttons().contains(button));
}

bool PrntDefF::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Wheel) return true;
  if (watched == printFileNameEB_ && event->type() == QEvent::KeyPress) {
    const QString text = static_cast<QKeyEvent*>(event)->text();
    if (text.size() == 1 && text.at(0).isPrint() && !logic_.TypeNameKey(FromDisplayText(text)[0]))
      return true;
  }
  if (event->type() == QEvent::FocusOut && isVisible() && !refreshing_) {
    QWidget* next = QApplication::focusWidget();
    if (watched == printFileNameEB_ && next != cancelBB_ && printFileNameEB_->isEnabled()) {
      if (!logic_.LeaveName()) {
        QTimer::singleShot(0, printFileNameEB_, [this] { printFileNameEB_->setFocus(); });
      }
      Refresh();
    } else if (watched == printFilePathDLB_ && !IsRadioButtonOrCancel(next)) {
      if (!logic_.LeaveDirectoryList()) {
        QTimer::singleShot(0, printFilePathDLB_, [this] { printFilePathDLB_->setFocus(); });
      }
      Refresh();
    }
  }
  return QDialog::eventFilter(watched, event);
}

void PrntDefF::OkClick() {
  if (logic_.Ok()) {
    accept();
    return;
  }
  Refresh();
}

void PrntDefF::CancelClick() {
  logic_.Cancel();
  reject();
}

}  // namespace upfold
