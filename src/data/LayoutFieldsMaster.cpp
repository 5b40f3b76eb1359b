// Field lists of the master files and of the print settings file.

#include "data/LayoutFields.h"

namespace upfold::layout_fields {

namespace {

constexpr FieldDef kYCase[] = {
    {"AutoIncrement", 0, 4, kAutoInc},
    {"Client Code", 4, 7, kText},
    {"Case Suffix", 11, 7, kText},
    {"Alternate ID", 18, 20, kText},
    {"Alt Billing Format", 38, 3, kText},
    {"Description Line 1", 41, 50, kText},
    {"Resp Atty 1", 91, 4, kText},
    {"Resp Atty 2", 95, 4, kText},
    {"Resp Atty 3", 99, 4, kText},
    {"Department Code", 103, 2, kText},
    {"Case Type 1", 105, 2, kText},
    {"Case Type 2", 107, 2, kText},
    {"Case Type 3", 109, 2, kText},
    {"Sales Tax", 111, 1, kText},
    {"Finance Charge", 112, 1, kText},
    {"Statement Msg Code", 113, 2, kText},
    {"Fee BCC", 115, 1, kText},
    {"Cost BCC", 116, 1, kText},
    {"Case Status 1", 117, 1, kText},
    {"Case Status 2", 118, 1, kText},
    {"Billing Rate Code", 119, 2, kText},
    {"Ret Transfer Code", 121, 1, kText},
    {"LeftJustCaseSuffix", 122, 7, kText},
    {"First 10 Client Last", 129, 10, kText},
    {"Client Coord Atty", 139, 4, kText},
    {"Threshhold", 143, 3, kPacked, 0},
    {"Fee Budget $", 146, 6, kPacked, 2},
    {"Cost Budget $", 152, 6, kPacked, 2},
    {"Retainer Min $", 158, 4, kPacked, 0},
    {"Date Opened", 162, 6, kText},
    {"Date Last Update", 168, 6, kText},
    {"Date Last Payment", 174, 6, kText},
    {"Date Closed", 180, 6, kText},
    {"CTD act fees", 186, 6, kPacked, 2},
    {"CTD fee wd", 192, 6, kPacked, 2},
    {"CTD fee wu", 198, 6, kPacked, 2},
    {"CTD dir cost", 204, 6, kPacked, 2},
    {"CTD dir cost wd", 210, 6, kPacked, 2},
    {"CTD dir cost wu", 216, 6, kPacked, 2},
    {"CTD indirect cost", 222, 6, kPacked, 2},
    {"CTD indirect cost wd", 228, 6, kPacked, 2},
    {"CTD Indirect cost wu", 234, 6, kPacked, 2},
    {"CTD fee billings", 240, 6, kPacked, 2},
    {"CTD DC Billings", 246, 6, kPacked, 2},
    {"CTD IC Billings", 252, 6, kPacked, 2},
    {"CTD fc billings", 258, 6, kPacked, 2},
    {"CTD st billings", 264, 6, kPacked, 2},
    {"CTD ret billings", 270, 6, kPacked, 2},
    {"CTD fee payments", 276, 6, kPacked, 2},
    {"CTD DC Payments", 282, 6, kPacked, 2},
    {"CTD IC Payments", 288, 6, kPacked, 2},
    {"CTD FC Payments", 294, 6, kPacked, 2},
    {"CTD ST Payments", 300, 6, kPacked, 2},
    {"CTD Ret Payments", 306, 6, kPacked, 2},
    {"CTD fee adjustments", 312, 6, kPacked, 2},
    {"CTD DC Adjustments", 318, 6, kPacked, 2},
    {"CTD IC Adjustments", 324, 6, kPacked, 2},
    {"CTD FC Adjustments", 330, 6, kPacked, 2},
    {"CTD ST Adjustments", 336, 6, kPacked, 2},
    {"CTD Ret Adjustments", 342, 6, kPacked, 2},
    {"CTD fee Transfers", 348, 6, kPacked, 2},
    {"CTD DC Transfers", 354, 6, kPacked, 2},
    {"CTD IC Transfers", 360, 6, kPacked, 2},
    {"CTD FC Transfers", 366, 6, kPacked, 2},
    {"CTD ST Transfers", 372, 6, kPacked, 2},
    {"CTD Ret Transfers", 378, 6, kPacked, 2},
    {"CTD Trust Debits", 384, 6, kPacked, 2},
    {"CTD Trust Credits", 390, 6, kPacked, 2},
    {"CTD fee hours", 396, 5, kPacked, 2},
    {"CTD fee wd hours", 401, 5, kPacked, 2},
    {"CTD fee wu hours", 406, 5, kPacked, 2},
    {"CaseClient", 411, 14, kText},
    {"RJCaseClient", 425, 14, kText},
};

constexpr FieldDef kEmp[] = {
    {"AutoIncrement", 0, 4, kAutoInc},     {"Employee Code", 4, 4, kText},
    {"CAP Last Name", 8, 3, kText},        {"Employee First Name", 11, 15, kText},
    {"Employee Last Name", 26, 20, kText}, {"Employee Dept", 46, 2, kText},
    {"Employee Class", 48, 2, kText},      {"String Hire Date", 50, 6, kText},
    {"Budget $", 56, 5, kPacked, 0},       {"Budget Hours", 61, 3, kPacked, 0},
    {"Btrieve Hire Date", 64, 4, kDate},   {"Unassigned", 68, 6, kText},
};

constexpr FieldDef kEmpRates[] = {
    {"AutoInc", 0, 4, kAutoInc}, {"EmpCode", 4, 4, kText},     {"RateCode", 8, 2, kText},
    {"Rate", 10, 5, kPacked, 2}, {"UnAssigned", 15, 9, kText},
};

constexpr FieldDef kSimpleCd[] = {
    {"auto", 0, 4, kAutoInc},
    {"type code", 4, 1, kText},
    {"transaction type", 5, 1, kText},
    {"code", 6, 4, kText},
    {"stmt group function", 10, 1, kText},
    {"Description", 11, 120, kText},
    {"unassigned", 131, 13, kText},
};

constexpr FieldDef kGrates[] = {
    {"AutoIncr", 0, 4, kAutoInc},
    {"TypeOfRate", 4, 1, kText},
    {"Code", 5, 4, kText},
    {"RG Rate/Group code", 9, 1, kText},
    {"Rate/Group code", 10, 4, kText},
    {"FixedFeeSwitch", 14, 1, kText},
    {"RateOrAmount", 15, 5, kPacked, 2},
    {"Unassigned", 20, 4, kText},
};

constexpr FieldDef kFeeSplit[] = {
    {"autoincr", 0, 4, kAutoInc},       {"DummyClient", 4, 7, kText},
    {"DummyCase", 11, 7, kText},        {"ReceptorClient", 18, 7, kText},
    {"ReceptorCase", 25, 7, kText},     {"FeePerCent", 32, 4, kPacked, 4},
    {"CostPerCent", 36, 4, kPacked, 4},
};

constexpr FieldDef kPrint[] = {
    {"BtrIndex", 0, 4, kAutoInc},
    {"ReportNum", 4, 2, kText},
    {"DisplayNum", 6, 2, kInteger},
    {"RptName", 8, 20, kText},
    {"PrintSize", 28, 1, kText},
    {"DefPrntNum", 29, 2, kText},
    {"PageLen", 31, 3, kText},
    {"PrntToFile", 34, 1, kText},
    {"DirPath", 35, 40, kText},
    {"FileName", 75, 12, kText},
    {"PaperBinFirstPage", 87, 1, kText},
    {"PaperBinOtherPages", 88, 1, kText},
    {"Free", 89, 8, kText},
};

}  // namespace

std::span<const FieldDef> YCase() {
  return kYCase;
}
std::span<const FieldDef> Emp() {
  return kEmp;
}
std::span<const FieldDef> EmpRates() {
  return kEmpRates;
}
std::span<const FieldDef> SimpleCd() {
  return kSimpleCd;
}
std::span<const FieldDef> Grates() {
  return kGrates;
}
std::span<const FieldDef> FeeSplit() {
  return kFeeSplit;
}
std::span<const FieldDef> Print() {
  return kPrint;
}

}  // namespace upfold::layout_fields
