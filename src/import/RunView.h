#pragma once
// What the import run shows while it works: the results grid (FileSG), the repaint, the OK
// button and the two budget warning grids. The results window implements it with widgets,
// upfold-import with standard output, tests with a recording fake.

#include <array>
#include <string>

namespace upfold {

// Headings of the results grid, one per column.
inline constexpr std::array<const char*, 5> kFileSGHeadings = {
    "Remote file name", "Total recs", "# Rejects", "Reject file", "Renamed file"};
// Headings of the budget warning grids (row 0), written with their first row.
inline constexpr std::array<const char*, 5> kBudgetPhaseHeadings = {"Client", "Case", "Group",
                                                                    "Budget", "Current"};
inline constexpr std::array<const char*, 4> kCaseBudgetHeadings = {"Client", "Case", "Budget",
                                                                   "Current"};

class RunView {
 public:
  virtual ~RunView() = default;

  // FileSG: rows including the heading row; cells by column and row, as the grid counts them.
  virtual void SetFileRowCount(int rows) = 0;
  virtual void SetFileCell(int col, int row, const std::string& text) = 0;
  // Paints what changed; the run calls it at most every few milliseconds, and once more at
  // the end of every batch.
  virtual void Repaint() = 0;
  // The run is over: show the OK button.
  virtual void ShowOK() = 0;
  // One warning row; the first row of a grid makes the grid, its label and the separating
  // rule visible with the headings above.
  virtual void AddPhaseWarning(const std::array<std::string, 5>& row) = 0;
  virtual void AddCaseWarning(const std::array<std::string, 4>& row) = 0;
};

}  // namespace upfold
