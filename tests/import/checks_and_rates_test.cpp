// The checks of a remote transaction (reject mask bits) and its rate and amounts, each row a
// one-record remote batch run through the same record pipeline as an import.

#include <gtest/gtest.h>

#include <cstdio>

#include "ImportFixture.h"
#include "data/FixedText.h"

namespace upfold::test {
namespace {

class ChecksAndRates : public ImportFixture {
 protected:
  ChecksAndRates() {
    AddCase("ACME", "1", {{"Billing Rate Code", "01"}});
    AddCase("ACME", "2", {{"Case Status 1", "X"}});
    AddCase("ACME", "3", {{"Case Status 1", "x"}});
    AddCase("ACME", "4", {{"Billing Rate Code", "09"}});
    AddCase("ACME", "5", {{"Billing Rate Code", "02"}});
    AddCase("PAID", "1", {{"Case Status 1", "P"}});
    AddCase("DUMMY", "1", {{"Case Status 2", "D"}});
    AddCase("FROZE", "1", {{"Case Status 2", "F"}});
    AddCase("NOCH", "1", {{"Case Status 2", "N"}, {"Billing Rate Code", "01"}});
    AddEmployee("DBE", "LI", "AS");
    AddEmployee("MAL", "LI", "PA");
    AddEmployee("EMA", "RE", "PL");
    AddEmployee("OFE", "CO", "CL", "N");
    for (const char* g : {"CT", "DR", "CF", "WL", "RS"}) AddGroup("F", g);
    AddGroup("D", "CR");
    AddGroup("I", "PC");
    AddGroup("T", "DP");
    AddGroup("X", "GN");
    AddGroupRate("E", "DBE", "G", "DR", 120);
    AddGroupRate("E", "MAL", "G", "WL", 500, "F");
    AddGroupRate("D", "LI", "G", "CT", 300);
    AddGroupRate("M", "PL", "G", "RS", 95);
    AddGroupRate("D", "RE", "R", "02", 150);
    AddGroupRate("M", "PL", "R", "01", 110);
    AddGroupRate("R", "X", "G", "CR", 1.15, "M");
    AddGroupRate("I", "X", "G", "PC", 0.25, "U");
    AddEmpRate("DBE", "01", 245);
  }

  // The working values after reading and checking the first record of a new batch.
  WorkingValues Check(const Fields& fields, const std::string& feeSwitch, bool amounts) {
    char name[32];
    std::snprintf(name, sizeof name, "TRIN%02d.RME", ++batches_);
    AddRemote(name, fields);
    auto run = RunOnFirstRecord(name);
    run->SetGroupSwitches(feeSwitch, "Y", "Y", "N");
    EXPECT_TRUE(run->ReadRecord());
    EXPECT_TRUE(run->CheckRecord());
    if (amounts) {
      EXPECT_TRUE(run->CalcAmounts());
    }
    return run->Working();
  }

  int batches_ = 0;
};

TEST_F(ChecksAndRates, RejectMaskOfEachCheck) {
  struct Row {
    const char* what;
    Fields fields;
    int mask;
    const char* feeSwitch = "R";
  };
  const Row rows[] = {
      {"good fee", {}, 0},
      {"no such case, still type and date checked", {{"ClientCode", "NOSUCH"}, {"Type", "Q"}, {"StringTransDate", "010101"}}, 41},
      {"closed", {{"CaseSuffix", "      2"}}, 2},
      {"closed in lower case", {{"CaseSuffix", "      3"}}, 2},
      {"fee on a paid-only case", {{"ClientCode", "PAID"}}, 2},
      {"payment on a paid-only case", {{"ClientCode", "PAID"}, {"Type", "P"}, {"GroupingCode", ""}}, 0},
      {"payment to a dummy case", {{"ClientCode", "DUMMY"}, {"Type", "P"}, {"GroupingCode", ""}}, 4},
      {"fee on a dummy case without billable employee", {{"ClientCode", "DUMMY"}, {"BillableEmpCode", ""}}, 0},
      {"unknown type", {{"Type", "B"}}, 8},
      {"lower-case type", {{"Type", "f"}}, 8},
      {"blank type is an indirect cost", {{"Type", " "}, {"SubType", "I"}, {"GroupingCode", "PC"}}, 0},
      {"both employees blank: bit 16 once", {{"EmployeeCode", ""}, {"BillableEmpCode", ""}}, 16},
      {"billable employee blank", {{"BillableEmpCode", ""}}, 16},
      {"employee not on file", {{"EmployeeCode", "XYZ"}, {"BillableEmpCode", ""}}, 16},
      {"inactive employee", {{"EmployeeCode", "OFE"}}, 16},
      {"trust with an unknown employee", {{"Type", "T"}, {"EmployeeCode", "XYZ"}, {"GroupingCode", "DP"}}, 16},
      {"date 010101", {{"StringTransDate", "010101"}}, 32},
      {"31 November", {{"StringTransDate", "461131"}}, 32},
      {"blank date", {{"StringTransDate", ""}}, 32},
      {"fee without group, switch R", {{"GroupingCode", ""}}, 64},
      {"fee without group, switch Y", {{"GroupingCode", ""}}, 0, "Y"},
      {"unknown fee group, switch Y", {{"GroupingCode", "TRAV"}}, 128, "Y"},
      {"unknown fee group, switch N", {{"GroupingCode", "TRAV"}}, 0, "N"},
      {"cost group not on file", {{"Type", "C"}, {"SubType", "I"}, {"GroupingCode", "ZZ"}}, 128},
      {"group under X is valid for every type", {{"GroupingCode", "GN"}}, 0},
      {"frozen", {{"ClientCode", "FROZE"}}, 4096},
      {"no case and unknown employee", {{"ClientCode", "NOSUCH"}, {"CaseSuffix", "      7"}, {"EmployeeCode", "ZZZ"}}, 17},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(Check(row.fields, row.feeSwitch, false).rejectMask, row.mask);
  }
}

TEST_F(ChecksAndRates, BlankTypeAndPaymentsClearWorkingEmployees) {
  const WorkingValues cost = Check({{"Type", " "}, {"SubType", "I"}, {"GroupingCode", "PC"}}, "R", false);
  EXPECT_EQ(cost.type, "C");
  EXPECT_EQ(cost.typeIndex, 2);
  EXPECT_EQ(cost.groupCheckCode, "I");
  const WorkingValues trust = Check({{"Type", "T"}, {"GroupingCode", "DP"}}, "R", false);
  EXPECT_EQ(trust.employee, "    ");
  EXPECT_EQ(trust.billableEmployee, "    ");
  EXPECT_EQ(trust.rejectMask, 0);  // DBE is checked, and on file
}

TEST_F(ChecksAndRates, AmountsByTypeAndRateLevel) {
  struct Row {
    const char* what;
    Fields fields;
    double actual, billable;
    int level;
    const char* hndr = " ";
    const char* fixed = "";
  };
  const Row rows[] = {
      {"employee's group rate 120 at 2.5 hours", {{"GroupingCode", "DR"}, {"ActualHours", "2.5"}, {"BillableHours", "2.5"}}, 300, 300, 1},
      {"department's group rate", {{"ActualHours", "3"}, {"BillableHours", "3"}}, 900, 900, 2},
      {"class's group rate", {{"EmployeeCode", "EMA"}, {"BillableEmpCode", "EMA"}, {"GroupingCode", "RS"}, {"ActualHours", "2.25"}, {"BillableHours", "2.25"}}, 213.75, 213.75, 3},
      {"fixed fee whatever the hours", {{"EmployeeCode", "MAL"}, {"BillableEmpCode", "MAL"}, {"GroupingCode", "WL"}, {"ActualHours", "3"}, {"BillableHours", "7"}}, 500, 500, 1, " ", "F"},
      {"employee's rate for the case's rate code", {{"GroupingCode", "CF"}, {"ActualHours", "1.5"}, {"BillableHours", "1.5"}}, 367.5, 367.5, 4},
      {"department's rate for a rate code", {{"CaseSuffix", "      5"}, {"EmployeeCode", "EMA"}, {"BillableEmpCode", "EMA"}, {"GroupingCode", "DR"}, {"ActualHours", "1.5"}, {"BillableHours", "1.5"}}, 225, 225, 5},
      {"class's rate for a rate code", {{"EmployeeCode", "EMA"}, {"BillableEmpCode", "EMA"}, {"GroupingCode", "CF"}, {"ActualHours", "2"}, {"BillableHours", "2"}}, 220, 220, 6},
      {"no rate for the case's rate code", {{"CaseSuffix", "      4"}, {"GroupingCode", ""}}, 0, 0, 0},
      {"amounts -1", {{"ActualAmount", "-1"}, {"BillableAmount", "-1"}, {"GroupingCode", "DR"}}, 0, 0, 0},
      {"given actual, billable at the billable employee's rate", {{"EmployeeCode", "EMA"}, {"GroupingCode", "CF"}, {"ActualAmount", "142.5"}, {"BillableHours", "1.5"}}, 142.5, 367.5, 4},
      {"computed actual rate serves the billable amount", {{"BillableEmpCode", "MAL"}, {"GroupingCode", "DR"}, {"ActualHours", "2"}, {"BillableHours", "1"}}, 240, 120, 1},
      {"cost mark-up M", {{"Type", "C"}, {"SubType", "D"}, {"GroupingCode", "CR"}, {"ActualAmount", "100"}}, 100, 115, 0},
      {"cost per unit U", {{"Type", "C"}, {"SubType", "I"}, {"GroupingCode", "PC"}, {"ActualHours", "40"}, {"BillableHours", "40"}}, 10, 10, 0},
      {"cost without group", {{"Type", "C"}, {"SubType", "I"}, {"GroupingCode", ""}, {"ActualHours", "3"}}, 0, 0, 0},
      {"cost group only under X", {{"Type", "C"}, {"SubType", "I"}, {"GroupingCode", "GN"}, {"ActualHours", "3"}}, 0, 0, 0},
      {"dummy case", {{"ClientCode", "DUMMY"}, {"GroupingCode", "DR"}, {"ActualHours", "2.5"}, {"BillableHours", "2.5"}}, 300, 0, 1, "D"},
      {"no-charge case", {{"ClientCode", "NOCH"}, {"GroupingCode", "DR"}, {"ActualHours", "2.5"}, {"BillableHours", "2.5"}}, 300, 0, 1, "N"},
      {"trust", {{"Type", "T"}, {"GroupingCode", "DP"}, {"ActualAmount", "50"}}, -50, 0, 0},
      {"payment", {{"Type", "P"}, {"GroupingCode", ""}, {"ActualAmount", "2400"}}, 0, 0, 0},
      {"remote HNDR R takes its own case's rate code", {{"HNDR", "R"}, {"GroupingCode", "CF"}}, 245, 245, 4, "R"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const WorkingValues w = Check(row.fields, "Y", true);
    EXPECT_DOUBLE_EQ(w.actualAmount, row.actual);
    EXPECT_DOUBLE_EQ(w.billableAmount, row.billable);
    EXPECT_EQ(w.rateLevel, row.level);
    EXPECT_EQ(w.hndr, row.hndr);
    EXPECT_EQ(Trim(w.fixedBilling), row.fixed);
  }
}

TEST_F(ChecksAndRates, DummyAndNoChargeCasesClearBillableValues) {
  const WorkingValues dummy = Check({{"ClientCode", "DUMMY"}, {"GroupingCode", "DR"}}, "Y", true);
  EXPECT_EQ(dummy.billableEmployee, "    ");
  EXPECT_DOUBLE_EQ(dummy.billableHours, 1);
  const WorkingValues noCharge = Check({{"ClientCode", "NOCH"}, {"GroupingCode", "DR"}}, "Y", true);
  EXPECT_DOUBLE_EQ(noCharge.billableHours, 0);
  EXPECT_EQ(noCharge.billableEmployee, "DBE ");
}

}  // namespace
}  // namespace upfold::test
