// The import run over the demo office's three remote batches (demo/install builds the office
// with the built mfrec), checked against what demo/README.md says each transaction gives.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <tuple>

#include "ImportFixture.h"
#include "data/FixedText.h"
#include "data/Layout.h"
#include "data/VantroDM.h"
#include "import/VantroRunData.h"

namespace upfold::test {
namespace {

class DemoRun : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* source = std::getenv("UPFOLD_SOURCE_DIR");
    const char* build = std::getenv("UPFOLD_BINARY_DIR");
    if (!source || !build || !std::filesystem::exists(std::string(build) + "/tools/mfrec/mfrec"))
      GTEST_SKIP() << "needs the source folder, the build folder and a built mfrec";
    const std::string command = std::string("python3 ") + source + "/demo/install --build " + build +
                                " " + dir_.Path() + "/demo > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    registry_ = std::make_unique<Registry>(dir_.Path() + "/demo/registry.reg");
    fs_ = std::make_unique<DosFs>(registry_.get());
    // The host batch as the import command prepares it.
    ASSERT_TRUE(fs_->CopyFile("C:\\MFW\\Trin.clo", "C:\\MFW\\DATA\\Trin01.s", true));
    ASSERT_TRUE(fs_->CopyFile("C:\\MFW\\Desc.clo", "C:\\MFW\\DATA\\Desc01.s", true));
  }

  std::vector<Record> Read(const std::string& path, const char* layout) {
    std::vector<Record> out;
    Table t(*fs_, "Read");
    t.SetTableName(path + ";RES:" + layout);
    t.Open();
    for (t.First(); !t.IsEmpty() && !t.Eof(); t.Next()) {
      Record r;
      for (const FieldDef& f : t.GetLayout()->fields) r[std::string(f.name)] = t.AsString(f.name);
      out.push_back(r);
    }
    return out;
  }

  std::multiset<int> Masks(const std::string& rejectFile) {
    std::multiset<int> masks;
    for (const Record& r : Read(rejectFile, "RemBatch"))
      masks.insert(std::stoi(r.at("Unassigned2").substr(3)));
    return masks;
  }

  TempDir dir_;
  std::unique_ptr<Registry> registry_;
  std::unique_ptr<DosFs> fs_;
};

TEST_F(DemoRun, ThreeBatchesAsTheReadmeDescribes) {
  FakeClock clock;
  ScriptedUi ui;
  RunValues values;
  values.DataPath = "C:\\MFW\\DATA";
  values.PgmDir = "C:\\MFW";
  values.WSID = "01";
  values.SystemFileDate = "461211";
  AppContext ctx{*registry_, *fs_, clock, ui, values, DateFormats{}};
  VantroDM dm(ctx);
  dm.ReadFromRegistry();
  VantroRunData data(dm);
  RecordingView view;
  RunJournal journal;
  {
    ImportRun run(ctx, data, view, journal,
                  {"C:\\REMOTE\\TRIN12.RME", "C:\\REMOTE\\TRIN23.RME", "C:\\REMOTE\\TRIN34.RME"}, 24);
    run.SetCreateZeroReceptors(dm.CreateZeroReceptors);
    run.Activate();
    EXPECT_FALSE(run.ErrorsOccurred());
    EXPECT_EQ(run.RunRejects(), 19u);
    EXPECT_EQ(run.RecsProcessed(), 56u);
  }
  const std::vector<std::vector<std::string>> grid = {
      {"C:\\REMOTE\\TRIN12.RME", "18", "2", "C:\\MFW\\DATA\\TRIN12.R01", "C:\\REMOTE\\TRIN12.001"},
      {"C:\\REMOTE\\TRIN23.RME", "14", "2", "C:\\MFW\\DATA\\TRIN23.R01", "C:\\REMOTE\\TRIN23.001"},
      {"C:\\REMOTE\\TRIN34.RME", "24", "15", "C:\\MFW\\DATA\\TRIN34.R01", "C:\\REMOTE\\TRIN34.001"}};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 5; ++c) EXPECT_EQ(view.Cell(c, r + 1), grid[r][c]) << r << "," << c;
  EXPECT_TRUE(fs_->Exists("C:\\REMOTE\\Desc12.001"));

  EXPECT_EQ(Masks("C:\\MFW\\DATA\\TRIN12.R01"), (std::multiset<int>{2, 128}));
  EXPECT_EQ(Masks("C:\\MFW\\DATA\\TRIN23.R01"), (std::multiset<int>{2, 64}));
  EXPECT_EQ(Masks("C:\\MFW\\DATA\\TRIN34.R01"),
            (std::multiset<int>{1, 2, 2, 4, 8, 16, 16, 16, 32, 32, 64, 128, 4096, 41, 17}));
  std::string suffixes;
  for (const Record& d : Read("C:\\MFW\\DATA\\Desc34.R01", "RemBatchD"))
    if (d.at("SequenceSuffix") == "1" || d.at("SequenceSuffix") == "0") suffixes += d.at("SequenceSuffix");
  EXPECT_NE(suffixes.find("000000000111"), std::string::npos);

  // Posted transactions: client, case, type, HNDR, actual and billable dollars, billable hours.
  using Row = std::tuple<std::string, std::string, std::string, std::string, std::string,
                         std::string, std::string>;
  std::multiset<Row> host;
  for (const Record& r : Read("C:\\MFW\\DATA\\Trin01.s", "Batch"))
    host.emplace(Trim(r.at("Client")), Trim(r.at("Case")), r.at("Trtype"), Trim(r.at("Hndr")),
                 r.at("ADollars"), r.at("BDollars"), r.at("BUnits"));
  const Row expected[] = {
      {"HARWOOD", "1", "F", "", "900", "900", "3"},
      {"HARWOOD", "1", "F", "", "900", "900", "2"},
      {"HARWOOD", "2", "F", "", "367.5", "367.5", "1.5"},
      {"HARWOOD", "2", "F", "", "213.75", "213.75", "2.25"},
      {"HARWOOD", "1", "C", "", "42", "48.3", "0"},
      {"HARWOOD", "1", "T", "", "-5000", "0", "0"},
      {"PIKEFAR", "1", "F", "", "195", "195", "1"},
      {"STUDIO9", "1", "F", "", "142.5", "367.5", "1.5"},
      {"STUDIO9", "1", "F", "", "790", "790", "2"},
      {"QUINCEY", "2", "F", "", "225", "225", "0.75"},
      {"COOPINS", "POOL", "F", "D", "0", "0", "3.5"},
      {"COOPINS", "101", "F", "R", "682.5", "341.25", "1.8"},
      {"COOPINS", "102", "F", "R", "682.5", "341.25", "1.8"},
      {"ORCHARD", "1", "F", "", "850", "850", "3.5"},
      {"ORCHARD", "1", "F", "", "220", "220", "2"},
      {"ORCHARD", "2", "F", "", "225", "225", "1.5"},
      {"ALDERTN", "1", "F", "", "175", "175", "1"},
      {"JDGROUP", "1", "F", "D", "460", "0", "2"},
      {"HARWOOD", "3", "F", "R", "460", "276", "1.2"},
      {"ORCHARD", "4", "F", "R", "460", "184", "0.8"},
      {"ORCHARD", "1", "T", "", "-25000", "0", "0"},
      {"VANCE", "2", "F", "", "650", "650", "2"},
      {"VANCE", "1", "F", "", "630", "630", "3"},
      {"TALBOT", "1", "F", "N", "315", "0", "0"},
      {"ADMIN", "1", "F", "N", "130", "0", "0"},
      {"KESTREL", "1", "F", "", "1680", "1680", "4"},
  };
  for (const Row& row : expected)
    EXPECT_EQ(host.count(row), 1u) << std::get<0>(row) << " " << std::get<1>(row) << " "
                                   << std::get<4>(row);
  for (const Row& row : host) {
    if (std::get<0>(row) == "COOPINS" && std::get<1>(row) == "103") {
      EXPECT_EQ(std::get<2>(row), "C");  // 103 takes costs only
    }
  }

  std::set<std::array<std::string, 5>> phases(view.phaseRows.begin(), view.phaseRows.end());
  EXPECT_EQ(phases, (std::set<std::array<std::string, 5>>{
                        {"HARWOOD", "      1", "CT", "10 hrs", "9.00 hrs"},
                        {"ORCHARD", "      1", "DR", "20 hrs", "18.00 hrs"},
                        {"ORCHARD", "      1", "CF", "$2000", "$1805.00"},
                        {"KESTREL", "      1", "RS", "$5000", "$4620.00"}}));
  std::set<std::array<std::string, 4>> cases(view.caseRows.begin(), view.caseRows.end());
  EXPECT_EQ(cases, (std::set<std::array<std::string, 4>>{
                       {"HARWOOD", "      2", "$12000.00", "$10861.25"},
                       {"QUINCEY", "      2", "$3000.00", "$2705.00"}}));
}

}  // namespace
}  // namespace upfold::test
