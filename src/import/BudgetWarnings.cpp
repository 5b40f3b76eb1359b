#include "import/BudgetWarnings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>

#include "app/Ui.h"
#include "data/AbortError.h"
#include "data/DirectAccess.h"
#include "data/FixedText.h"
#include "data/PackedDecimal.h"
#include "import/RunView.h"
#include "platform/TextEncoding.h"
#include "recman/DataFile.h"

namespace upfold {

namespace {

// Byte positions (0-based) shared by the fee files and the host batch.
constexpr std::size_t kClientAt = 4, kCaseAt = 11, kTypeAt = 18, kGroupAt = 37;
constexpr int kHostBatchCaseKey = 1;  // client and case
constexpr std::size_t kHoursAt = 54, kHoursLen = 4, kDollarsAt = 58, kDollarsLen = 6;
// Budget phase record: 16-byte key, hours budget at 21-25, money budget at 26-33.
constexpr std::size_t kPhaseKeyLen = 16, kPhaseRecordLen = 33;
// Case file: the fee budget, packed with two decimals, at 147-152.
constexpr std::size_t kFeeBudgetAt = 146, kFeeBudgetLen = 6;
constexpr char kSeparator = '.';
constexpr double kWarnShare = 0.9;

std::string Slice(const std::string& record, std::size_t at, std::size_t length) {
  if (at >= record.size()) return std::string(length, ' ');
  return LeftFit(record.substr(at, length), length);
}

// A whole number in decimal digits (an optional sign), nothing else.
std::optional<long long> WholeNumber(const std::string& text) {
  const std::string t = Trim(text);
  if (t.empty()) return std::nullopt;
  long long value = 0;
  const char* begin = t.data() + (t[0] == '+' ? 1 : 0);
  const auto [ptr, ec] = std::from_chars(begin, t.data() + t.size(), value);
  if (ec != std::errc() || ptr != t.data() + t.size()) return std::nullopt;
  return value;
}

std::optional<double> Number(const std::string& text) {
  const std::string t = Trim(text);
  if (t.empty()) return std::nullopt;
  double value = 0;
  const auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
  if (ec != std::errc() || ptr != t.data() + t.size()) return std::nullopt;
  return value;
}

// A packed amount of a record read back as the budget texts are: unreadable counts 0.
double Amount(const std::string& record, std::size_t at, std::size_t length) {
  if (at + length > record.size()) return 0;
  return DecodePacked(std::string_view(record).substr(at, length), 2,
                      PackedSign::NegativeUnlessF)
      .value_or(0);
}

// Sums of two-decimal amounts carry binary noise (8.999999 for 9); a total is compared and
// shown in cents, against 90 percent of the budget in the same precision.
double Cents(double value) { return std::round(value * 100) / 100; }
bool Reached(double current, double budget) {
  return Cents(current) >= std::round(kWarnShare * budget * 10000) / 10000;
}

std::string Money(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

}  // namespace

BudgetWarnings::BudgetWarnings(DirectAccess& access, Ui& ui, std::string dataPath,
                               std::string hostBatch)
    : access_(access), ui_(ui), dataPath_(std::move(dataPath)), hostBatch_(std::move(hostBatch)) {}

void BudgetWarnings::NoteFee(const std::string& client, const std::string& caseSuffix,
                             const std::string& group) {
  const std::string clientKey = LeftFit(client, 7);
  const std::string caseKey = RightFit(Trim(caseSuffix), 7);
  hostSummed_ = false;
  // A batch posts many fees to the same case and group: their budgets are noted once, unless
  // noting them failed.
  const std::string notedKey = clientKey + caseKey + LeftFit(Trim(group), 2);
  if (!noted_.insert(notedKey).second) return;
  try {
    NoteBudgets(clientKey, caseKey, group);
  } catch (...) {
    noted_.erase(notedKey);
    throw;
  }
}

void BudgetWarnings::NoteBudgets(const std::string& clientKey, const std::string& caseKey,
                                 const std::string& group) {
  // Budget phase. The file is optional: without it no phase is noted.
  if (!phaseFileTried_) {
    phaseFileTried_ = true;
    const std::string path = dataPath_ + "\\BPhases.lf";
    try {
      access_.OpenFile(kPhaseFile, path);
      access_.SetKeyNumber(kPhaseFile, 1);
      phaseFileOpen_ = true;
    } catch (const AbortError&) {
      phaseFileOpen_ = false;
    }
  }
  if (phaseFileOpen_) {
    // The host batch keeps two characters of a group, so a phase is met by those two.
    const std::string key = clientKey + caseKey + LeftFit(Trim(group), 2);
    std::string record;
    if (access_.GetEqualRecord(kPhaseFile, key, &record)) {
      record.resize(std::max(record.size(), kPhaseRecordLen), ' ');
      const std::string hours = record.substr(20, 5);
      const std::string money = record.substr(25, 8);
      // A budget that reads as zero or below, or as no whole number, is no budget: it would
      // otherwise warn on every fee.
      const std::optional<long long> h = WholeNumber(hours);
      const std::optional<long long> d = WholeNumber(money);
      if (h && *h > 0) {
        phaseBudgets_.insert(key + "H" + hours);
      } else if (d && *d > 0) {
        phaseBudgets_.insert(key + "D" + money);
      }
    }
  }

  // Case fee budget.
  access_.OpenStandardFile(DirectAccess::kCaseFile);
  std::string record;
  if (!access_.GetEqualRecord(DirectAccess::kCaseFile, clientKey + caseKey, &record)) return;
  if (record.size() < kFeeBudgetAt + kFeeBudgetLen) return;
  const std::optional<std::string> text =
      PackedAmountText(std::string_view(record).substr(kFeeBudgetAt, kFeeBudgetLen), kSeparator);
  if (!text) return;
  const std::string budget = Trim(*text);
  const std::optional<double> value = Number(budget);
  if (value && std::fabs(*value) > 0.01) caseBudgets_.insert(clientKey + caseKey + RightJust(budget, 10));
}

BudgetWarnings::Sums BudgetWarnings::SumFees(int file, const std::string& client,
                                             const std::string& caseSuffix,
                                             const std::string* group) {
  Sums sums;
  // The fee files are read through their field catalogue: they have no bare description.
  // They stay open for the other budgets of the same fill.
  if (!access_.IsFileOpen(file)) {
    access_.SetUseFieldCatalogue(true);
    access_.OpenStandardFile(file);
    access_.SetUseFieldCatalogue(false);
  }
  const std::string start = client + caseSuffix + "F";
  std::string record;
  bool endOfFile = false;
  bool found = access_.GetRecordByKey(file, start, &record, endOfFile, 3);
  while (found && Slice(record, kClientAt, 7) == client && Slice(record, kCaseAt, 7) == caseSuffix &&
         Slice(record, kTypeAt, 1) == "F") {
    if (!group || Trim(Slice(record, kGroupAt, 2)) == Trim(*group)) {
      sums.hours += Amount(record, kHoursAt, kHoursLen);
      sums.dollars += Amount(record, kDollarsAt, kDollarsLen);
    }
    access_.GetNextRecord(file, &record, endOfFile);
    found = !endOfFile;
  }
  return sums;
}

void BudgetWarnings::SumHostBatch() {
  if (hostSummed_) return;
  hostSums_.clear();
  std::set<std::string> cases;
  std::set<std::pair<std::string, std::string>> phases;
  for (const std::string& e : caseBudgets_) cases.insert(e.substr(0, 14));
  for (const std::string& e : phaseBudgets_) phases.emplace(e.substr(0, 14), Trim(e.substr(14, 2)));
  std::set<std::string> touched = cases;
  for (const auto& phase : phases) touched.insert(phase.first);

  // Only the noted cases' records are read, through the client and case key: the host batch
  // may hold far more than this run posted.
  access_.OpenFile(kHostBatchFile, hostBatch_);  // AbortError when it cannot be opened
  access_.SetKeyNumber(kHostBatchFile, kHostBatchCaseKey);
  for (const std::string& clientCase : touched) {
    std::string record;
    bool endOfFile = false;
    bool found = access_.GetRecordByKey(kHostBatchFile, clientCase, &record, endOfFile, 3);
    // A key that ignores case keeps another spelling of the case among these records.
    while (found && EqualsIgnoreAsciiCase(Slice(record, kClientAt, 14), clientCase)) {
      const std::string group = Trim(Slice(record, kGroupAt, 2));
      const bool forCase = cases.count(clientCase) > 0;
      const bool forPhase = phases.count({clientCase, group}) > 0;
      if (Slice(record, kClientAt, 14) == clientCase && (forCase || forPhase)) {
        const double hours = Amount(record, kHoursAt, kHoursLen);
        const double dollars = Amount(record, kDollarsAt, kDollarsLen);
        if (forCase) hostSums_[{clientCase, "*"}].dollars += dollars;
        if (forPhase) {
          Sums& s = hostSums_[{clientCase, group}];
          s.hours += hours;
          s.dollars += dollars;
        }
      }
      access_.GetNextRecord(kHostBatchFile, &record, endOfFile);
      found = !endOfFile;
    }
  }
  access_.CloseFile(kHostBatchFile);
  hostSummed_ = true;
}

double BudgetWarnings::PhaseCurrentTotal(const std::string& entry) {
  const std::string client = entry.substr(0, 7);
  const std::string caseSuffix = entry.substr(7, 7);
  const std::string group = entry.substr(14, 2);
  const bool hours = entry.size() > 16 && entry[16] == 'H';
  double sum = 0;
  for (int file : {DirectAccess::kFeeFile, DirectAccess::kHistoryFeeFile}) {
    const Sums s = SumFees(file, client, caseSuffix, &group);
    sum += hours ? s.hours : s.dollars;
  }
  SumHostBatch();
  const auto it = hostSums_.find({client + caseSuffix, Trim(group)});
  if (it != hostSums_.end()) sum += hours ? it->second.hours : it->second.dollars;
  return sum;
}

double BudgetWarnings::CaseCurrentTotal(const std::string& client, const std::string& caseSuffix) {
  double sum = 0;
  for (int file : {DirectAccess::kFeeFile, DirectAccess::kHistoryFeeFile})
    sum += SumFees(file, client, caseSuffix, nullptr).dollars;
  SumHostBatch();
  const auto it = hostSums_.find({client + caseSuffix, "*"});
  if (it != hostSums_.end()) sum += it->second.dollars;
  return sum;
}

bool BudgetWarnings::Fill(RunView& view) {
  // The files are read in stretches under one shared lock each (ended after every budget), and
  // the fee files opened here are closed again whatever happens.
  access_.HoldReads(true);
  struct EndOfFill {
    BudgetWarnings& self;
    ~EndOfFill() {
      self.access_.HoldReads(false);
      self.CloseFeeFiles();
    }
  } endOfFill{*this};
  try {
    if (!phaseBudgets_.empty() || !caseBudgets_.empty()) SumHostBatch();
  } catch (const AbortError& e) {
    ui_.Information("The budget warnings cannot be shown: the host batch " + hostBatch_ +
                    " cannot be read.\r\r" + e.what() + kContactLine);
    return false;
  }
  try {
    AddRows(view);
  } catch (const AbortError& e) {
    ui_.Information("The budget warnings cannot be completed.\r\r" + std::string(e.what()) +
                    kContactLine);
    return false;
  }
  return true;
}

void BudgetWarnings::AddRows(RunView& view) {
  for (const std::string& entry : phaseBudgets_) {
    const bool hours = entry[16] == 'H';
    const std::string budgetText = Trim(entry.substr(17));
    const double budget = static_cast<double>(WholeNumber(budgetText).value_or(0));
    const double current = Cents(PhaseCurrentTotal(entry));
    DataFile::EndEveryReadStretch();
    if (!Reached(current, budget)) continue;
    view.AddPhaseWarning({entry.substr(0, 7), entry.substr(7, 7), entry.substr(14, 2),
                          hours ? budgetText + " hrs" : "$" + budgetText,
                          hours ? Money(current) + " hrs" : "$" + Money(current)});
  }
  for (const std::string& entry : caseBudgets_) {
    const std::string budgetText = Trim(entry.substr(14, 10));
    const double budget = Number(budgetText).value_or(0);
    const double current = Cents(CaseCurrentTotal(entry.substr(0, 7), entry.substr(7, 7)));
    DataFile::EndEveryReadStretch();
    if (!Reached(current, budget)) continue;
    view.AddCaseWarning({entry.substr(0, 7), entry.substr(7, 7), "$" + budgetText,
                         "$" + Money(current)});
  }
}

void BudgetWarnings::CloseFeeFiles() {
  try {
    for (int file : {DirectAccess::kFeeFile, DirectAccess::kHistoryFeeFile}) access_.CloseFile(file);
  } catch (const AbortError&) {
    // Read-only files: nothing of them is lost when a close fails.
  }
}

void BudgetWarnings::Release() {
  noted_.clear();
  phaseBudgets_.clear();
  caseBudgets_.clear();
  hostSums_.clear();
  hostSummed_ = false;
  if (phaseFileOpen_) access_.CloseFile(kPhaseFile);
  phaseFileOpen_ = false;
  phaseFileTried_ = false;
  access_.CloseFile(DirectAccess::kCaseFile);
  CloseFeeFiles();
}

}  // namespace upfold
