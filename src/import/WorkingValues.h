#pragma once
// The values of the remote transaction being imported: read from the remote record and
// normalised, the findings of the checks, the rate and the amounts. Cleared after every record
// (BlankIt). Amounts and hours stay floating values; they are rounded only when stored.

#include <string>

namespace upfold {

// Reject reasons, one bit each; a record's RejectMask is their union.
enum RejectBit : int {
  kBadCase = 1,
  kCaseClosed = 2,
  kPaymentToDummy = 4,
  kBadType = 8,
  kBadEmp = 16,
  kBadDate = 32,
  kGroupRequired = 64,
  kBadGroup = 128,
  kBadHours = 256,   // an hours field that holds no packed number
  kBadAmount = 1024,  // an amount field that holds no packed number
  kCaseFrozen = 4096,
};

struct WorkingValues {
  // From the record.
  std::string rawRecord;  // the remote record's bytes as read
  std::string storedType;  // Type as stored
  std::string type;        // blanks removed; "C" when that leaves nothing
  int typeIndex = 0;       // position in "FCTP", 0 for any other type
  std::string subType, hndr, fixedBilling;
  std::string description;  // the description lines, each padded to 78, joined
  int descriptionLines = 0;
  std::string groupCheckCode;  // the type for F and T, the sub-type otherwise
  std::string client;          // left-justified in 7
  std::string caseSuffix;      // right-justified in 7
  std::string employee;        // left-justified in 4; blank for P and T
  std::string billableEmployee;
  std::string storedEmployee, storedBillableEmployee;  // as stored
  std::string group;                                   // GroupingCode as stored
  std::string transDate;                               // StringTransDate as stored
  std::string sequenceNumber;                          // SequenceNumber as stored
  double actualHours = 0, billableHours = 0;
  double storedActualAmount = 0, storedBillableAmount = 0;
  // A payment's amounts by kind: fees, direct costs, indirect costs, finance charges, sales
  // taxes, retainers.
  double paymentBreakdown[6] = {0, 0, 0, 0, 0, 0};

  // Findings of the checks.
  int rejectMask = 0;
  bool caseFound = false;
  std::string caseStatus2, caseBillingRateCode;  // of the case found
  int empCheckResult = 0;  // 0 passed, 1 not on file or inactive, 2 required but missing
  std::string empDept, empClass;

  // Rates and amounts.
  double rate = 0;
  std::string rateKind;  // FixedFeeSwitch of the group rate that supplied `rate`
  int rateLevel = 0;     // 0 to 6
  double groupRate = 0;  // the cost group's rate and switch
  std::string groupRateSwitch;
  double actualAmount = 0, billableAmount = 0;
};

}  // namespace upfold
