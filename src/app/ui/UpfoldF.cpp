#include "app/ui/UpfoldF.h"

#include <QCloseEvent>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/ui/AboutF.h"
#include "app/ui/HelpF.h"
#include "app/ui/OpenDialog.h"
#include "app/ui/QtUi.h"

namespace upfold {

namespace {

struct ToolButtonSpec {
  const char* name;
  const char* caption;
  const char* hint;
  QStyle::StandardPixmap glyph;
  MainCommand command;
};

constexpr ToolButtonSpec kToolButtons[] = {
    {"ProcessSB", "Import Remote Data", "Process a  remote batch", QStyle::SP_ArrowDown,
     MainCommand::Process},
    {"MergeSB", "Merge", "Merge a processed remote file ", QStyle::SP_ArrowForward,
     MainCommand::Merge},
    {"ViewRemoteSB", "View Remote", "View remote batch ", QStyle::SP_FileDialogContentsView,
     MainCommand::ViewRemote},
    {"SBDelRejects", "Delete Rejects...", "", QStyle::SP_TrashIcon, MainCommand::DeleteRejects},
    {"ViewRejectSB", "View Rejects", "View rejected items from last import",
     QStyle::SP_FileDialogDetailedView, MainCommand::ViewRejects},
    {"ZipValFilesSB", "Zip Validation", "Copy master validation files", QStyle::SP_DialogSaveButton,
     MainCommand::ZipValidation},
    {"ExitSB", "Exit", "Exit to menu", QStyle::SP_DialogCloseButton, MainCommand::Exit},
};

constexpr int kMargin = 8;
constexpr int kProcessBoxHeight = 190;

}  // namespace

UpfoldF::UpfoldF(UpfoldMain& main, QWidget* parent) : QMainWindow(parent), main_(main) {
  setObjectName(QStringLiteral("UpfoldF"));
  setWindowTitle(QString::fromLatin1(UpfoldMain::kCaption));
  auto* central = new QWidget;
  central->setObjectName(QStringLiteral("centralWidget"));
  setCentralWidget(central);
  BuildMenu();
  BuildContents(central);

  main_.SetView(this);
  main_.SetHandler(MainCommand::Exit, [this] { close(); });
  main_.SetHandler(MainCommand::Help, [this] { ShowHelp(); });
  main_.SetHandler(MainCommand::About, [this] { ShowAbout(); });
}

UpfoldF::~UpfoldF() {
  main_.SetView(nullptr);
  for (MainCommand command : {MainCommand::Exit, MainCommand::Help, MainCommand::About})
    main_.SetHandler(command, nullptr);
}

QWidget* UpfoldF::BuildToolBar(QWidget* parent) {
  auto* bar = new QWidget(parent);
  bar->setObjectName(QStringLiteral("ToolBar1"));
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(2, 2, 2, 2);
  row->setSpacing(2);
  std::vector<QToolButton*> buttons;
  for (const ToolButtonSpec& tool : kToolButtons) {
    auto* button = new QToolButton(bar);
    button->setObjectName(QString::fromLatin1(tool.name));
    button->setText(QString::fromLatin1(tool.caption));
    button->setToolTip(QString::fromLatin1(tool.hint));
    button->setIcon(style()->standardIcon(tool.glyph));
    button->setIconSize(QSize(32, 32));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    const MainCommand command = tool.command;
    connect(button, &QToolButton::clicked, this, [this, command] { main_.Run(command); });
    row->addWidget(button);
    buttons.push_back(button);
    if (command == MainCommand::Process) processButton_ = button;
  }
  int width = 0;
  for (QToolButton* button : buttons) width = std::max(width, button->sizeHint().width());
  for (QToolButton* button : buttons) button->setFixedWidth(width + 8);
  bar->resize(bar->sizeHint());
  return bar;
}

void UpfoldF::BuildContents(QWidget* central) {
  toolBar_ = BuildToolBar(central);
  toolBar_->move(0, 0);
  const int width = toolBar_->width();

  auto* title = new QLabel(QStringLiteral("Marrowfield Remote Import"), central);
  title->setObjectName(QStringLiteral("TitleLabel"));
  QFont big = title->font();
  big.setPointSizeF(big.pointSizeF() * 2.2);
  big.setBold(true);
  big.setItalic(true);
  title->setFont(big);
  title->setAlignment(Qt::AlignCenter);
  title->setGeometry(0, toolBar_->height() + 2 * kMargin, width, title->sizeHint().height());

  progress_ = new QLabel(QStringLiteral(" Please wait for printer selection "), central);
  progress_->setObjectName(QStringLiteral("ProgressText"));
  progress_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  progress_->setAlignment(Qt::AlignCenter);
  progress_->setGeometry(kMargin, title->geometry().bottom() + kMargin, width - 2 * kMargin,
                         progress_->sizeHint().height());
  progress_->hide();

  processBox_ = new QGroupBox(QStringLiteral(" Process these files?  "), central);
  processBox_->setObjectName(QStringLiteral("ProcessGB"));
  list_ = new QListWidget;
  list_->setObjectName(QStringLiteral("ListBox1"));
  auto* processButton = new QPushButton(QStringLiteral("Process"));
  processButton->setObjectName(QStringLiteral("ProcessBB"));
  auto* cancelButton = new QPushButton(QStringLiteral("Cancel"));
  cancelButton->setObjectName(QStringLiteral("CancelProcessBB"));
  connect(processButton, &QPushButton::clicked, this, [this] { main_.Run(MainCommand::Process); });
  connect(cancelButton, &QPushButton::clicked, this,
          [this] { main_.Run(MainCommand::CancelProcess); });
  connect(list_, &QListWidget::itemDoubleClicked, this,
          [this] { main_.Run(MainCommand::RemoveListLine); });
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(processButton);
  buttons->addWidget(cancelButton);
  auto* boxLayout = new QVBoxLayout(processBox_);
  boxLayout->addWidget(list_);
  boxLayout->addLayout(buttons);
  processBox_->setGeometry(kMargin, progress_->geometry().bottom() + kMargin,
                           width - 2 * kMargin, kProcessBoxHeight);
  processBox_->hide();
}

QAction* UpfoldF::AddItem(QMenu* menu, const char* name, const char* text, MainCommand command) {
  QAction* item = menu->addAction(QString::fromLatin1(text));
  item->setObjectName(QString::fromLatin1(name));
  connect(item, &QAction::triggered, this, [this, command] { main_.Run(command); });
  return item;
}

void UpfoldF::BuildMenu() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  file->setObjectName(QStringLiteral("File1"));
  AddItem(file, "Exit1", "Exit", MainCommand::Exit);

  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  edit->setObjectName(QStringLiteral("Edit1"));
  edit->addAction(QStringLiteral("Copy"))->setObjectName(QStringLiteral("Copy1"));
  edit->addAction(QStringLiteral("Paste"))->setObjectName(QStringLiteral("Paste1"));

  QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
  options->setObjectName(QStringLiteral("Options1"));
  AddItem(options, "Processaremotebatch1", "Process a remote batch", MainCommand::Process);
  AddItem(options, "Mergeaprocessedbatch1", "Merge a processed batch", MainCommand::Merge);
  AddItem(options, "Viewaremotebatch1", "View a remote batch", MainCommand::ViewRemote);
  AddItem(options, "Viewtherejectedtransactions1", "View the rejected transactions",
          MainCommand::ViewRejects);
  options->addSeparator();
  deleteBackups_ = AddItem(options, "DelImpBackups1",
                           "Delete backups of imported remote batches...",
                           MainCommand::DeleteImportBackups);
  deleteBackups_->setEnabled(false);
  AddItem(options, "Deletebackupsofoldrejectfiles1", "Delete backups of old reject files...",
          MainCommand::DeleteRejects);
  options->addSeparator();
  AddItem(options, "RemoteWSIDlookups1", "Remote WSID transaction lookups",
          MainCommand::RemoteWsidLookups);
  conflicts_ = AddItem(options, "Remoteconflicts1", "Remote conflicts check permissions",
                       MainCommand::RemoteConflicts);
  conflicts_->setEnabled(false);
  options->addSeparator();
  AddItem(options, "Copymastervalidationfiles1", "Zip the validation files",
          MainCommand::ZipValidation);
  options->addSeparator();
  kvxInterrupt_ = options->addAction(QStringLiteral("KVX Interrupt"));
  kvxInterrupt_->setObjectName(QStringLiteral("KVXInterrupt1"));
  kvxInterrupt_->setCheckable(true);
  connect(kvxInterrupt_, &QAction::triggered, this,
          [this](bool checked) { main_.SetKvxInterrupt(checked); });

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  help->setObjectName(QStringLiteral("Help1"));
  AddItem(help, "MarrowfieldHelp1", "Marrowfield Help", MainCommand::Help)
      ->setIcon(style()->standardIcon(QStyle::SP_DialogHelpButton));
  AddItem(help, "About1", "About", MainCommand::About);
}

void UpfoldF::SetConflictsEnabled(bool enabled) { conflicts_->setEnabled(enabled); }
void UpfoldF::SetDeleteBackupsEnabled(bool enabled) { deleteBackups_->setEnabled(enabled); }
void UpfoldF::SetKvxInterruptChecked(bool checked) { kvxInterrupt_->setChecked(checked); }
void UpfoldF::SetImportEnabled(bool enabled) { processButton_->setEnabled(enabled); }

bool UpfoldF::ProcessBoxVisible() const { return processBox_->isVisibleTo(centralWidget()); }
void UpfoldF::SetProcessBoxVisible(bool visible) { processBox_->setVisible(visible); }

std::vector<std::string> UpfoldF::ProcessListLines() const {
  std::vector<std::string> lines;
  for (int row = 0; row < list_->count(); ++row)
    lines.push_back(FromDisplayText(list_->item(row)->text()));
  return lines;
}

void UpfoldF::SetProcessListLines(const std::vector<std::string>& lines) {
  list_->clear();
  for (const std::string& line : lines) list_->addItem(ToDisplayText(line));
}

int UpfoldF::ProcessListCurrentRow() const { return list_->currentRow(); }

void UpfoldF::ShowProgressLine(const std::string& text) {
  progress_->setText(ToDisplayText(text));
  progress_->show();
}

void UpfoldF::HideProgressLine() { progress_->hide(); }

bool UpfoldF::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) {
    QLocale::setDefault(QLocale::c());
    // After the event has been handled: the first activation may start the import, which
    // opens dialogs of its own.
    QTimer::singleShot(0, this, [this] { main_.Activate(); });
  }
  return QMainWindow::event(event);
}

void UpfoldF::showEvent(QShowEvent* event) {
  if (!sized_) {
    sized_ = true;
    // Client area: the tool bar's width plus 2, and down to the import group box plus two
    // thirds of its height below it.
    const QRect box = processBox_->geometry();
    const int clientWidth = toolBar_->x() + toolBar_->width() + 2;
    const int clientHeight = box.y() + box.height() + static_cast<int>(std::lround(box.height() * 0.67));
    centralWidget()->setMinimumSize(clientWidth, clientHeight);
    resize(clientWidth, clientHeight + menuBar()->sizeHint().height());
    if (const QScreen* screen = this->screen()) {
      QRect frame = frameGeometry();
      frame.moveCenter(screen->availableGeometry().center());
      move(frame.topLeft());
    }
    main_.Shown();
  }
  QMainWindow::showEvent(event);
}

void UpfoldF::closeEvent(QCloseEvent* event) {
  main_.Close();
  if (help_ != nullptr) help_->close();
  event->accept();
  emit Closed();
}

void UpfoldF::ShowHelp() {
  if (help_ == nullptr) help_ = new HelpF(this);
  help_->ShowContents();
}

void UpfoldF::ShowAbout() {
  OpenDialog(main_.GetUi(), false,
             [this] { return std::make_unique<AboutF>(main_.Values(), this); });
}

}  // namespace upfold
