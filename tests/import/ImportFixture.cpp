#include "ImportFixture.h"

#include <algorithm>

#include "data/FixedText.h"
#include "data/KeyCatalogue.h"
#include "data/Layout.h"
#include "recman/DataFile.h"

namespace upfold::test {

namespace {
constexpr const char* kDosDevicesKey =
    "\\System\\CurrentControlSet\\Control\\Session Manager\\DOS Devices";

std::unique_ptr<Table> NewTable(DosFs& fs, const char* name) {
  return std::make_unique<Table>(fs, name);
}
}  // namespace

TestRunData::TestRunData(DosFs& fs, Ui& ui)
    : fs_(fs),
      ui_(ui),
      owned_([&] {
        std::vector<std::unique_ptr<Table>> t;
        for (const char* n : {"RemoteTB", "RemoteDescTB", "TrinScratchTB", "DescScratchTB",
                              "SysopTB", "EmpTB", "EmpRateTB", "SimpleTB", "Tsc2TB", "CaseTB",
                              "GroupRateTB", "FeeSplitTB", "RejectFileTB", "RejectDescFileTB"})
          t.push_back(NewTable(fs, n));
        return t;
      }()),
      tables_{*owned_[0], *owned_[1], *owned_[2],  *owned_[3],  *owned_[4],
              *owned_[5], *owned_[6], *owned_[7],  *owned_[8],  *owned_[9],
              *owned_[10], *owned_[11], *owned_[12], *owned_[13]} {}

bool TestRunData::OpenTable(Table& table, const std::string& dir, const std::string& indexName,
                            const std::string& fileName) {
  const std::string path = dir + "\\" + fileName;
  if (!fs_.FileExists(path)) {
    ui_.Error("The file " + path + " is missing.");
    return false;
  }
  for (const std::string& name : refuse) {
    if (name == fileName) {
      ui_.Plain("Unable to open file " + path + ".");
      return false;
    }
  }
  try {
    table.Open();
    table.SetIndexName(indexName);
  } catch (const TableError& e) {
    ui_.Plain("Unable to open file " + path + ". " + e.what());
    return false;
  }
  return true;
}

ImportFixture::ImportFixture() {
  std::filesystem::create_directories(dir / "c/MFW/DATA");
  std::filesystem::create_directories(dir / "c/REMOTE");
  registry.WriteString(Hive::LocalMachine, kDosDevicesKey, "C:", dir / "c");
  fs = std::make_unique<DosFs>(&registry);
  values.DataPath = kData;
  values.PgmDir = kPgm;
  values.WSID = "01";
  values.SystemFileDate = "461211";
  ctx = std::make_unique<AppContext>(AppContext{registry, *fs, clock, ui, values, DateFormats{}});
  data = std::make_unique<TestRunData>(*fs, ui);

  const std::string d = kData;
  Create(std::string(kPgm) + "\\Remtrin.clo", "RemBatch");
  Create(std::string(kPgm) + "\\Remdesc.clo", "RemBatchD");
  Create(d + "\\Trin01.s", "Batch");
  Create(d + "\\Desc01.s", "TrDesc");
  Create(d + "\\YCase.lf", "YCase");
  Create(d + "\\YEmpl.lf", "EMP");
  Create(d + "\\YEmrt.lf", "EMPRATES");
  Create(d + "\\FSplit.lf", "FeeSplit");
  Create(d + "\\YGrate.lf", "Grates");
  Create(d + "\\TSC.lc", "STCHAR2");
  Create(d + "\\YTable.lf", "SIMPLECD");
  Create(d + "\\Sysop.lc", "Sysop1");
  Create(d + "\\Fee.lf", "Fees");
  Create(d + "\\HFee.lf", "Fees");
  SetSysop("R", "Y", "Y", "N");
}

std::string ImportFixture::HostPath(const std::string& dosPath) const {
  return *fs->ToHost(dosPath);
}

void ImportFixture::Create(const std::string& dosPath, const std::string& layout) {
  ASSERT_EQ(DataFile::Create(HostPath(dosPath), *FileSpecFor(layout)), RmStatus::Success)
      << dosPath;
}

void ImportFixture::Add(const std::string& dosPath, const std::string& layout,
                        const Fields& fields) {
  Table t(*fs, "Add");
  t.SetTableName(dosPath + ";RES:" + layout);
  t.Open();
  t.Append();
  for (const auto& [name, value] : fields) {
    const FieldDef* f = t.GetLayout()->Field(name);
    ASSERT_NE(f, nullptr) << name;
    if (f->type == FieldType::Packed)
      t.SetAsFloat(name, std::stod(value));
    else
      t.SetAsString(name, value);
  }
  t.Post();
  t.Close();
}

std::vector<Record> ImportFixture::Read(const std::string& dosPath, const std::string& layout,
                                        const std::string& index) {
  std::vector<Record> out;
  Table t(*fs, "Read");
  t.SetTableName(dosPath + ";RES:" + layout);
  t.Open();
  t.SetIndexName(index);
  for (t.First(); !t.IsEmpty();) {
    Record r;
    for (const FieldDef& f : t.GetLayout()->fields) r[std::string(f.name)] = t.AsString(f.name);
    out.push_back(r);
    t.Next();
    if (t.Eof()) break;
  }
  return out;
}

void ImportFixture::AddCase(const std::string& client, const std::string& caseSuffix,
                            const Fields& more) {
  Fields f{{"Client Code", client}, {"Case Suffix", RightJust(caseSuffix, 7)}};
  f.insert(f.end(), more.begin(), more.end());
  Add(std::string(kData) + "\\YCase.lf", "YCase", f);
}

void ImportFixture::AddEmployee(const std::string& code, const std::string& dept,
                                const std::string& cls, const std::string& unassigned) {
  Add(std::string(kData) + "\\YEmpl.lf", "EMP",
      {{"Employee Code", code},
       {"Employee Dept", dept},
       {"Employee Class", cls},
       {"Unassigned", unassigned}});
}

void ImportFixture::AddGroup(const std::string& trType, const std::string& code) {
  Add(std::string(kData) + "\\YTable.lf", "SIMPLECD",
      {{"type code", "G"}, {"transaction type", trType}, {"code", code}});
}

void ImportFixture::AddGroupRate(const std::string& kind, const std::string& code,
                                 const std::string& flag, const std::string& group, double rate,
                                 const std::string& fixedSwitch) {
  Add(std::string(kData) + "\\YGrate.lf", "Grates",
      {{"TypeOfRate", kind},
       {"Code", code},
       {"RG Rate/Group code", flag},
       {"Rate/Group code", group},
       {"FixedFeeSwitch", fixedSwitch},
       {"RateOrAmount", std::to_string(rate)}});
}

void ImportFixture::AddEmpRate(const std::string& emp, const std::string& rateCode, double rate) {
  Add(std::string(kData) + "\\YEmrt.lf", "EMPRATES",
      {{"EmpCode", emp}, {"RateCode", rateCode}, {"Rate", std::to_string(rate)}});
}

void ImportFixture::SetSysop(const std::string& f, const std::string& c, const std::string& t,
                             const std::string& p) {
  const std::string path = std::string(kData) + "\\Sysop.lc";
  std::filesystem::remove(HostPath(path));
  Create(path, "Sysop1");
  Add(path, "Sysop1", {{"ValFGrp", f}, {"ValCGrp", c}, {"ValTrGrp", t}, {"ValPGrp", p}});
}

void ImportFixture::AddRemote(const std::string& batch, const Fields& fields,
                              const std::vector<std::string>& descriptions) {
  const std::string path = RemotePath(batch);
  std::string descName = "DESC" + batch.substr(4);
  const std::string descPath = std::string(kRemote) + "\\" + descName;
  if (!fs->Exists(path)) {
    Create(path, "RemBatch");
    Create(descPath, "RemBatchD");
  }
  const std::string seq = RightJust(std::to_string(++nextSeq_[batch]), 8);
  Fields f{{"ClientCode", "ACME"},      {"CaseSuffix", "      1"}, {"Type", "F"},
           {"StringTransDate", "461201"}, {"EmployeeCode", "DBE"}, {"BillableEmpCode", "DBE"},
           {"GroupingCode", "CT"},      {"ActualHours", "1"},      {"BillableHours", "1"},
           {"SequenceNumber", seq},     {"Unassigned2", "+++"}};
  for (const auto& [name, value] : fields) {
    bool replaced = false;
    for (auto& [n, v] : f)
      if (n == name) v = value, replaced = true;
    if (!replaced) f.emplace_back(name, value);
  }
  Add(path, "RemBatch", f);
  std::string desc_seq = seq;
  for (const auto& [n, v] : f)
    if (n == "SequenceNumber") desc_seq = v;
  int line = 0;
  for (const std::string& d : descriptions) {
    const char suffix = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"[std::min(line++, 35)];
    Add(descPath, "RemBatchD",
        {{"SequenceNumber", desc_seq}, {"SequenceSuffix", std::string(1, suffix)}, {"Description", d}});
  }
}

std::unique_ptr<ImportRun> ImportFixture::MakeRun(const std::vector<std::string>& batches) {
  std::vector<std::string> paths;
  for (const std::string& b : batches) paths.push_back(b.find('\\') == std::string::npos ? RemotePath(b) : b);
  return std::make_unique<ImportRun>(*ctx, *data, view, journal, paths, 0);
}

std::unique_ptr<ImportRun> ImportFixture::RunOnFirstRecord(const std::string& batch) {
  auto run = MakeRun({batch});
  EXPECT_TRUE(run->OpenMasterFiles());
  data->Tables().SysopTB.Close();
  run->SetGroupSwitches("R", "Y", "Y", "N");
  run->PrepareBatch(RemotePath(batch));
  RunTables& t = data->Tables();
  t.RemoteTB.Close();
  t.RemoteDescTB.Close();
  t.RemoteTB.SetTableName(RemotePath(batch) + ";RES:RemBatch");
  t.RemoteDescTB.SetTableName(std::string(kRemote) + "\\Desc" + batch.substr(4) + ";RES:RemBatchD");
  EXPECT_TRUE(data->OpenTable(t.RemoteTB, kRemote, "1", batch));
  EXPECT_TRUE(data->OpenTable(t.RemoteDescTB, kRemote, "1", "Desc" + batch.substr(4)));
  t.RemoteTB.First();
  return run;
}

}  // namespace upfold::test
