#include "TsvRunView.h"

#include "platform/TextEncoding.h"

namespace upfold {

void TsvRunView::SetFileRowCount(int rows) {
  grid_.resize(rows < 0 ? 0 : static_cast<std::size_t>(rows));
}

void TsvRunView::SetFileCell(int col, int row, const std::string& text) {
  if (row < 0 || col < 0 || col >= 5) return;
  if (static_cast<std::size_t>(row) >= grid_.size()) grid_.resize(row + 1);
  grid_[row][col] = text;
}

void TsvRunView::WriteRow(const std::vector<std::string>& cells) {
  std::string line;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) line += '\t';
    // A tab or line break inside a cell would break the row apart.
    for (char c : Cp1252ToUtf8(cells[i])) line += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
  }
  line += '\n';
  std::fputs(line.c_str(), out_);
}

void TsvRunView::ShowOK() {
  for (const auto& row : grid_) WriteRow({row.begin(), row.end()});
  std::fflush(out_);
}

template <std::size_t N>
void TsvRunView::StartGrid(bool& started, const char* title,
                           const std::array<const char*, N>& headings) {
  if (started) return;
  started = true;
  std::fprintf(out_, "\n%s\n", title);
  WriteRow({headings.begin(), headings.end()});
}

void TsvRunView::AddPhaseWarning(const std::array<std::string, 5>& row) {
  StartGrid(phaseStarted_, kPhaseWarningsTitle, kBudgetPhaseHeadings);
  WriteRow({row.begin(), row.end()});
  std::fflush(out_);
}

void TsvRunView::AddCaseWarning(const std::array<std::string, 4>& row) {
  StartGrid(caseStarted_, kCaseWarningsTitle, kCaseBudgetHeadings);
  WriteRow({row.begin(), row.end()});
  std::fflush(out_);
}

}  // namespace upfold
