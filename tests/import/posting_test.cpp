// Posting accepted transactions: host batch records field by field, sequence numbers,
// description lines and fee-split receptors, through whole runs over small batches.

#include <gtest/gtest.h>

#include "ImportFixture.h"
#include "data/FixedText.h"

namespace upfold::test {
namespace {

class Posting : public ImportFixture {
 protected:
  Posting() {
    AddCase("ACME", "1", {{"Billing Rate Code", "01"}});
    AddCase("JDG", "1", {{"Case Status 2", "D"}, {"Alt Billing Format", "STD"}});
    AddCase("POOL", "1", {{"Case Status 2", "D"}, {"Alt Billing Format", "INS"}});
    AddCase("RECA", "1", {{"Billing Rate Code", "02"}});
    AddCase("RECB", "1", {{"Billing Rate Code", "02"}});
    AddEmployee("DBE", "LI", "AS");
    for (const char* g : {"CT", "DR", "DRAF"}) AddGroup("F", g);
    AddGroup("D", "EX");
    AddGroup("T", "DP");
    AddEmpRate("DBE", "02", 195);
    Add(std::string(kData) + "\\TSC.lc", "STCHAR2",
        {{"TableName", "INS"}, {"TableNameSuffix", "2"}, {"RoundRecepToTenth", "Y"}});
  }

  void Split(const std::string& dummy, const std::string& receptor, double feePct, double costPct) {
    Add(std::string(kData) + "\\FSplit.lf", "FeeSplit",
        {{"DummyClient", dummy}, {"DummyCase", "      1"}, {"ReceptorClient", receptor},
         {"ReceptorCase", "      1"}, {"FeePerCent", std::to_string(feePct)},
         {"CostPerCent", std::to_string(costPct)}});
  }

  std::vector<Record> Import(const std::string& createZero = "Y") {
    auto run = MakeRun({"TRIN12.RME"});
    run->SetCreateZeroReceptors(createZero);
    run->Activate();
    EXPECT_FALSE(run->ErrorsOccurred());
    return HostBatch();
  }
};

TEST_F(Posting, FeeRecordFieldByField) {
  AddRemote("TRIN12.RME", {{"GroupingCode", "DRAF"}, {"ActualHours", "1.5"}, {"BillableHours", "1.25"},
                           {"ActualAmount", "300"}, {"BillableAmount", "250"}, {"SubType", "x"},
                           {"Fees", "99"}});
  const std::vector<Record> host = Import();
  ASSERT_EQ(host.size(), 1u);
  const Record& r = host[0];
  EXPECT_EQ(r.at("Client"), "ACME   ");
  EXPECT_EQ(r.at("Case"), "      1");
  EXPECT_EQ(r.at("Trtype"), "F");
  EXPECT_EQ(r.at("TrDate"), "461201");
  EXPECT_EQ(r.at("SubType"), "x");
  EXPECT_EQ(r.at("Aemp"), "DBE ");
  EXPECT_EQ(r.at("LastTouchDate"), "461211");
  EXPECT_EQ(r.at("Group"), "DR");  // four characters cut to the field's two
  EXPECT_EQ(r.at("AUnits"), "1.5");
  EXPECT_EQ(r.at("ADollars"), "300");
  EXPECT_EQ(r.at("Bemp"), "DBE ");
  EXPECT_EQ(r.at("BUnits"), "1.25");
  EXPECT_EQ(r.at("BDollars"), "250");
  EXPECT_EQ(r.at("FeeDollars"), "0");  // the remote breakdown is not carried for a fee
  EXPECT_EQ(r.at("InvoiceNumber"), std::string(8, ' '));
  EXPECT_EQ(r.at("SeqNumber"), "       1");
  EXPECT_EQ(r.at("Unassigned"), std::string(11, ' '));
}

TEST_F(Posting, SequenceNumbersContinueTheHostBatch) {
  for (int i = 0; i < 40; ++i)
    Add(std::string(kData) + "\\Trin01.s", "Batch", {{"Client", "OLD"}, {"SeqNumber", RightJust(std::to_string(i + 1), 8)}});
  AddRemote("TRIN12.RME", {{"ActualAmount", "10"}});
  AddRemote("TRIN12.RME", {{"ActualAmount", "20"}});
  const std::vector<Record> host = Import();
  ASSERT_EQ(host.size(), 42u);
  EXPECT_EQ(host[40].at("SeqNumber"), "      41");
  EXPECT_EQ(host[41].at("SeqNumber"), "      42");
}

TEST_F(Posting, DescriptionLinesTakeSuffixesAndKeepInnerBlankLines) {
  const std::string eighty = std::string(78, 'a') + "bc";
  AddRemote("TRIN12.RME", {{"ActualAmount", "10"}}, {eighty.substr(0, 78), "bc", "", "last"});
  AddRemote("TRIN12.RME", {{"ActualAmount", "10"}, {"SequenceNumber", "       9"}}, {});
  Import();
  const std::vector<Record> desc = HostDesc();
  ASSERT_EQ(desc.size(), 4u);
  const char* suffixes = "0123";
  for (std::size_t i = 0; i < desc.size(); ++i) {
    EXPECT_EQ(desc[i].at("SequenceNumber"), "       1");
    EXPECT_EQ(desc[i].at("SequenceSuffix"), std::string(1, suffixes[i]));
  }
  EXPECT_EQ(desc[1].at("Description"), LeftJust("bc", 78));
  EXPECT_EQ(desc[2].at("Description"), std::string(78, ' '));
  EXPECT_EQ(desc[3].at("Description"), LeftJust("last", 78));
}

TEST_F(Posting, MoreThanThirtySixDescriptionLinesAreCutWithAMessage) {
  std::vector<std::string> lines;
  for (int i = 0; i < 38; ++i) lines.push_back("line " + std::to_string(i + 1));
  AddRemote("TRIN12.RME", {{"ActualAmount", "10"}}, lines);
  ui.ExpectShow(MessageKind::Information,
                "The description of transaction 1 (ACME-1) of TRIN12.RME has more than 36 lines. "
                "Only the first 36 lines were imported.");
  Import();
  const std::vector<Record> desc = HostDesc();
  ASSERT_EQ(desc.size(), 36u);
  EXPECT_EQ(desc.back().at("SequenceSuffix"), "Z");
  EXPECT_EQ(Trim(desc.back().at("Description")), "line 36");
}

TEST_F(Posting, FeeSplitSixtyForty) {
  AddCase("JDG", "2");  // another case of the dummy client comes first in key order
  Split("JDG", "RECA", 60, 60);
  Split("JDG", "RECB", 40, 40);
  AddRemote("TRIN12.RME", {{"ClientCode", "JDG"}, {"ActualAmount", "1000"}, {"ActualHours", "5"},
                           {"BillableHours", "5"}, {"BillableEmpCode", ""}});
  const std::vector<Record> host = Import();
  ASSERT_EQ(host.size(), 3u);
  EXPECT_EQ(host[0].at("Hndr"), "D");
  EXPECT_EQ(host[0].at("BDollars"), "0");
  EXPECT_EQ(host[0].at("Bemp"), "    ");
  struct Expected {
    const char* client;
    const char* hours;
    const char* amount;
  };
  const Expected receptors[] = {{"RECA   ", "3", "600"}, {"RECB   ", "2", "400"}};
  for (int i = 0; i < 2; ++i) {
    const Record& r = host[static_cast<std::size_t>(i) + 1];
    SCOPED_TRACE(receptors[i].client);
    EXPECT_EQ(r.at("Client"), receptors[i].client);
    EXPECT_EQ(r.at("Hndr"), "R");
    EXPECT_EQ(r.at("AUnits"), "5");
    EXPECT_EQ(r.at("ADollars"), "1000");
    EXPECT_EQ(r.at("BUnits"), receptors[i].hours);
    EXPECT_EQ(r.at("BDollars"), receptors[i].amount);
    EXPECT_EQ(r.at("Bemp"), "DBE ");
    EXPECT_EQ(r.at("SeqNumber"), "       1");
  }
}

TEST_F(Posting, ReceptorHoursRoundedToTenthsAtTheReceptorRate) {
  Split("POOL", "RECA", 35, 35);
  AddRemote("TRIN12.RME", {{"ClientCode", "POOL"}, {"ActualAmount", "1000"}, {"ActualHours", "5"},
                           {"BillableHours", "5"}, {"BillableEmpCode", ""}});
  const std::vector<Record> host = Import();
  ASSERT_EQ(host.size(), 2u);
  EXPECT_EQ(host[1].at("BUnits"), "1.8");
  EXPECT_EQ(host[1].at("BDollars"), "350");
}

TEST_F(Posting, ReceptorWithoutActualAmountUsesItsOwnCasesRateCode) {
  Split("POOL", "RECA", 50, 50);
  AddRemote("TRIN12.RME", {{"ClientCode", "POOL"}, {"GroupingCode", "DR"}, {"ActualHours", "3.5"},
                           {"BillableHours", "3.5"}, {"BillableEmpCode", ""}});
  const std::vector<Record> host = Import();
  ASSERT_EQ(host.size(), 2u);
  EXPECT_EQ(host[0].at("ADollars"), "0");  // the pool has no rate code
  EXPECT_EQ(host[1].at("ADollars"), "682.5");
  EXPECT_EQ(host[1].at("BUnits"), "1.8");
  EXPECT_EQ(host[1].at("BDollars"), "341.25");
}

TEST_F(Posting, ZeroReceptorsOnlyWhenAsked) {
  for (const char* setting : {"N", "Y"}) {
    SCOPED_TRACE(setting);
    std::filesystem::remove_all(dir / "c/REMOTE");
    std::filesystem::create_directories(dir / "c/REMOTE");
    nextSeq_.clear();
    std::filesystem::remove(HostPath(std::string(kData) + "\\Trin01.s"));
    Create(std::string(kData) + "\\Trin01.s", "Batch");
    std::filesystem::remove(HostPath(std::string(kData) + "\\FSplit.lf"));
    Create(std::string(kData) + "\\FSplit.lf", "FeeSplit");
    Split("JDG", "RECA", 100, 100);
    Split("JDG", "RECB", 0, 0);
    AddRemote("TRIN12.RME", {{"ClientCode", "JDG"}, {"ActualAmount", "100"}, {"BillableEmpCode", ""}});
    const std::vector<Record> host = Import(setting);
    ASSERT_EQ(host.size(), std::string(setting) == "Y" ? 3u : 2u);
    if (host.size() == 3) {
      EXPECT_EQ(host[2].at("BDollars"), "0");
    }
  }
}

TEST_F(Posting, CostSplitUsesCostPercentWithoutRounding) {
  Split("POOL", "RECA", 0, 33.33);
  AddRemote("TRIN12.RME", {{"ClientCode", "POOL"}, {"Type", "C"}, {"SubType", "D"}, {"GroupingCode", "EX"},
                           {"ActualAmount", "435"}, {"ActualHours", "1"}, {"BillableHours", "1"},
                           {"EmployeeCode", ""}, {"BillableEmpCode", ""}});
  const std::vector<Record> host = Import();
  ASSERT_EQ(host.size(), 2u);
  EXPECT_EQ(host[1].at("BUnits"), "0.33");
  EXPECT_EQ(host[1].at("BDollars"), "144.99");
}

TEST_F(Posting, TrustAndPayment) {
  AddRemote("TRIN12.RME", {{"Type", "T"}, {"GroupingCode", "DP"}, {"ActualAmount", "50"}});
  AddRemote("TRIN12.RME", {{"Type", "P"}, {"GroupingCode", ""}, {"ActualAmount", "2400"}, {"Fees", "2000"},
                           {"DirectCosts", "400"}, {"EmployeeCode", ""}, {"BillableEmpCode", ""}},
            {"cheque 1001"});
  const std::vector<Record> host = Import();
  ASSERT_EQ(host.size(), 2u);
  EXPECT_EQ(host[0].at("Trtype"), "T");
  EXPECT_EQ(host[0].at("ADollars"), "-50");
  EXPECT_EQ(host[0].at("Aemp"), "    ");
  EXPECT_EQ(host[0].at("Bemp"), "    ");
  // The payment arrives as a transaction of its own, with its description.
  EXPECT_EQ(host[1].at("Trtype"), "P");
  EXPECT_EQ(host[1].at("ADollars"), "2400");
  EXPECT_EQ(host[1].at("FeeDollars"), "2000");
  EXPECT_EQ(host[1].at("DCDollars"), "400");
  EXPECT_EQ(host[1].at("SeqNumber"), "       2");
  const std::vector<Record> desc = HostDesc();
  ASSERT_EQ(desc.size(), 1u);
  EXPECT_EQ(desc[0].at("SequenceNumber"), "       2");
}

}  // namespace
}  // namespace upfold::test
