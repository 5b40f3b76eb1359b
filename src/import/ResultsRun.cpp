#include "import/ResultsRun.h"

#include "app/AppContext.h"
#include "data/VantroDM.h"
#include "import/ImportCommand.h"
#include "import/ImportRun.h"
#include "import/RunJournal.h"
#include "import/RunView.h"
#include "import/VantroRunData.h"
#include "print/RejectReport.h"

namespace upfold {

// Passes everything on to the window's view and keeps the results grid, which the reject
// report reads back after the run.
class ResultsRun::GridView final : public RunView {
 public:
  explicit GridView(RunView& view) : view_(view) {}

  void SetFileRowCount(int rows) override {
    cells_.resize(rows < 0 ? 0 : static_cast<std::size_t>(rows));
    view_.SetFileRowCount(rows);
  }
  void SetFileCell(int col, int row, const std::string& text) override {
    if (row >= 0 && col >= 0 && col < 5) {
      if (static_cast<std::size_t>(row) >= cells_.size()) cells_.resize(row + 1);
      cells_[row][col] = text;
    }
    view_.SetFileCell(col, row, text);
  }
  void Repaint() override { view_.Repaint(); }
  void ShowOK() override { view_.ShowOK(); }
  void AddPhaseWarning(const std::array<std::string, 5>& row) override {
    view_.AddPhaseWarning(row);
  }
  void AddCaseWarning(const std::array<std::string, 4>& row) override { view_.AddCaseWarning(row); }

  const std::vector<std::array<std::string, 5>>& Cells() const { return cells_; }
  std::vector<RejectReportRow> BatchRows() const {
    if (cells_.empty()) return {};
    return {cells_.begin() + 1, cells_.end()};
  }

 private:
  RunView& view_;
  std::vector<std::array<std::string, 5>> cells_;
};

ResultsRun::ResultsRun(AppContext& ctx, VantroDM& dm, RunView& view, const ImportRequest& request,
                       ReportDevices devices)
    : ctx_(ctx),
      dm_(dm),
      devices_(devices),
      grid_(std::make_unique<GridView>(view)),
      data_(std::make_unique<VantroRunData>(dm)) {
  RunJournal* journal = request.journal;
  if (journal == nullptr) {
    noJournal_ = std::make_unique<RunJournal>();
    journal = noJournal_.get();
  }
  run_ = std::make_unique<ImportRun>(ctx, *data_, *grid_, *journal, request.remoteFiles,
                                     request.selectedBatchRecordCount);
  run_->SetRejectReport([this] {
    RejectReportTables tables{
        dm_.RejectFileTB, dm_.RejectDescFileTB,
        [this](Table& table, const std::string& dir, const std::string& index,
               const std::string& file) { return dm_.OpenTable(table, dir, index, file); }};
    RejectReport report(ctx_, tables, devices_.choices, devices_.asker, devices_.printerList,
                        devices_.printers);
    const bool printed = report.PrintRejectReport(grid_->BatchRows());
    reportFailed_ = !printed;
    return printed;
  });
}

ResultsRun::~ResultsRun() = default;

void ResultsRun::Show() {
  dm_.ReadFromRegistry();
  run_->SetCreateZeroReceptors(dm_.CreateZeroReceptors);
}

void ResultsRun::Activate() {
  if (ran_) return;
  ran_ = true;
  run_->Activate();
}

void ResultsRun::Close() {
  dm_.CloseAllTables();
}

bool ResultsRun::Failed() const {
  return run_->ErrorsOccurred() || reportFailed_;
}

const std::vector<std::array<std::string, 5>>& ResultsRun::Grid() const {
  return grid_->Cells();
}

}  // namespace upfold
