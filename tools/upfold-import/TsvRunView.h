#pragma once
// The results of upfold-import on standard output, as tab-separated rows: when the run is
// over, the results grid with its heading row; then each budget warning grid that has rows,
// after an empty line and its title, with its heading row first. Texts are written as UTF-8.

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "import/RunView.h"

namespace upfold {

inline constexpr const char* kPhaseWarningsTitle = "Fee Budget Phase Warnings";
inline constexpr const char* kCaseWarningsTitle = "Case Budget Warnings";

class TsvRunView final : public RunView {
 public:
  explicit TsvRunView(std::FILE* out = stdout) : out_(out) {}

  void SetFileRowCount(int rows) override;
  void SetFileCell(int col, int row, const std::string& text) override;
  void Repaint() override {}
  void ShowOK() override;
  void AddPhaseWarning(const std::array<std::string, 5>& row) override;
  void AddCaseWarning(const std::array<std::string, 4>& row) override;

 private:
  void WriteRow(const std::vector<std::string>& cells);
  // The first row of a warning grid: its title and headings.
  template <std::size_t N>
  void StartGrid(bool& started, const char* title, const std::array<const char*, N>& headings);

  std::FILE* out_;
  std::vector<std::array<std::string, 5>> grid_;
  bool phaseStarted_ = false;
  bool caseStarted_ = false;
};

}  // namespace upfold
