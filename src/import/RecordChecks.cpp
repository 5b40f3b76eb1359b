// Reading a remote record into the working values, and the checks that decide whether it is
// posted or rejected.

#include <cctype>

#include "app/AppContext.h"
#include "app/DateConversions.h"
#include "app/Ui.h"
#include "data/FileDate.h"
#include "data/FixedText.h"
#include "data/Table.h"
#include "import/ImportRun.h"
#include "import/ImportText.h"
#include "import/RunData.h"

namespace upfold {

namespace {

// A packed field of the remote record; a field that holds no packed number adds `badBit` to
// the mask and counts as 0, so the record goes to the reject file as it came.
double Packed(const Table& table, const char* field, int badBit, int& mask) {
  try {
    return table.AsFloat(field);
  } catch (const TableError&) {
    mask |= badBit;
    return 0;
  }
}

}  // namespace

bool ImportRun::ReadRecord() {
  Table& r = T().RemoteTB;
  WorkingValues& w = wv_;
  w.rawRecord = r.Record();
  w.storedType = r.AsString("Type");
  w.type = Trim(w.storedType);
  if (w.type.empty()) w.type = "C";
  const std::size_t at = w.type.size() == 1 ? std::string_view("FCTP").find(w.type[0])
                                            : std::string_view::npos;
  w.typeIndex = at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
  w.subType = r.AsString("SubType");
  w.hndr = r.AsString("HNDR");
  w.fixedBilling = r.AsString("FixedBillingRate");
  w.group = r.AsString("GroupingCode");
  w.transDate = r.AsString("StringTransDate");
  w.sequenceNumber = r.AsString("SequenceNumber");

  // Description lines: those of the record's sequence number, in key order.
  w.description.clear();
  w.descriptionLines = 0;
  Table& d = T().RemoteDescTB;
  try {
    d.FindNearest({w.sequenceNumber});
    const std::string seq = Trim(w.sequenceNumber);
    while (!d.Eof() && Trim(d.AsString("SequenceNumber")) == seq) {
      w.description += LeftJust(d.AsString("Description"), 78);
      ++w.descriptionLines;
      d.Next();
    }
  } catch (const TableError& e) {
    ctx_.ui.Information("Unable to read Remote description file " + remoteDescName_ + "\r\r" +
                        e.what() + kContactLine);
    Fail(Scope::Batch);
    return false;
  }

  w.groupCheckCode = w.typeIndex == 1 || w.typeIndex == 3 ? w.type : w.subType;
  const bool noEmployees = w.type == "P" || w.type == "T";
  w.client = LeftFit(r.AsString("ClientCode"), 7);
  w.caseSuffix = RightFit(Trim(r.AsString("CaseSuffix")), 7);
  w.storedEmployee = r.AsString("EmployeeCode");
  w.storedBillableEmployee = r.AsString("BillableEmpCode");
  w.employee = noEmployees ? std::string(4, ' ') : LeftJust(w.storedEmployee, 4);
  w.billableEmployee = noEmployees ? std::string(4, ' ') : LeftJust(w.storedBillableEmployee, 4);
  w.actualHours = Packed(r, "ActualHours", kBadHours, w.rejectMask);
  w.billableHours = Packed(r, "BillableHours", kBadHours, w.rejectMask);
  w.storedActualAmount = Packed(r, "ActualAmount", kBadAmount, w.rejectMask);
  w.storedBillableAmount = Packed(r, "BillableAmount", kBadAmount, w.rejectMask);
  if (w.type == "P") {
    static constexpr const char* kBreakdown[] = {"Fees",           "DirectCosts", "IndirectCosts",
                                                 "FinanceCharges", "SalesTaxes",  "Retainers"};
    for (std::size_t i = 0; i < 6; ++i)
      w.paymentBreakdown[i] = Packed(r, kBreakdown[i], kBadAmount, w.rejectMask);
  }
  return true;
}

bool ImportRun::CheckRecord() {
  WorkingValues& w = wv_;
  if (!GetCaseInfo(w.client + w.caseSuffix)) return false;
  CkType();
  CkGroup(w.group);
  if (!CkEmp(w.storedEmployee)) return false;
  if (w.empCheckResult == 0 && !CkEmp(w.storedBillableEmployee)) return false;
  w.empCheckResult = 0;
  CkDate(w.transDate);
  return true;
}

bool ImportRun::GetCaseInfo(const std::string& clientCase) {
  WorkingValues& w = wv_;
  const std::string client = LeftFit(clientCase.substr(0, std::min<std::size_t>(7, clientCase.size())), 7);
  const std::string caseSuffix =
      RightFit(Trim(clientCase.size() > 7 ? clientCase.substr(7, 7) : std::string()), 7);
  w.caseFound = false;
  w.caseStatus2.clear();
  w.caseBillingRateCode.clear();
  Table& c = T().CaseTB;
  try {
    if (!c.FindKey({client, caseSuffix})) {
      w.rejectMask |= kBadCase;
      return true;
    }
    w.caseFound = true;
    w.caseStatus2 = c.AsString("Case Status 2");
    w.caseBillingRateCode = c.AsString("Billing Rate Code");
    const std::string status1 = UpperAscii(c.AsString("Case Status 1"));
    const std::string status2 = UpperAscii(w.caseStatus2);
    if (status1 == "X") w.rejectMask |= kCaseClosed;
    if (status1 == "P" && (w.storedType == "F" || w.storedType == "C" || w.storedType == "T"))
      w.rejectMask |= kCaseClosed;
    if (status2 == "F") w.rejectMask |= kCaseFrozen;
    if (UpperAscii(w.storedType) == "P" && status2 == "D") w.rejectMask |= kPaymentToDummy;
    return true;
  } catch (const TableError& e) {
    ctx_.ui.ArrowCursor();
    ctx_.ui.Information("Unable to read file " + ctx_.values.DataPath +
                        "\\YCase.lf.\r\rProcessing Remote can't be run without this file.\r\r" +
                        e.what() + kContactLine);
    Fail(Scope::Run);
    return false;
  }
}

void ImportRun::CkType() {
  if (wv_.typeIndex == 0) wv_.rejectMask |= kBadType;
}

void ImportRun::CkGroup(const std::string& group) {
  const std::string* switches[] = {nullptr, &valFGrp_, &valCGrp_, &valTrGrp_, &valPGrp_};
  const std::string sw = switches[wv_.typeIndex] ? *switches[wv_.typeIndex] : std::string();
  if (Trim(group).empty()) {
    if (sw == "R") wv_.rejectMask |= kGroupRequired;
    return;
  }
  const int found = FindGrpInTB(LeftJust(group, 4), wv_.groupCheckCode);
  if ((sw == "R" || sw == "Y") && found > 0) wv_.rejectMask |= kBadGroup;
}

int ImportRun::FindGrpInTB(const std::string& group, const std::string& grpCheckCode) {
  Table& simple = T().SimpleTB;
  if (simple.FindKey({"G", grpCheckCode, group})) {
    if (wv_.typeIndex == 2) {
      // The cost group's own rate: rate type R for a direct cost, I otherwise, under the
      // code "X" and the group flag "G".
      WorkingValues& w = wv_;
      w.groupRateSwitch.clear();
      w.groupRate = 0;
      Table& rates = T().GroupRateTB;
      if (rates.FindKey({w.subType == "D" ? "R" : "I", "X", "G", LeftFit(Trim(group), 4)})) {
        w.groupRateSwitch = rates.AsString("FixedFeeSwitch");
        w.groupRate = rates.AsFloat("RateOrAmount");
      }
    }
    return 0;
  }
  return simple.FindKey({"G", "X", group}) ? 0 : 5;
}

bool ImportRun::CkEmp(const std::string& employeeCode) {
  WorkingValues& w = wv_;
  w.empDept.clear();
  w.empClass.clear();
  const std::string code = LeftJust(employeeCode, 4);
  Table& emp = T().EmpTB;
  try {
    if (!Trim(code).empty()) {
      if (!emp.FindKey({code}) || Trim(emp.AsString("Unassigned")) == "N") {
        w.empCheckResult = 1;
        EmpErr();
        return true;
      }
      w.empDept = emp.AsString("Employee Dept");
      w.empClass = emp.AsString("Employee Class");
    } else if (w.type == "F") {
      if (Trim(w.employee).empty() ||
          (Trim(w.billableEmployee).empty() && w.caseStatus2 != "D")) {
        w.empCheckResult = 2;
        EmpErr();
        return true;
      }
    }
    w.empCheckResult = 0;
    return true;
  } catch (const TableError& e) {
    ctx_.ui.ArrowCursor();
    ctx_.ui.Information("Unable to read file " + ctx_.values.DataPath +
                        "\\YEmp.lf.\r\rProcessing Remote can't be run without this file.\r\r" +
                        e.what() + kContactLine);
    // Every later record would meet the same file: the run ends here.
    Fail(Scope::Run);
    return false;
  }
}

void ImportRun::EmpErr() { wv_.rejectMask |= kBadEmp; }

std::string ImportRun::CkDate(const std::string& fileDate) {
  const std::string display = FileDateToDisplayDate(fileDate, true, ctx_.formats, ctx_.ui);
  // The conversion copies month and day as they stand; a date that is no calendar date (31
  // November) is as unusable as one it cannot convert.
  if (display == kFallbackDisplayDate || display == "01/01/1981" || !DecodeFileDate(Trim(fileDate)))
    wv_.rejectMask |= kBadDate;
  return display;
}

}  // namespace upfold
