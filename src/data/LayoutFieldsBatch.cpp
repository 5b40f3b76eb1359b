// Field lists of the transaction files (host batch, remote batches, reject files), their
// description files, and the files read only directly (Fee.lf/HFee.lf, BPhases.lf).

#include "data/LayoutFields.h"

namespace upfold::layout_fields {

namespace {

constexpr FieldDef kBatch[] = {
    {"Auto", 0, 4, kAutoInc},
    {"Client", 4, 7, kText},
    {"Case", 11, 7, kText},
    {"Trtype", 18, 1, kText},
    {"TrDate", 19, 6, kText},
    {"SubType", 25, 1, kText},
    {"Aemp", 26, 4, kText},
    {"LastTouchDate", 30, 6, kText},
    {"Hndr", 36, 1, kText},
    {"Group", 37, 2, kText},
    {"OtherCode", 39, 1, kText},
    {"AUnits", 40, 4, kPacked, 2},
    {"ADollars", 44, 6, kPacked, 2},
    {"Bemp", 50, 4, kText},
    {"BUnits", 54, 4, kPacked, 2},
    {"BDollars", 58, 6, kPacked, 2},
    {"FeeDollars", 64, 6, kPacked, 2},
    {"DCDollars", 70, 6, kPacked, 2},
    {"ICDollars", 76, 6, kPacked, 2},
    {"FCDollars", 82, 6, kPacked, 2},
    {"STDollars", 88, 6, kPacked, 2},
    {"RetDollars", 94, 6, kPacked, 2},
    {"InvoiceNumber", 100, 8, kText},
    {"SeqNumber", 108, 8, kText},
    {"Unassigned", 116, 11, kText},
};

constexpr FieldDef kDescription[] = {
    {"AutoIncr", 0, 4, kAutoInc},
    {"SequenceNumber", 4, 8, kText},
    {"SequenceSuffix", 12, 1, kText},
    {"Description", 13, 78, kText},
};

constexpr FieldDef kRemBatch[] = {
    {"AutoInc", 0, 4, kAutoInc},          {"ClientCode", 4, 7, kText},
    {"CaseSuffix", 11, 7, kText},         {"Type", 18, 1, kText},
    {"StringTransDate", 19, 6, kText},    {"SubType", 25, 1, kText},
    {"StringEntryDate", 26, 6, kText},    {"HNDR", 32, 1, kText},
    {"GroupingCode", 33, 4, kText},       {"Unassigned", 37, 2, kText},
    {"EmployeeCode", 39, 4, kText},       {"ActualHours", 43, 4, kPacked, 2},
    {"ActualAmount", 47, 6, kPacked, 2},  {"BillableEmpCode", 53, 4, kText},
    {"BillableHours", 57, 4, kPacked, 2}, {"BillableAmount", 61, 6, kPacked, 2},
    {"Fees", 67, 6, kPacked, 2},          {"DirectCosts", 73, 6, kPacked, 2},
    {"IndirectCosts", 79, 6, kPacked, 2}, {"FinanceCharges", 85, 6, kPacked, 2},
    {"SalesTaxes", 91, 6, kPacked, 2},    {"Retainers", 97, 6, kPacked, 2},
    {"SequenceNumber", 103, 8, kText},    {"FixedBillingRate", 111, 1, kText},
    {"SubGroup", 112, 4, kText},          {"TransactionDate", 116, 4, kDate},
    {"Unassigned2", 120, 7, kText},
};

// Fee transactions, current and history; the same 80 bytes in both files.
constexpr FieldDef kFees[] = {
    {"Auto", 0, 4, kAutoInc},      {"ClientCode", 4, 7, kText}, {"CaseSuffix", 11, 7, kText},
    {"TrType", 18, 1, kText},      {"TrDate", 19, 6, kText},    {"SubType", 25, 1, kText},
    {"ActEmp", 26, 4, kText},      {"EntryDate", 30, 6, kText}, {"HNDR", 36, 1, kText},
    {"GroupCode", 37, 2, kText},   {"FixedFee", 39, 1, kText},  {"ActHrs", 40, 4, kPacked, 2},
    {"ActAmt", 44, 6, kPacked, 2}, {"BilEmp", 50, 4, kText},    {"BilHrs", 54, 4, kPacked, 2},
    {"BilAmt", 58, 6, kPacked, 2}, {"Invoice", 64, 8, kText},   {"Sequence", 72, 8, kText},
};

// Budget phases: a 16-byte key (client, case suffix right-justified, phase code), four unused
// bytes, then the hours and the amount budget as whole numbers in decimal digits.
constexpr FieldDef kBPhases[] = {
    {"ClientCode", 0, 7, kText}, {"CaseSuffix", 7, 7, kText},   {"PhaseCode", 14, 2, kText},
    {"Unused", 16, 4, kText},    {"HoursBudget", 20, 5, kText}, {"AmountBudget", 25, 8, kText},
};

}  // namespace

std::span<const FieldDef> Batch() {
  return kBatch;
}
std::span<const FieldDef> Description() {
  return kDescription;
}
std::span<const FieldDef> RemBatch() {
  return kRemBatch;
}
std::span<const FieldDef> Fees() {
  return kFees;
}
std::span<const FieldDef> BPhases() {
  return kBPhases;
}

}  // namespace upfold::layout_fields
