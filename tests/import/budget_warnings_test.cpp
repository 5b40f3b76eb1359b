// Budget warnings: phases and case budgets noted by posted fees, their current totals from
// Fee.lf, HFee.lf and the host batch, and the 90 percent rule.

#include <gtest/gtest.h>

#include "ImportFixture.h"
#include "data/DirectAccess.h"
#include "import/BudgetWarnings.h"

namespace upfold::test {
namespace {

class Budgets : public ImportFixture {
 protected:
  Budgets() {
    AddEmployee("DBE", "LI", "AS");
    AddGroup("F", "CT");
    AddGroup("C", "CT");
    Create(std::string(kData) + "\\BPhases.lf", "BPhases");
  }
  void Phase(const std::string& client, const std::string& hours, const std::string& money) {
    Add(std::string(kData) + "\\BPhases.lf", "BPhases",
        {{"ClientCode", client}, {"CaseSuffix", "      1"}, {"PhaseCode", "CT"},
         {"HoursBudget", hours}, {"AmountBudget", money}});
  }
  void Fee(const std::string& file, const std::string& client, const std::string& type,
           double hours, double amount) {
    Add(std::string(kData) + "\\" + file, "Fees",
        {{"ClientCode", client}, {"CaseSuffix", "      1"}, {"TrType", type}, {"GroupCode", "CT"},
         {"BilHrs", std::to_string(hours)}, {"BilAmt", std::to_string(amount)}});
  }
  void Import() {
    auto run = MakeRun({"TRIN12.RME"});
    run->Activate();
    EXPECT_FALSE(run->ErrorsOccurred());
  }
};

TEST_F(Budgets, PhaseWarnsFromNinetyPercent) {
  struct Row {
    const char* client;
    double history;  // hours in HFee.lf besides 4 in Fee.lf and the posted hour
    bool warns;
  };
  const Row rows[] = {{"NINE", 4, true}, {"UNDER", 3.99, false}};
  for (const Row& row : rows) {
    AddCase(row.client, "1", {{"Billing Rate Code", "01"}});
    Phase(row.client, "   10", "");
    Fee("Fee.lf", row.client, "F", 4, 0);
    Fee("HFee.lf", row.client, "F", row.history, 0);
    Fee("Fee.lf", row.client, "C", 50, 0);  // costs do not count
    // Two fees of the same phase note it once.
    AddRemote("TRIN12.RME", {{"ClientCode", row.client}, {"BillableHours", "0.5"}, {"ActualAmount", "1"}});
    AddRemote("TRIN12.RME", {{"ClientCode", row.client}, {"BillableHours", "0.5"}, {"ActualAmount", "1"}});
  }
  Import();
  ASSERT_EQ(view.phaseRows.size(), 1u);
  EXPECT_EQ(view.phaseRows[0],
            (std::array<std::string, 5>{"NINE   ", "      1", "CT", "10 hrs", "9.00 hrs"}));
}

TEST_F(Budgets, BudgetTextsAndCaseBudgets) {
  AddCase("HALF", "1", {{"Fee Budget $", "0.5"}});
  AddCase("TINY", "1", {{"Fee Budget $", "0.01"}});
  AddCase("MONEY", "1");
  AddCase("JUNK", "1");
  Phase("MONEY", "00000", "    2000");  // zero hours in any spelling: the money budget counts
  Phase("JUNK", "abc", "");             // no readable budget: not noted
  Fee("Fee.lf", "MONEY", "F", 0, 1795);
  for (const char* client : {"HALF", "TINY", "MONEY", "JUNK"})
    AddRemote("TRIN12.RME", {{"ClientCode", client}, {"ActualAmount", "10"}, {"BillableAmount", "10"}});
  Import();
  ASSERT_EQ(view.phaseRows.size(), 1u);
  EXPECT_EQ(view.phaseRows[0],
            (std::array<std::string, 5>{"MONEY  ", "      1", "CT", "$2000", "$1805.00"}));
  ASSERT_EQ(view.caseRows.size(), 1u);
  EXPECT_EQ(view.caseRows[0], (std::array<std::string, 4>{"HALF   ", "      1", "$.50", "$10.00"}));
}

TEST_F(Budgets, HostBatchRecordsCountOnlyForTheirOwnCaseAndPhase) {
  AddCase("NINE", "1", {{"Fee Budget $", "100"}});
  Phase("NINE", "   10", "");
  Fee("Fee.lf", "NINE", "F", 4, 0);
  // Posted by an earlier run, not yet merged: the case and phase, another group of the case,
  // another case of the client, and a client whose code begins the same.
  const auto hostRecord = [&](const char* client, const char* caseSuffix, const char* group,
                              double hours, double dollars) {
    Add(std::string(kData) + "\\Trin01.s", "Batch",
        {{"Client", client}, {"Case", caseSuffix}, {"Trtype", "F"}, {"Group", group},
         {"BUnits", std::to_string(hours)}, {"BDollars", std::to_string(dollars)}});
  };
  hostRecord("NINE", "      1", "CT", 4, 40);
  hostRecord("NINE", "      1", "DR", 5, 50);
  hostRecord("NINE", "     11", "CT", 7, 70);
  hostRecord("NIN", "      1", "CT", 9, 90);
  AddRemote("TRIN12.RME",
            {{"ClientCode", "NINE"}, {"BillableHours", "1"}, {"ActualAmount", "10"}, {"BillableAmount", "10"}});
  Import();
  ASSERT_EQ(view.phaseRows.size(), 1u);
  EXPECT_EQ(view.phaseRows[0],
            (std::array<std::string, 5>{"NINE   ", "      1", "CT", "10 hrs", "9.00 hrs"}));
  ASSERT_EQ(view.caseRows.size(), 1u);
  EXPECT_EQ(view.caseRows[0], (std::array<std::string, 4>{"NINE   ", "      1", "$100.00", "$100.00"}));
}

TEST_F(Budgets, UnreadableHostBatchShowsNoWarningsButSays) {
  AddCase("HALF", "1", {{"Fee Budget $", "0.5"}});
  DirectAccess access(*fs, clock, ui);
  access.SetDataPath(kData);
  ASSERT_TRUE(access.LoadRecordManager());
  BudgetWarnings budgets(access, ui, kData, std::string(kData) + "\\Trin99.s");
  budgets.NoteFee("HALF", "      1", "CT");
  ASSERT_EQ(budgets.CaseBudgets().size(), 1u);
  ui.ExpectShow(MessageKind::Information,
                "The budget warnings cannot be shown: the host batch C:\\MFW\\DATA\\Trin99.s cannot "
                "be read.\r\rThe file C:\\MFW\\DATA\\Trin99.s could not be opened.\r\rBtrieve "
                "status 12.\rThe MicroKernel cannot find the specified file." +
                    std::string(kContactLine));
  EXPECT_FALSE(budgets.Fill(view));
  EXPECT_TRUE(view.caseRows.empty());
  budgets.Release();
}

}  // namespace
}  // namespace upfold::test
