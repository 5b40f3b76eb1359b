// Posting an accepted transaction to the host batch: the transaction record, its description
// lines and, on a dummy case, one receptor transaction per fee-split record.

#include <cmath>
#include <cstdio>

#include "app/AppContext.h"
#include "app/Ui.h"
#include "data/FixedText.h"
#include "data/Layout.h"
#include "data/PackedDecimal.h"
#include "data/Table.h"
#include "import/ImportRun.h"
#include "import/RunData.h"

namespace upfold {

namespace {

// The fields of one host batch record that differ between a transaction and its receptors.
struct HostAmounts {
  std::string client, caseSuffix, hndr, otherCode, billableEmployee;
  double actualHours = 0, actualAmount = 0, billableHours = 0, billableAmount = 0;
};

double RoundTo(double value, int decimals) {
  const std::optional<std::int64_t> unscaled = RoundToUnscaled(value, decimals);
  return unscaled ? static_cast<double>(*unscaled) / std::pow(10.0, decimals) : value;
}

}  // namespace

bool ImportRun::AppendRecord(Table& table, const std::string& name,
                             const std::function<void(Table&)>& fill, std::uint64_t* high) {
  const auto fail = [&](const char* what, const TableError& e) {
    if (table.State() == TableState::Insert) table.Cancel();
    ctx_.ui.Information(what + name + "\r\r" + e.what() + kContactLine);
    Fail(Scope::Batch);
    return false;
  };
  if (!JoinGroup(table, name)) return false;
  try {
    table.Append();
  } catch (const TableError& e) {
    return fail("Unable to put file in append mode ", e);
  }
  try {
    fill(table);
  } catch (const TableError& e) {
    return fail("Unable to set values to ", e);
  }
  try {
    table.Post();
  } catch (const TableError& e) {
    return fail("Unable to post to ", e);
  }
  if (high) {
    // The record's auto-increment value, for the journal's marks.
    const double written = table.AsFloat(table.GetLayout()->fields.front().name);
    *high = std::max(*high, static_cast<std::uint64_t>(written));
  }
  return true;
}

bool ImportRun::WriteDescriptionLines(Table& table, const std::string& name,
                                      const std::string& seq, bool rejectSuffixes,
                                      std::uint64_t* high) {
  std::string text = wv_.description;
  const std::size_t maxLines = std::string_view(kSuffixes).size();
  for (std::size_t n = 1; !Trim(text).empty(); ++n) {
    std::string suffix;
    if (rejectSuffixes) {
      char digits[24];
      std::snprintf(digits, sizeof digits, "%02zu", n);
      suffix = digits[0];
    } else {
      if (n > maxLines) {
        // The host batch has no suffix for more lines; the whole text stays in the renamed
        // remote batch.
        ctx_.ui.Information("The description of transaction " + Trim(seq) + " (" +
                            Trim(wv_.client) + "-" + Trim(wv_.caseSuffix) + ") of " +
                            remoteFileName_ + " has more than " + std::to_string(maxLines) +
                            " lines. Only the first " + std::to_string(maxLines) +
                            " lines were imported.");
        break;
      }
      suffix = kSuffixes[n - 1];
    }
    const std::string line = LeftFit(text.substr(0, std::min<std::size_t>(78, text.size())), 78);
    const bool ok = AppendRecord(
        table, name,
        [&](Table& t) {
          t.SetAsString("SequenceNumber", seq);
          t.SetAsString("SequenceSuffix", suffix);
          t.SetAsString("Description", line);
        },
        high);
    if (!ok) return false;
    text.erase(0, std::min<std::size_t>(78, text.size()));
  }
  return true;
}

void ImportRun::WriteTrin() {
  WorkingValues& w = wv_;
  ++nextSeq_;
  const std::string seq = RightJust(std::to_string(nextSeq_), 8);
  const std::string systemFileDate = LeftFit(ctx_.values.SystemFileDate, 6);
  const std::string group2 = LeftFit(w.group, 2);

  const auto fillHost = [&](const HostAmounts& a) {
    return [&, a](Table& t) {
      t.SetAsString("Client", LeftFit(a.client, 7));
      t.SetAsString("Case", LeftFit(a.caseSuffix, 7));
      t.SetAsString("Trtype", LeftFit(w.type, 1));
      t.SetAsString("TrDate", LeftFit(w.transDate, 6));
      t.SetAsString("SubType", LeftFit(w.subType, 1));
      t.SetAsString("Aemp", LeftFit(w.employee, 4));
      t.SetAsString("LastTouchDate", systemFileDate);
      t.SetAsString("Hndr", LeftFit(a.hndr, 1));
      t.SetAsString("Group", group2);
      t.SetAsString("OtherCode", LeftFit(a.otherCode, 1));
      t.SetAsFloat("AUnits", a.actualHours);
      t.SetAsFloat("ADollars", a.actualAmount);
      t.SetAsString("Bemp", LeftFit(a.billableEmployee, 4));
      t.SetAsFloat("BUnits", a.billableHours);
      t.SetAsFloat("BDollars", a.billableAmount);
      static constexpr const char* kBreakdown[] = {"FeeDollars", "DCDollars", "ICDollars",
                                                   "FCDollars",  "STDollars", "RetDollars"};
      for (std::size_t i = 0; i < 6; ++i)
        t.SetAsFloat(kBreakdown[i], w.type == "P" ? w.paymentBreakdown[i] : 0);
      t.SetAsString("InvoiceNumber", std::string(8, ' '));
      t.SetAsString("SeqNumber", seq);
      t.SetAsString("Unassigned", std::string(11, ' '));
    };
  };

  HostAmounts own;
  own.client = w.client;
  own.caseSuffix = w.caseSuffix;
  own.hndr = w.hndr;
  own.otherCode = w.fixedBilling;
  own.billableEmployee = w.billableEmployee;
  own.actualHours = w.actualHours;
  own.billableHours = w.billableHours;
  // A payment keeps the amount it was recorded with (nothing is computed for it) and its
  // breakdown by kind, so that it reaches the host batch like every accepted transaction.
  own.actualAmount = w.type == "P" ? w.storedActualAmount : w.actualAmount;
  own.billableAmount = w.type == "P" ? 0 : w.billableAmount;
  if (!AppendRecord(T().TrinScratchTB, remoteFileName_, fillHost(own), &hostHigh_)) return;
  if (w.type == "F") budgets_->NoteFee(w.client, w.caseSuffix, group2);
  if (!WriteDescriptionLines(T().DescScratchTB, remoteDescName_, seq, false, &hostDescHigh_))
    return;
  if (w.hndr != "D") return;

  // Fee split of a transaction on a dummy case.
  w.hndr = "R";
  Table& splits = T().FeeSplitTB;
  const std::string client = Trim(w.client);
  const std::string caseSuffix = Trim(w.caseSuffix);
  const auto sameClient = [&] { return Trim(splits.AsString("DummyClient")) == client; };
  const auto sameCase = [&] { return Trim(splits.AsString("DummyCase")) == caseSuffix; };
  splits.FindNearest({w.client + w.caseSuffix, "", ""});
  while (!splits.Eof() && !splits.IsEmpty() && sameClient() && !sameCase()) splits.Next();
  const bool fee = w.type == "F";
  const double hours = w.billableHours;
  while (!splits.Eof() && !splits.IsEmpty() && sameClient() && sameCase()) {
    const double share = splits.AsFloat(fee ? "FeePerCent" : "CostPerCent") / 100;
    HostAmounts r;
    r.client = splits.AsString("ReceptorClient");
    r.caseSuffix = splits.AsString("ReceptorCase");
    r.hndr = "R";
    r.billableEmployee = w.employee;
    r.actualHours = hours;
    if (w.actualAmount != 0 || w.type == "C") {
      r.actualAmount = w.actualAmount;
      w.rate = w.actualAmount != 0 && hours != 0 ? w.actualAmount / hours : 0;
      w.fixedBilling.clear();
    } else {
      if (w.storedActualAmount == -1) {
        w.rate = 0;
      } else if (!CalcTheRate(w.employee, w.group, w.empDept, w.empClass, r.client,
                              r.caseSuffix)) {
        // No receptor is written with a rate that could not be read; the record is left
        // unfinished, behind the journal's last mark.
        return;
      }
      r.actualAmount = w.rate * hours;
    }
    double billableHours = hours * share;
    if (fee) {
      if (RoundToTenth()) {
        r.billableAmount = w.rate * billableHours;
        billableHours = RoundTo(billableHours, 1);
      } else {
        r.billableAmount = r.actualAmount * share;
        billableHours = RoundTo(billableHours, 2);
      }
    } else {
      r.billableAmount = r.actualAmount * share;
    }
    r.billableHours = billableHours;
    r.otherCode = w.fixedBilling;
    if (createZeroReceptors_ == "Y" || r.billableAmount > 0) {
      if (!AppendRecord(T().TrinScratchTB, remoteFileName_, fillHost(r), &hostHigh_)) return;
    }
    splits.Next();
  }
}

}  // namespace upfold
