#include "import/ui/VantroF.h"

#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>
#include <QTimer>
#include <exception>
#include <numeric>

#include "app/AppContext.h"
#include "app/DateConversions.h"
#include "app/Ui.h"
#include "app/WindowCreated.h"
#include "app/ui/QtUi.h"
#include "data/FixedText.h"
#include "data/VantroDM.h"

namespace upfold {

namespace {

constexpr const char* kCaption = "Marrowfield  Remote Import Processing ";
constexpr const char* kRunStopped = "The import stopped before its end.";

// The designed layout, in pixels of the client area.
constexpr int kClientWidth = 840;
constexpr int kLabelHeight = 18;
constexpr int kLabel2Top = 10;
constexpr int kFileGridTop = kLabel2Top + kLabelHeight + 2;
constexpr int kFileGridHeight = 150;
constexpr int kShape1Top = kFileGridTop + kFileGridHeight + 12;
constexpr int kBudgetLabelTop = kShape1Top + 10;
constexpr int kBudgetGridTop = kBudgetLabelTop + kLabelHeight + 2;
constexpr int kBudgetGridHeight = 150;
constexpr int kShape2Top = kBudgetGridTop + kBudgetGridHeight + 10;
constexpr int kOkGap = 8;  // from Shape2 down to OKBB
constexpr int kOkWidth = 90;
constexpr int kOkHeight = 28;
constexpr int kBottomMargin = 12;
constexpr int kRowHeight = 20;
constexpr int kGridExtra = 25;      // frame and scroll bar beside the columns
constexpr int kSideBySideGap = 10;  // of each budget grid from the window's centre

int runsWorking = 0;

QTableWidget* MakeGrid(QWidget* parent, const char* name, int columns) {
  auto* grid = new QTableWidget(0, columns, parent);
  grid->setObjectName(QString::fromLatin1(name));
  grid->verticalHeader()->hide();
  grid->verticalHeader()->setDefaultSectionSize(kRowHeight);
  grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  grid->horizontalHeader()->setHighlightSections(false);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->setSelectionMode(QAbstractItemView::NoSelection);
  grid->setFocusPolicy(Qt::NoFocus);
  grid->setWordWrap(false);
  return grid;
}

QFrame* MakeRule(QWidget* parent, const char* name) {
  auto* rule = new QFrame(parent);
  rule->setObjectName(QString::fromLatin1(name));
  rule->setFrameShape(QFrame::HLine);
  rule->setFrameShadow(QFrame::Sunken);
  return rule;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* text) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  label->setObjectName(QString::fromLatin1(name));
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  return label;
}

void SetCell(QTableWidget* grid, int row, int col, const QString& text) {
  QTableWidgetItem* item = grid->item(row, col);
  if (item == nullptr) {
    grid->setItem(row, col, new QTableWidgetItem(text));
  } else if (item->text() != text) {
    item->setText(text);
  }
}

}  // namespace

VantroF::VantroF(AppContext& ctx, VantroDM& dm, ReportDevices devices, QWidget* parent)
    : QDialog(parent), ctx_(ctx), dm_(dm), devices_(devices) {
  setObjectName(QStringLiteral("VantroF"));
  setWindowTitle(QString::fromLatin1(kCaption));
  BuildControls();
  okBB_->hide();
  RunValues& v = ctx_.values;
  // The import command has reported a working date that cannot be converted.
  const std::string fileDate = DateToFileDate(v.SystemDate, true, ctx_.formats, ctx_.ui);
  if (!fileDate.empty()) v.SystemFileDate = fileDate;
  if (Trim(v.WSID).empty()) v.WSID = v.Param(4).substr(0, 2);
  SetWindowCreated();
}

// The run closes the budget files and the other direct-access files it opened.
VantroF::~VantroF() = default;

void VantroF::BuildControls() {
  label2_ = MakeLabel(this, "Label2", "Import Processing Results");
  label2_->setAlignment(Qt::AlignCenter);
  fileSG_ = MakeGrid(this, "FileSG", static_cast<int>(kFileWidths.size()));
  shape1_ = MakeRule(this, "Shape1");
  labelPhaseBudget_ = MakeLabel(this, "LabelPhaseBudget", "Fee Budget Phase Warnings");
  budgetPhaseSG_ = MakeGrid(this, "BudgetPhaseSG", static_cast<int>(kPhaseWidths.size()));
  labelCaseBudget_ = MakeLabel(this, "LabelCaseBudget", "Case Budget Warnings");
  caseBudgetSG_ = MakeGrid(this, "CaseBudgetSG", static_cast<int>(kCaseWidths.size()));
  shape2_ = MakeRule(this, "Shape2");
  okBB_ = new QPushButton(QStringLiteral("OK"), this);
  okBB_->setObjectName(QStringLiteral("OKBB"));
  okBB_->setDefault(true);
  connect(okBB_, &QPushButton::clicked, this, [this] { OKBBClick(); });
  for (QWidget* hidden :
       {static_cast<QWidget*>(shape1_), static_cast<QWidget*>(labelPhaseBudget_),
        static_cast<QWidget*>(budgetPhaseSG_), static_cast<QWidget*>(labelCaseBudget_),
        static_cast<QWidget*>(caseBudgetSG_)})
    hidden->hide();
  FormShow();  // the designed layout, also before the first showing
}

void VantroF::showEvent(QShowEvent* event) {
  // Each showing runs the import once, over the list as it stands. A window restored from
  // its icon is not shown anew (that show event comes from the system).
  if (!event->spontaneous() && !running_) {
    FormShow();
    results_.reset();
    results_ = std::make_unique<ResultsRun>(ctx_, dm_, *this, request_, devices_);
    results_->Show();
    runPending_ = true;
    finished_ = false;
    closed_ = false;
  }
  QDialog::showEvent(event);
}

void VantroF::FormShow() {
  SizeGrid(fileSG_, kFileWidths.data(), static_cast<int>(kFileWidths.size()), kFileGridHeight);
  SizeGrid(budgetPhaseSG_, kPhaseWidths.data(), static_cast<int>(kPhaseWidths.size()),
           kBudgetGridHeight);
  SizeGrid(caseBudgetSG_, kCaseWidths.data(), static_cast<int>(kCaseWidths.size()),
           kBudgetGridHeight);
  fileSG_->move(0, kFileGridTop);
  budgetPhaseSG_->move(0, kBudgetGridTop);
  caseBudgetSG_->move(0, kBudgetGridTop);
  okBB_->resize(kOkWidth, kOkHeight);
  for (QWidget* widget : {static_cast<QWidget*>(fileSG_), static_cast<QWidget*>(budgetPhaseSG_),
                          static_cast<QWidget*>(caseBudgetSG_), static_cast<QWidget*>(okBB_)})
    CentreX(widget);
  label2_->setGeometry(fileSG_->x(), kLabel2Top, fileSG_->width(), kLabelHeight);
  shape1_->setGeometry(1, kShape1Top, kClientWidth - 2, 2);
  shape2_->setGeometry(1, kShape2Top, shape1_->width(), 2);
  okBB_->move(okBB_->x(), kShape2Top + kOkGap);
  PlaceBudgetGrids();
  setFixedSize(kClientWidth, okBB_->y() + okBB_->height() + kBottomMargin);
}

void VantroF::SizeGrid(QTableWidget* grid, const int* widths, int count, int height) {
  for (int col = 0; col < count; ++col) grid->setColumnWidth(col, widths[col]);
  grid->resize(std::accumulate(widths, widths + count, 0) + kGridExtra, height);
}

void VantroF::CentreX(QWidget* widget) {
  widget->move((kClientWidth - widget->width()) / 2, widget->y());
}

bool VantroF::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate && runPending_) {
    runPending_ = false;
    // After the activation has been handled: the run shows message boxes of its own.
    QTimer::singleShot(0, this, [this] { FormActivate(); });
  }
  return QDialog::event(event);
}

bool VantroF::ImportRunning() {
  return runsWorking > 0;
}

void VantroF::FormActivate() {
  ClearWindowCreated();
  running_ = true;
  ++runsWorking;
  ctx_.ui.HourglassCursor();
  try {
    results_->Activate();
  } catch (const std::exception& e) {
    // What the run did not catch ends it here, not the program; the window can still close.
    ctx_.ui.Error(std::string(kRunStopped) + "\r\r" + e.what() + kContactLine);
  }
  --runsWorking;
  running_ = false;
  finished_ = true;
  okBB_->show();
  ctx_.ui.ArrowCursor();
  FitWindow();
}

void VantroF::OKBBClick() {
  accept();
}

void VantroF::reject() {
  if (running_) return;
  QDialog::reject();
}

void VantroF::done(int result) {
  FormClose();
  QDialog::done(result);
}

void VantroF::FormClose() {
  if (closed_) return;
  closed_ = true;
  if (results_) results_->Close();
  dm_.RejectFileTB.SetIndexName("");
  dm_.RejectDescFileTB.SetIndexName("");
  request_ = ImportRequest{};
}

void VantroF::SetFileRowCount(int rows) {
  fileSG_->setRowCount(std::max(rows - 1, 0));
}

void VantroF::SetFileCell(int col, int row, const std::string& text) {
  if (col < 0 || col >= fileSG_->columnCount()) return;
  const QString shown = ToDisplayText(text);
  if (row == 0) {
    fileSG_->setHorizontalHeaderItem(col, new QTableWidgetItem(shown));
    return;
  }
  if (row > fileSG_->rowCount()) fileSG_->setRowCount(row);
  SetCell(fileSG_, row - 1, col, shown);
}

std::string VantroF::FileCell(int col, int row) const {
  const QTableWidgetItem* item =
      row == 0 ? fileSG_->horizontalHeaderItem(col) : fileSG_->item(row - 1, col);
  return item == nullptr ? std::string() : FromDisplayText(item->text());
}

int VantroF::FileRowCount() const {
  return fileSG_->rowCount() + 1;
}

// Cells are written as the run goes; painting happens when the run lets events through,
// which it does at most every few milliseconds.
void VantroF::Repaint() {
  update();
}

void VantroF::ShowOK() {
  okBB_->show();
  ctx_.ui.ArrowCursor();
  FitWindow();
}

void VantroF::AddWarningRow(QTableWidget* grid, QLabel* label, const std::string* cells,
                            const char* const* headings, int count) {
  if (grid->rowCount() == 0) {
    QStringList labels;
    for (int col = 0; col < count; ++col) labels << QString::fromLatin1(headings[col]);
    grid->setHorizontalHeaderLabels(labels);
    grid->show();
    label->show();
  }
  const int row = grid->rowCount();
  grid->setRowCount(row + 1);
  for (int col = 0; col < count; ++col) SetCell(grid, row, col, ToDisplayText(cells[col]));
}

void VantroF::AddPhaseWarning(const std::array<std::string, 5>& row) {
  AddWarningRow(budgetPhaseSG_, labelPhaseBudget_, row.data(), kBudgetPhaseHeadings.data(),
                static_cast<int>(row.size()));
  FitWindow();
}

void VantroF::AddCaseWarning(const std::array<std::string, 4>& row) {
  AddWarningRow(caseBudgetSG_, labelCaseBudget_, row.data(), kCaseBudgetHeadings.data(),
                static_cast<int>(row.size()));
  FitWindow();
}

void VantroF::PlaceBudgetGrids() {
  const bool phase = !budgetPhaseSG_->isHidden();
  const bool cases = !caseBudgetSG_->isHidden();
  if (phase && cases) {
    const int centre = kClientWidth / 2;
    budgetPhaseSG_->move(centre - kSideBySideGap - budgetPhaseSG_->width(), kBudgetGridTop);
    caseBudgetSG_->move(centre + kSideBySideGap, kBudgetGridTop);
  } else {
    CentreX(budgetPhaseSG_);
    CentreX(caseBudgetSG_);
  }
  labelPhaseBudget_->setGeometry(budgetPhaseSG_->x(), kBudgetLabelTop, budgetPhaseSG_->width(),
                                 kLabelHeight);
  labelCaseBudget_->setGeometry(caseBudgetSG_->x(), kBudgetLabelTop, caseBudgetSG_->width(),
                                kLabelHeight);
}

void VantroF::FitWindow() {
  const bool budgets = !budgetPhaseSG_->isHidden() || !caseBudgetSG_->isHidden();
  shape1_->setVisible(budgets);
  PlaceBudgetGrids();
  // Without warnings the window ends under the results grid.
  shape2_->move(shape2_->x(), budgets ? kShape2Top : kShape1Top);
  okBB_->move(okBB_->x(), shape2_->y() + kOkGap);
  setFixedSize(kClientWidth, okBB_->y() + okBB_->height() + kBottomMargin);
}

}  // namespace upfold
