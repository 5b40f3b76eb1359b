// The import run over a generated office (20,000 cases, 1,000 employees with rates, 200 dummy
// cases with splits, budgets) and a generated remote batch (about 10 percent rejects,
// descriptions on half of the transactions), through the real engine; then the bare
// record-manager work of the same run (the same keyed reads and inserts on the same files).
// A plain program, not a test:
//
//   import_bench [TRANSACTIONS [FOLDER]]     (defaults 100000, $TMPDIR or /tmp)
//
// Prints records per second, the peak memory of the run at a fifth of the batch and at the
// whole batch (each run in a child process of its own), and the ratio run / bare work. The
// run's own pauses before renaming a batch (1.5 s per batch, for other workstations to let go
// of it) are counted, not waited: the figures are given without them and with them.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/AppContext.h"
#include "app/HostRegistry.h"
#include "app/Ui.h"
#include "data/KeyCatalogue.h"
#include "data/Layout.h"
#include "data/PackedDecimal.h"
#include "data/VantroDM.h"
#include "import/ImportRun.h"
#include "import/RunJournal.h"
#include "import/RunView.h"
#include "import/VantroRunData.h"
#include "platform/Clock.h"
#include "platform/DosFs.h"
#include "platform/Registry.h"
#include "recman/DataFile.h"

namespace {

using namespace upfold;

constexpr int kCases = 20000, kEmployees = 1000, kDummies = 200;

void Check(bool ok, const std::string& what) {
  if (!ok) {
    std::fprintf(stderr, "failed: %s\n", what.c_str());
    std::exit(1);
  }
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

long PeakKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// A record of a layout, filled field by field.
class Rec {
 public:
  explicit Rec(const char* layout) : layout_(*FindLayout(layout)), bytes_(layout_.recordLength, ' ') {
    for (const FieldDef& f : layout_.fields)
      if (f.type != FieldType::Text) bytes_.replace(f.offset, f.length, f.length, '\0');
    for (const FieldDef& f : layout_.fields)
      if (f.type == FieldType::Packed) Num(f.name, 0);
  }
  Rec& Text(std::string_view field, const std::string& text) {
    const FieldDef& f = *layout_.Field(field);
    std::string t = text;
    t.resize(f.length, ' ');
    bytes_.replace(f.offset, f.length, t);
    return *this;
  }
  Rec& Num(std::string_view field, double value) {
    const FieldDef& f = *layout_.Field(field);
    bytes_.replace(f.offset, f.length, *EncodePacked(value, f.length, f.decimals));
    return *this;
  }
  std::string& Bytes() { return bytes_; }

 private:
  const Layout& layout_;
  std::string bytes_;
};

class Writer {
 public:
  Writer(const std::string& host, const char* layout) {
    std::filesystem::remove(host);
    Check(DataFile::Create(host, *FileSpecFor(layout)) == RmStatus::Success, "create " + host);
    Check(file_.Open(host) == RmStatus::Success, "open " + host);
  }
  void Put(Rec& r) { Check(file_.Insert(r.Bytes()) == RmStatus::Success, "insert"); }

 private:
  DataFile file_;
};

std::string Num(int n, int width) {
  char b[32];
  std::snprintf(b, sizeof b, "%0*d", width, n);
  return b;
}
std::string Right(const std::string& s, std::size_t w) {
  return s.size() >= w ? s : std::string(w - s.size(), ' ') + s;
}
std::string Client(int c) { return "C" + Num(c / 4, 5); }
std::string CaseSfx(int c) { return Right(std::to_string(c % 4 + 1), 7); }
std::string Emp(int e) { return "E" + Num(e, 3); }

void MakeOffice(const std::string& data, const std::string& pgm) {
  const char* groups[] = {"CT", "DR", "CF", "RS"};
  {
    Writer cases(data + "/YCase.lf", "YCase");
    for (int c = 0; c < kCases; ++c) {
      Rec r("YCase");
      r.Text("Client Code", Client(c)).Text("Case Suffix", CaseSfx(c)).Text("Billing Rate Code", "0" + std::to_string(1 + c % 3));
      if (c < kDummies) r.Text("Case Status 2", "D").Text("Alt Billing Format", c % 2 ? "INS" : "STD");
      if (c % 10 == 5) r.Num("Fee Budget $", 5000);
      cases.Put(r);
    }
  }
  {
    Writer emps(data + "/YEmpl.lf", "EMP");
    Writer rates(data + "/YEmrt.lf", "EMPRATES");
    Writer grates(data + "/YGrate.lf", "Grates");
    for (int e = 0; e < kEmployees; ++e) {
      Rec r("EMP");
      r.Text("Employee Code", Emp(e)).Text("Employee Dept", "D" + std::to_string(e % 5)).Text("Employee Class", "K" + std::to_string(e % 3));
      emps.Put(r);
      for (int code = 1; code <= 2; ++code) {
        Rec rate("EMPRATES");
        rate.Text("EmpCode", Emp(e)).Text("RateCode", "0" + std::to_string(code)).Num("Rate", 100 + e % 300);
        rates.Put(rate);
      }
      if (e % 4 == 0) {
        Rec g("Grates");
        g.Text("TypeOfRate", "E").Text("Code", Emp(e)).Text("RG Rate/Group code", "G").Text("Rate/Group code", "CT").Num("RateOrAmount", 250);
        grates.Put(g);
      }
    }
    for (int d = 0; d < 5; ++d) {
      Rec g("Grates");
      g.Text("TypeOfRate", "D").Text("Code", "D" + std::to_string(d)).Text("RG Rate/Group code", "G").Text("Rate/Group code", "DR").Num("RateOrAmount", 200);
      grates.Put(g);
    }
    Rec cr("Grates");
    cr.Text("TypeOfRate", "R").Text("Code", "X").Text("RG Rate/Group code", "G").Text("Rate/Group code", "CR").Text("FixedFeeSwitch", "M").Num("RateOrAmount", 1.15);
    grates.Put(cr);
  }
  {
    Writer simple(data + "/YTable.lf", "SIMPLECD");
    for (const char* g : groups) {
      Rec r("SIMPLECD");
      r.Text("type code", "G").Text("transaction type", "F").Text("code", g);
      simple.Put(r);
    }
    Rec cost("SIMPLECD");
    cost.Text("type code", "G").Text("transaction type", "D").Text("code", "CR");
    simple.Put(cost);
  }
  {
    Writer splits(data + "/FSplit.lf", "FeeSplit");
    for (int d = 0; d < kDummies; ++d)
      for (int k = 0; k < 2; ++k) {
        const int receptor = kDummies + d * 2 + k;
        Rec r("FeeSplit");
        r.Text("DummyClient", Client(d)).Text("DummyCase", CaseSfx(d)).Text("ReceptorClient", Client(receptor)).Text("ReceptorCase", CaseSfx(receptor)).Num("FeePerCent", k ? 40 : 60).Num("CostPerCent", 50);
        splits.Put(r);
      }
  }
  {
    Writer tsc(data + "/TSC.lc", "STCHAR2");
    Rec r("STCHAR2");
    r.Text("TableName", "INS").Text("TableNameSuffix", "2").Text("RoundRecepToTenth", "Y");
    tsc.Put(r);
    Writer sysop(data + "/Sysop.lc", "Sysop1");
    Rec s("Sysop1");
    s.Text("ValFGrp", "R").Text("ValCGrp", "Y").Text("ValTrGrp", "N").Text("ValPGrp", "N");
    sysop.Put(s);
  }
  {
    Writer phases(data + "/BPhases.lf", "BPhases");
    Writer fees(data + "/Fee.lf", "Fees");
    Writer hfees(data + "/HFee.lf", "Fees");
    for (int c = kDummies; c < kCases; c += 10) {
      Rec p("BPhases");
      p.Text("ClientCode", Client(c)).Text("CaseSuffix", CaseSfx(c)).Text("PhaseCode", "CT").Text("HoursBudget", "   20").Text("AmountBudget", "");
      phases.Put(p);
      Rec f("Fees");
      f.Text("ClientCode", Client(c)).Text("CaseSuffix", CaseSfx(c)).Text("TrType", "F").Text("GroupCode", "CT").Num("BilHrs", 15).Num("BilAmt", 3000);
      fees.Put(f);
      hfees.Put(f);
    }
  }
  Writer(data + "/Trin01.s", "Batch");
  Writer(data + "/Desc01.s", "TrDesc");
  Writer(pgm + "/Remtrin.clo", "RemBatch");
  Writer(pgm + "/Remdesc.clo", "RemBatchD");
}

void MakeBatch(const std::string& remote, const std::string& ws, int count) {
  Writer trin(remote + "/TRIN" + ws + ".RME", "RemBatch");
  Writer desc(remote + "/DESC" + ws + ".RME", "RemBatchD");
  const char* groups[] = {"CT", "DR", "CF", "RS"};
  for (int n = 0; n < count; ++n) {
    const int c = (n * 7919) % kCases;
    const std::string seq = Right(std::to_string(n + 1), 8);
    Rec r("RemBatch");
    const bool cost = n % 5 == 4;
    r.Text("ClientCode", n % 10 == 3 ? "NOSUCH" : Client(c)).Text("CaseSuffix", CaseSfx(c));
    r.Text("Type", cost ? "C" : "F").Text("SubType", cost ? "D" : " ").Text("StringTransDate", "461201");
    r.Text("GroupingCode", cost ? "CR" : groups[n % 4]);
    r.Text("EmployeeCode", Emp(n % kEmployees)).Text("BillableEmpCode", Emp(n % kEmployees));
    r.Num("ActualHours", 0.25 * (1 + n % 12)).Num("BillableHours", 0.25 * (1 + n % 12));
    if (cost) r.Num("ActualAmount", 40);
    r.Text("SequenceNumber", seq).Text("Unassigned2", "+++");
    trin.Put(r);
    if (n % 2 == 0)
      for (int line = 0; line < 1 + n % 3; ++line) {
        Rec d("RemBatchD");
        d.Text("SequenceNumber", seq).Text("SequenceSuffix", std::to_string(line)).Text("Description", "Work on the matter, line " + std::to_string(line));
        desc.Put(d);
      }
  }
}

// The system's time, except that the run's pauses (before a batch is renamed, so that other
// workstations let go of it) are counted rather than waited: they are a fixed cost per batch,
// reported apart from the work.
class PauseCountingClock : public Clock {
 public:
  std::uint64_t TickCount() override { return system_.TickCount() + paused_; }
  void Sleep(std::uint32_t milliseconds) override { paused_ += milliseconds; }
  std::chrono::system_clock::time_point Now() override { return system_.Now(); }
  int RandomDigit(int maxDigit) override { return system_.RandomDigit(maxDigit); }
  double PausedSeconds() const { return static_cast<double>(paused_) / 1000; }

 private:
  SystemClock system_;
  std::uint64_t paused_ = 0;
};

class QuietUi : public Ui {
 public:
  void Show(MessageKind, const std::string& text) override { std::fprintf(stderr, "[message] %s\n", text.c_str()); }
  Answer Ask(MessageKind, const std::string&, Buttons) override { return Answer::Yes; }
  void HourglassCursor() override {}
  void ArrowCursor() override {}
  std::vector<std::string> OpenFiles(const OpenFilesRequest&) override { return {}; }
  void ProcessMessages() override {}
};

class NullView : public RunView {
 public:
  void SetFileRowCount(int) override {}
  void SetFileCell(int, int, const std::string&) override {}
  void Repaint() override {}
  void ShowOK() override {}
  void AddPhaseWarning(const std::array<std::string, 5>&) override { ++warnings; }
  void AddCaseWarning(const std::array<std::string, 4>&) override { ++warnings; }
  int warnings = 0;
};

// The engine over one batch, in this process; prints its figures and returns its seconds.
double RunEngine(const std::string& registryPath, const std::string& batch, int count) {
  Registry registry(registryPath);
  DosFs fs(&registry);
  PauseCountingClock clock;
  QuietUi ui;
  RunValues values;
  values.DataPath = "C:\\MFW\\DATA";
  values.PgmDir = "C:\\MFW";
  values.WSID = "01";
  values.SystemFileDate = "461211";
  AppContext ctx{registry, fs, clock, ui, values, DateFormats{}};
  VantroDM dm(ctx);
  VantroRunData data(dm);
  NullView view;
  RunJournal journal;
  const long before = PeakKb();
  ImportRun run(ctx, data, view, journal, {"C:\\REMOTE\\" + batch}, static_cast<std::uint64_t>(count));
  run.SetCreateZeroReceptors("N");
  const auto start = std::chrono::steady_clock::now();
  run.RunVantro();  // what Activate does, timed in its two parts
  const double records = Seconds(start);
  run.PostRun();
  const double seconds = Seconds(start);
  const double paused = clock.PausedSeconds();
  std::printf("engine %-11s %7d records  %6.2f s  %8.0f records/s  (records %.2f s, budget "
              "warnings %.2f s; with the run's pauses of %.1f s: %.0f records/s)  rejects %llu  "
              "warnings %d  peak memory %ld KB (before the run %ld KB)%s\n",
              batch.c_str(), count, seconds, count / seconds, records, seconds - records, paused,
              count / (seconds + paused),
              static_cast<unsigned long long>(run.RunRejects()), view.warnings, PeakKb(), before,
              run.ErrorsOccurred() ? "  ERRORS" : "");
  std::fflush(stdout);
  return seconds;
}

// The record-manager work of the run without the engine: per transaction the remote read, the
// description reads, the case, group, employee and rate lookups, the budget reads of a posted
// fee, and the inserts of the posted or rejected record and its description lines, committed
// in groups of the run's size with the reads held in between.
double RunBare(const std::string& data, const std::string& remote) {
  auto open = [](DataFile& f, const std::string& p) { Check(f.Open(p) == RmStatus::Success, "open " + p); };
  DataFile trin, desc, cases, budgetCases, phases, emps, simple, grates, emprates, host, hostDesc,
      rej, rejDesc;
  open(trin, remote + "/TRIN12.RME");
  open(desc, remote + "/DESC12.RME");
  open(cases, data + "/YCase.lf");
  open(budgetCases, data + "/YCase.lf");
  open(phases, data + "/BPhases.lf");
  open(emps, data + "/YEmpl.lf");
  open(simple, data + "/YTable.lf");
  open(grates, data + "/YGrate.lf");
  open(emprates, data + "/YEmrt.lf");
  Writer(data + "/BareTrin.s", "Batch");
  Writer(data + "/BareDesc.s", "TrDesc");
  Writer(data + "/BareRej.R01", "RemBatch");
  Writer(data + "/BareRejD.R01", "RemBatchD");
  open(host, data + "/BareTrin.s");
  open(hostDesc, data + "/BareDesc.s");
  open(rej, data + "/BareRej.R01");
  open(rejDesc, data + "/BareRejD.R01");
  std::string key, record, other;
  DataFile* const written[] = {&host, &hostDesc, &rej, &rejDesc};
  // The reads held in stretches that end with each group, as the run holds them.
  for (DataFile* f : {&trin, &desc, &cases, &budgetCases, &phases, &emps, &simple, &grates, &emprates})
    f->HoldReads(true);
  const auto group = [&](bool begin) {
    DataFile::EndEveryReadStretch();
    for (DataFile* f : written) {
      if (f->InTransaction()) Check(f->EndTransaction() == RmStatus::Success, "commit");
      if (begin) Check(f->BeginTransaction() == RmStatus::Success, "begin");
    }
  };
  const auto start = std::chrono::steady_clock::now();
  RmStatus st = trin.GetFirst(1, key, record);
  int done = 0;
  group(true);
  while (st == RmStatus::Success) {
    const std::string seq = record.substr(103, 8);
    std::vector<std::string> lines;
    key = seq;
    for (RmStatus d = desc.Get(GetOp::GreaterOrEqual, 1, key, other); d == RmStatus::Success && other.substr(4, 8) == seq;
         d = desc.GetNext(1, key, other))
      lines.push_back(other);
    key = record.substr(4, 14);
    const bool found = cases.GetEqual(1, key, other) == RmStatus::Success;
    key = "G" + std::string(record[18] == 'C' ? "D" : "F") + record.substr(33, 4);
    simple.GetEqual(1, key, other);
    key = record.substr(39, 4);
    emps.GetEqual(1, key, other);
    key = record.substr(53, 4);
    emps.GetEqual(1, key, other);
    if (found) {
      key = "E" + record.substr(39, 4) + "G" + record.substr(33, 4);
      if (grates.GetEqual(1, key, other) != RmStatus::Success) {
        key = "D" + std::string("D0  ") + "G" + record.substr(33, 4);
        grates.GetEqual(1, key, other);
        key = record.substr(39, 4) + "01";
        emprates.GetEqual(1, key, other);
      }
      std::string out(127, ' ');
      out.replace(0, 4, 4, '\0');
      host.Insert(out);
      if (record[18] == 'F') {
        key = record.substr(4, 14) + record.substr(33, 2);
        phases.GetEqual(1, key, other);
        key = record.substr(4, 14);
        budgetCases.GetEqual(1, key, other);
      }
      for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string d(91, ' ');
        d.replace(0, 4, 4, '\0');
        hostDesc.Insert(d);
      }
    } else {
      std::string out = record;
      out.replace(0, 4, 4, '\0');
      rej.Insert(out);
      for (std::string& d : lines) {
        d.replace(0, 4, 4, '\0');
        rejDesc.Insert(d);
      }
    }
    ++done;
    if (done % static_cast<int>(ImportRun::kGroupRecords) == 0) group(true);
    st = trin.GetNext(1, key, record);
  }
  group(false);
  const double seconds = Seconds(start);
  std::printf("bare record-manager work  %7d records  %6.2f s  %8.0f records/s\n", done, seconds, done / seconds);
  return seconds;
}

// The engine's seconds, pauses excluded, as the child reports them through a pipe.
double RunInChild(const std::string& registryPath, const std::string& batch, int count) {
  std::fflush(stdout);
  int pipeFds[2];
  Check(pipe(pipeFds) == 0, "pipe");
  const pid_t pid = fork();
  if (pid == 0) {
    close(pipeFds[0]);
    const double seconds = RunEngine(registryPath, batch, count);
    Check(write(pipeFds[1], &seconds, sizeof seconds) == sizeof seconds, "report");
    std::_Exit(0);
  }
  close(pipeFds[1]);
  double seconds = 0;
  const bool reported = read(pipeFds[0], &seconds, sizeof seconds) == sizeof seconds;
  close(pipeFds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  Check(reported && WIFEXITED(status) && WEXITSTATUS(status) == 0, "engine run");
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
  const char* tmp = std::getenv("TMPDIR");
  const std::string base = argc > 2 ? argv[2] : std::string(tmp ? tmp : "/tmp");
  const std::string folder = base + "/import_bench_" + std::to_string(getpid());
  const std::string c = folder + "/c";
  std::filesystem::create_directories(c + "/MFW/DATA");
  std::filesystem::create_directories(c + "/REMOTE");
  const std::string registryPath = folder + "/registry.reg";
  {
    Registry registry(registryPath);
    registry.WriteString(Hive::LocalMachine,
                         "\\System\\CurrentControlSet\\Control\\Session Manager\\DOS Devices", "C:", c);
    registry.WriteString(Hive::LocalMachine, kHostKey, "CreateZeroReceptors", "N");
  }
  auto start = std::chrono::steady_clock::now();
  MakeOffice(c + "/MFW/DATA", c + "/MFW");
  MakeBatch(c + "/REMOTE", "12", count);
  MakeBatch(c + "/REMOTE", "23", count / 5);
  std::printf("generated the office and %d + %d transactions in %.1f s\n", count, count / 5, Seconds(start));

  const double bare = RunBare(c + "/MFW/DATA", c + "/REMOTE");
  RunInChild(registryPath, "TRIN23.RME", count / 5);
  // A fresh host batch for the whole batch, so both runs start alike.
  Writer(c + "/MFW/DATA/Trin01.s", "Batch");
  Writer(c + "/MFW/DATA/Desc01.s", "TrDesc");
  const double engine = RunInChild(registryPath, "TRIN12.RME", count);
  std::printf("run / bare record-manager work: %.2f\n", engine / bare);
  std::filesystem::remove_all(folder);
  return 0;
}
