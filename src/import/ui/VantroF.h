#pragma once
// The results window TVantroF: shown modally by the import command, it runs the import over
// the selected remote batches when it first becomes active, lists each batch's counts, reject
// file and new name while the run proceeds, then shows the budget warnings and the OK button.
//
// objectNames: Label2, FileSG, Shape1, LabelPhaseBudget, BudgetPhaseSG, LabelCaseBudget,
// CaseBudgetSG, Shape2, OKBB. Grid cells are counted as the run counts them: row 0 holds the
// headings (shown in the grid's header), batch rows start at 1.

#include <QDialog>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "import/ImportCommand.h"
#include "import/ResultsRun.h"
#include "import/RunView.h"

class QFrame;
class QLabel;
class QPushButton;
class QTableWidget;

namespace upfold {

struct AppContext;
class VantroDM;

class VantroF : public QDialog, public RunView {
  Q_OBJECT

 public:
  // Pixel widths of the grids' columns.
  static constexpr std::array<int, 5> kFileWidths = {207, 60, 55, 185, 184};
  static constexpr std::array<int, 5> kPhaseWidths = {75, 75, 46, 92, 92};
  static constexpr std::array<int, 4> kCaseWidths = {80, 80, 105, 105};

  // FormCreate. Everything given must outlive the window.
  VantroF(AppContext& ctx, VantroDM& dm, ReportDevices devices, QWidget* parent = nullptr);
  ~VantroF() override;  // FormDestroy: the run's direct-access files are closed

  // SelectedRemoteFiles and the rest of what the main window fills in before showing.
  void SetRequest(const ImportRequest& request) { request_ = request; }

  // The results grid as shown ("" for a cell never written); row 0 holds the headings.
  std::string FileCell(int col, int row) const;
  int FileRowCount() const;
  // The run of the current showing; null before the first showing.
  ResultsRun* Results() { return results_.get(); }
  // True once the run of this showing has ended.
  bool RunFinished() const { return finished_; }
  // True while a results window's run is working: nothing may close the run's tables then.
  static bool ImportRunning();

  // RunView
  void SetFileRowCount(int rows) override;
  void SetFileCell(int col, int row, const std::string& text) override;
  void Repaint() override;
  void ShowOK() override;
  void AddPhaseWarning(const std::array<std::string, 5>& row) override;
  void AddCaseWarning(const std::array<std::string, 4>& row) override;

 public slots:
  // Escape and the title bar's close button: nothing while the run works.
  void reject() override;
  // Every way the window closes: FormClose.
  void done(int result) override;

 protected:
  bool event(QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls();
  void FormShow();
  void FormActivate();
  void FormClose();
  void OKBBClick();
  // Post-run layout: the rows of controls from the results grid down, depending on which
  // budget grids are shown.
  void FitWindow();
  void PlaceBudgetGrids();
  void CentreX(QWidget* widget);
  static void SizeGrid(QTableWidget* grid, const int* widths, int count, int rows);
  static void AddWarningRow(QTableWidget* grid, QLabel* label, const std::string* cells,
                            const char* const* headings, int count);

  AppContext& ctx_;
  VantroDM& dm_;
  ReportDevices devices_;
  ImportRequest request_;
  std::unique_ptr<ResultsRun> results_;

  QLabel* label2_ = nullptr;
  QTableWidget* fileSG_ = nullptr;
  QFrame* shape1_ = nullptr;
  QLabel* labelPhaseBudget_ = nullptr;
  QTableWidget* budgetPhaseSG_ = nullptr;
  QLabel* labelCaseBudget_ = nullptr;
  QTableWidget* caseBudgetSG_ = nullptr;
  QFrame* shape2_ = nullptr;
  QPushButton* okBB_ = nullptr;

  bool runPending_ = false;  // set by each showing, taken by its first activation
  bool running_ = false;
  bool finished_ = false;
  bool closed_ = false;
};

}  // namespace upfold
