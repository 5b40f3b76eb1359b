#pragma once
// Fee budgets touched by an import: every posted fee notes its case's budget phase for its
// group and its case's fee budget; after the run each noted budget is compared with the fees
// now recorded against it (Fee.lf, HFee.lf and the host batch), and those at 90 percent or
// more become warning rows. Files are read through the direct record access.

#include <map>
#include <set>
#include <string>
#include <utility>

namespace upfold {

class DirectAccess;
class RunView;
class Ui;

class BudgetWarnings {
 public:
  // Slots of the direct access used here besides the standard case and fee files.
  static constexpr int kPhaseFile = 20;
  static constexpr int kHostBatchFile = 21;

  // dataPath: DOS folder of the master files; hostBatch: DOS path of Trin<ws>.s. The direct
  // access must have its record manager loaded and the data path set.
  BudgetWarnings(DirectAccess& access, Ui& ui, std::string dataPath, std::string hostBatch);

  // A posted fee: client left-justified in 7, case right-justified in 7, group as posted.
  void NoteFee(const std::string& client, const std::string& caseSuffix,
               const std::string& group);

  // Entries: phase key (16) + "H" + hours budget, or + "D" + money budget; case entries
  // client (7) + case (7) + budget right-justified in 10. Sorted, without repeats.
  const std::set<std::string>& PhaseBudgets() const { return phaseBudgets_; }
  const std::set<std::string>& CaseBudgets() const { return caseBudgets_; }

  // The fees recorded against a phase entry or a case (client, case as in the entries).
  double PhaseCurrentTotal(const std::string& entry);
  double CaseCurrentTotal(const std::string& client, const std::string& caseSuffix);

  // Adds a row to the view for every noted budget at 90 percent or more. False, after a
  // message, when the host batch cannot be read: no warning is shown then.
  bool Fill(RunView& view);
  // Forgets the entries and closes the files this object opened.
  void Release();

 private:
  struct Sums {
    double hours = 0;
    double dollars = 0;
  };
  // Reads the noted cases' records of the host batch once, summing billable hours and dollars
  // per client and case (group "*") and per client, case and group, for the noted budgets.
  void SumHostBatch();
  // NoteFee's reads: the phase and the case budget of client and case as keyed.
  void NoteBudgets(const std::string& clientKey, const std::string& caseKey,
                   const std::string& group);
  void AddRows(RunView& view);
  void CloseFeeFiles();
  // Billable hours and dollars of the fees of a case in Fee.lf or HFee.lf; group empty for
  // every group.
  Sums SumFees(int file, const std::string& client, const std::string& caseSuffix,
               const std::string* group);

  DirectAccess& access_;
  Ui& ui_;
  std::string dataPath_;
  std::string hostBatch_;
  bool phaseFileTried_ = false;
  bool phaseFileOpen_ = false;
  std::set<std::string> noted_;  // client + case + group of the fees noted so far
  std::set<std::string> phaseBudgets_;
  std::set<std::string> caseBudgets_;
  bool hostSummed_ = false;
  std::map<std::pair<std::string, std::string>, Sums> hostSums_;  // (client+case, group)
};

}  // namespace upfold
