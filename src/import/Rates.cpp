// Rates from the group-rate and employee-rate tables, the amounts of an accepted record and
// the case's billing status, and whether receptor hours are rounded to tenths.

#include "app/AppContext.h"
#include "app/Ui.h"
#include "data/FixedText.h"
#include "data/Table.h"
#include "import/ImportRun.h"
#include "import/RunData.h"

namespace upfold {

bool ImportRun::CalcTheRate(const std::string& employee, const std::string& group,
                            const std::string& dept, const std::string& empClass,
                            const std::string& receptorClient, const std::string& receptorCase) {
  WorkingValues& w = wv_;
  w.rate = 0;
  w.rateKind.clear();
  w.rateLevel = 0;
  const std::string emp4 = LeftFit(employee, 4);
  const std::string group4 = LeftFit(Trim(group), 4);
  const std::string dept4 = LeftFit(dept, 4);
  const std::string class4 = LeftFit(empClass, 4);
  Table& rates = T().GroupRateTB;
  // A group-rate record of that kind and code; a blank department or class has no rate.
  const auto groupRate = [&](const char* kind, const std::string& code, const char* flag,
                             const std::string& rateOrGroup, int level) {
    if (Trim(code).empty() || !rates.FindKey({kind, code, flag, rateOrGroup})) return false;
    w.rateKind = rates.AsString("FixedFeeSwitch");
    w.rate = rates.AsFloat("RateOrAmount");
    w.rateLevel = level;
    return true;
  };

  bool found = false;
  if (!Trim(group).empty()) {
    found = groupRate("E", emp4, "G", group4, 1) || groupRate("D", dept4, "G", group4, 2) ||
            groupRate("M", class4, "G", group4, 3);
  }
  if (!found) {
    std::string rateCode;
    if (!Trim(receptorClient).empty() || !Trim(receptorCase).empty()) {
      // A receptor of a fee split is billed at its own case's rate code.
      Table& cases = T().CaseTB;
      try {
        if (cases.FindKey({LeftFit(receptorClient, 7), RightFit(Trim(receptorCase), 7)}))
          rateCode = cases.AsString("Billing Rate Code");
      } catch (const TableError& e) {
        ctx_.ui.Information("Unable to read YCase.lf file " + remoteFileName_ + "\r\r" + e.what() +
                            kContactLine);
        Fail(Scope::Batch);
        return false;
      }
    } else if (w.caseFound) {
      rateCode = w.caseBillingRateCode;
    }
    if (!Trim(rateCode).empty()) {
      const std::string code2 = LeftFit(rateCode, 2);
      Table& empRates = T().EmpRateTB;
      if (!Trim(emp4).empty() && empRates.FindKey({emp4, code2})) {
        w.rate = empRates.AsFloat("Rate");
        w.rateLevel = 4;
      } else if (!groupRate("D", dept4, "R", code2, 5) && !groupRate("M", class4, "R", code2, 6)) {
        w.rate = 0;
      }
    }
  }
  w.fixedBilling = w.rateKind == "F" ? "F" : "";
  return true;
}

bool ImportRun::RoundToTenth() {
  Table& cases = T().CaseTB;
  if (!cases.FindKey({wv_.client, wv_.caseSuffix})) return false;
  const std::string format = LeftFit(cases.AsString("Alt Billing Format"), 3);
  Table& tsc = T().Tsc2TB;
  return tsc.FindKey({format, "2"}) && tsc.AsString("RoundRecepToTenth") == "Y";
}

bool ImportRun::CalcAmounts() {
  WorkingValues& w = wv_;
  if (w.type == "F" || w.type == "C") {
    const bool fee = w.type == "F";
    const double storedActual = w.storedActualAmount;
    if (storedActual == 0) {
      if (fee && w.rate == 0 && !Trim(w.employee).empty()) {
        if (!CalcTheRate(w.employee, w.group, w.empDept, w.empClass, "", "")) return false;
        w.actualAmount = w.rateKind == "F" ? w.rate : w.actualHours * w.rate;
      } else {
        if (!fee && w.rate == 0 && w.groupRateSwitch == "U") w.rate = w.groupRate;
        w.actualAmount = w.actualHours * w.rate;
      }
    } else if (storedActual == -1) {
      w.actualAmount = 0;
    } else {
      w.actualAmount = storedActual;
    }

    const double storedBillable = w.storedBillableAmount;
    if (storedBillable == 0) {
      if (fee) {
        if (w.rate == 0 && !Trim(w.storedBillableEmployee).empty())
          CalcTheRate(w.storedBillableEmployee, w.group, w.empDept, w.empClass, "", "");
        w.billableAmount = w.rateKind == "F" ? w.rate : w.billableHours * w.rate;
      } else {
        if (w.rate == 0) w.rate = w.groupRate;
        w.billableAmount =
            w.groupRateSwitch == "M" ? w.actualAmount * w.rate : w.billableHours * w.rate;
      }
    } else if (storedBillable == -1) {
      w.billableAmount = 0;
    } else {
      w.billableAmount = storedBillable;
    }

    if (w.caseStatus2 == "D") {
      w.billableAmount = 0;
      w.billableEmployee = std::string(4, ' ');
      w.hndr = "D";
    } else if (w.caseStatus2 == "N") {
      w.billableAmount = 0;
      w.hndr = "N";
      w.billableHours = 0;
    }
  } else if (w.type == "T") {
    w.actualAmount = -1 * w.storedActualAmount;
  }
  return true;
}

}  // namespace upfold
