#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "app/HostRegistry.h"
#include "data/FixedText.h"
#include "data/TableFixture.h"
#include "data/VantroDM.h"
#include "platform/Clock.h"

namespace upfold::test {
namespace {

const std::string kData = "C:\\MFW\\DATA";
const std::string kContact = "\r\rPlease contact Verrin, Inc. for assistance.";

class VantroDMTest : public TableFixture {
 protected:
  VantroDMTest() {
    values.WSID = "01";
    values.DataPath = kData;
    values.SystemFileDate = "250315";
    registry.CreateKey(Hive::LocalMachine, kHostKey);
  }

  std::optional<std::string> HostValue(const std::string& name) {
    return registry.ReadString(Hive::LocalMachine, kHostKey, name);
  }

  FakeClock clock;
  RunValues values;
  AppContext context{registry, *fs, clock, ui, values, {}};
  VantroDM dm{context};
};

TEST_F(VantroDMTest, OpenTableReportsEachFailureOnceAndSetsTheErrorFlag) {
  MakeFile("TRIN01.RME", "RemBatch");
  dir.Write("c/MFW/DATA/YCase.lf", "not a data file");
  struct Case {
    const char* what;
    Table* table;
    const char* processName;
    const char* tableName;  // in C:\MFW\DATA
    const char* fileName;
    const char* index;
    MessageKind kind;
    std::string message;
    bool staysOpen;
  };
  const Case cases[] = {
      {"missing, before the first run", &dm.GroupRateTB, "", "Ygrate.lf;RES:Grates", "\\Ygrate.lf",
       "1", MessageKind::Error,
       "The file C:\\MFW\\DATA\\\\Ygrate.lf is missing.\r\r processing can't be run without this "
       "file." +
           kContact,
       false},
      {"missing", &dm.EmpTB, "Remote", "YEMPL.LF;RES:EMP", "YEMPL.LF", "1", MessageKind::Error,
       "The file C:\\MFW\\DATA\\YEMPL.LF is missing.\r\rRemote processing can't be run without "
       "this file." +
           kContact,
       false},
      {"not a data file", &dm.CaseTB, "Remote", "YCase.lf;RES:YCase", "YCase.lf", "1",
       MessageKind::Plain,
       "Unable to open file C:\\MFW\\DATA\\YCase.lf.\r\rRemote processing can't be run without "
       "this file.\r\rBtrieve error 30: The file specified is not a MicroKernel file" +
           kContact,
       false},
      {"another layout than the table declares", &dm.RemoteTB, "Remote", "TRIN01.RME;RES:Batch",
       "TRIN01.RME", "1", MessageKind::Plain,
       "Unable to open file C:\\MFW\\DATA\\TRIN01.RME.\r\rRemote processing can't be run without "
       "this file.\r\rRemoteTB: Field 'AutoInc' not found" +
           kContact,
       false},
      {"no such key", &dm.RemoteTB, "", "TRIN01.RME;RES:RemBatch", "TRIN01.RME", "7",
       MessageKind::Plain,
       "Unable to assign index 7 to file C:\\MFW\\DATA\\TRIN01.RME.\r\r processing can't be run "
       "without this file.\r\rBtrieve error 6: The key number parameter is invalid" +
           kContact,
       true},
  };
  for (const Case& c : cases) {
    Table& table = *c.table;
    dm.ProcessName = c.processName;
    dm.ErrorsOccurred = false;
    ui.hourglass = true;
    table.Close();
    table.SetTableName(kData + "\\" + c.tableName);
    ui.ExpectShow(c.kind, c.message);
    EXPECT_FALSE(dm.OpenTable(table, kData, c.index, c.fileName)) << c.what;
    EXPECT_TRUE(ui.Done()) << c.what;
    EXPECT_TRUE(dm.ErrorsOccurred) << c.what;
    EXPECT_EQ(table.Active(), c.staysOpen) << c.what;
    if (c.kind == MessageKind::Plain) {
      EXPECT_FALSE(ui.hourglass) << c.what;
    }
  }
}

TEST_F(VantroDMTest, OpenTableOpensWithTheIndexAndShowsStepsForTheHostBatchUnderX) {
  MakeFile("Trin01.s", "Batch");
  MakeFile("SYSOP.LC", "Sysop1");
  dm.PointHostBatchTables(kData + "\\Trin01.s;RES:Batch", kData + "\\Desc01.s;RES:TrDesc");
  dm.SysopTB.SetTableName(kData + "\\SYSOP.LC;RES:Sysop1");

  EXPECT_TRUE(dm.OpenTable(dm.TrinScratchTB, kData, "1", "\\Trin01.s"));  // no switch: silent
  EXPECT_EQ(dm.TrinScratchTB.KeyNumber(), 1);
  dm.TrinScratchTB.Close();

  values.DiagnosticSwitch = "X";
  ui.ExpectShow(MessageKind::Information, "Checking for existence of \\Trin01.s");
  ui.ExpectShow(MessageKind::Information, "Attempting to open \\trin01.s");
  ui.ExpectShow(MessageKind::Information, "File opened successfully");
  EXPECT_TRUE(dm.OpenTable(dm.TrinScratchTB, kData, "1", "\\Trin01.s"));
  EXPECT_TRUE(dm.OpenTable(dm.SysopTB, kData, "0", "\\SYSOP.LC"));  // other files: silent
  EXPECT_EQ(dm.SysopTB.KeyNumber(), 0);

  dm.TrinScratchTB.Close();
  ui.ExpectShow(MessageKind::Information, "Checking for existence of \\Trin01.s");
  ui.ExpectShow(MessageKind::Error,
                "The file C:\\MFW\\\\Trin01.s is missing.\r\r processing can't be run "
                "without this file." +
                    kContact);
  EXPECT_FALSE(dm.OpenTable(dm.TrinScratchTB, "C:\\MFW", "1", "\\Trin01.s"));
}

class CalcFieldsTest : public VantroDMTest {
 protected:
  static std::string Transaction(const char* seq, const char* type, const char* subType) {
    return Rec("RemBatch")
        .Text("SequenceNumber", seq)
        .Text("Type", type)
        .Text("SubType", subType)
        .Text("Unassigned2", "+++");
  }
  static std::string Line(const char* seq, const char* suffix, const char* text) {
    return Rec("RemBatchD")
        .Text("SequenceNumber", seq)
        .Text("SequenceSuffix", suffix)
        .Text("Description", text);
  }
};

TEST_F(CalcFieldsTest, TransactionsShowTheirTypeNameAndFirstDescriptionLine) {
  const std::vector<std::string> transactions = {
      Transaction("       1", "F", "D"), Transaction("       2", "C", "D"),
      Transaction("       3", "c", " "), Transaction("       4", "c", "D"),
      Transaction("       5", "C", "d"), Transaction("       6", "T", " ")};
  const std::vector<std::string> lines = {
      Line("       1", "1", "second line of one"), Line("       1", "0", "first line of one"),
      Line("       2", "1", "starts at suffix 1"), Line("       5", "0", "five")};
  const std::pair<const char*, const char*> expected[] = {
      {"Fee", "first line of one"}, {"D Cost", "  "}, {"I Cost", "  "}, {"D Cost", "  "},
      {"I Cost", "five"},           {"I Cost", "  "}};
  MakeFile("TRIN01.R01", "RemBatch", transactions);
  MakeFile("DESC01.R01", "RemBatchD", lines);
  MakeFile("TRIN01.RME", "RemBatch", transactions);
  MakeFile("DESC01.RME", "RemBatchD", lines);

  const std::tuple<Table*, Table*, const char*> viewers[] = {
      {&dm.RejectFileTB, &dm.RejectDescFileTB, "01.R01"},
      {&dm.Remote2TB, &dm.RemoteDescTB, "01.RME"}};
  for (const auto& [batch, descriptions, suffix] : viewers) {
    descriptions->SetTableName(kData + "\\DESC" + suffix + ";RES:RemBatchD");
    descriptions->Open();
    descriptions->SetIndexName("1");
    batch->SetTableName(kData + "\\TRIN" + suffix + ";RES:RemBatch");
    batch->Open();
    for (const auto& [typeName, description] : expected) {
      ASSERT_FALSE(batch->Eof());
      const std::string seq = Trim(batch->AsString("SequenceNumber"));
      EXPECT_EQ(batch->AsString("TypeName"), typeName) << batch->Name() << " " << seq;
      EXPECT_EQ(batch->AsString("Desc"),
                std::string(description) == "  " ? std::string("  ") : LeftJust(description, 78))
          << batch->Name() << " " << seq;
      batch->Next();
    }
    batch->First();  // the lookup has moved the description table onto the line shown
    EXPECT_EQ(Trim(descriptions->AsString("Description")), "first line of one");
    EXPECT_EQ(descriptions->AsString("SequenceSuffix"), "0");

    descriptions->Close();  // no description table: two blanks, never a failure
    batch->Next();
    batch->Prior();
    EXPECT_EQ(batch->AsString("Desc"), "  ");
  }
}

TEST_F(CalcFieldsTest, EmployeeNameIsLastCommaFirst) {
  auto employee = [](const char* code, const char* first, const char* last) {
    return Rec("EMP")
        .Text("Employee Code", code)
        .Text("Employee First Name", first)
        .Text("Employee Last Name", last);
  };
  MakeFile(
      "YEMPL.LF", "EMP",
      {employee("A", "Ann", "Example"), employee("B", "", "Example   "),
       employee("C", "  ", " Example"), employee("D", "Maximilian-Karl", "Abcdefghijklmnopqrst")});
  dm.EmpTB.SetTableName(kData + "\\YEMPL.LF;RES:EMP");
  ASSERT_TRUE(dm.OpenTable(dm.EmpTB, kData, "1", "YEMPL.LF"));
  const char* expected[] = {"Example,Ann            ", "Example", "Example",
                            "Abcdefghijklmnopqrst,Maximilian-Karl"};
  for (const char* name : expected) {
    EXPECT_EQ(dm.EmpTB.AsString("LastCommaFirst"), name);
    dm.EmpTB.Next();
  }
  EXPECT_TRUE(dm.EmpTB.FindKey({"A"}));
  EXPECT_EQ(Trim(dm.EmpTB.AsString("LastCommaFirst")), "Example,Ann");
}

TEST_F(VantroDMTest, ReadFromRegistryTakesOnlyNAsNo) {
  const std::pair<std::optional<std::string>, const char*> cases[] = {
      {"N", "N"}, {"Y", "Y"}, {"y", "Y"}, {"n", "Y"}, {std::nullopt, "Y"}, {"", "Y"}, {"No", "Y"}};
  for (const auto& [stored, expected] : cases) {
    registry.DeleteValue(Hive::LocalMachine, kHostKey, "CreateZeroReceptors");
    if (stored) registry.WriteString(Hive::LocalMachine, kHostKey, "CreateZeroReceptors", *stored);
    dm.CreateZeroReceptors = "?";
    dm.ReadFromRegistry();
    EXPECT_EQ(dm.CreateZeroReceptors, expected) << stored.value_or("(missing)");
  }
}

TEST_F(VantroDMTest, WriteToRegistryRecordsOrClearsTheProgress) {
  const char* names[] = {"UpfoldRemoteFile", "UpfoldRejectFile",   "UpfoldDate",
                         "UpfoldNumInFile",  "UpfoldNumProcessed", "UpfoldNumReject"};
  auto stored = [&] {
    std::vector<std::string> got;
    for (const char* name : names) got.push_back(HostValue(name).value_or("(missing)"));
    return got;
  };

  values.SystemFileDate = "2503159";  // cut to six, in the run-wide value too
  EXPECT_TRUE(dm.WriteToRegistry("40", "25", "3",
                                 {"C:\\REMOTE", "TRIN01.RME", "C:\\MFW\\DATA\\TRIN01.R01"}));
  EXPECT_EQ(stored(),
            (std::vector<std::string>{"C:\\REMOTE\\TRIN01.RME", "C:\\MFW\\DATA\\TRIN01.R01",
                                      "250315", "40", "25", "3"}));
  EXPECT_EQ(values.SystemFileDate, "250315");

  values.SystemFileDate = "";
  EXPECT_TRUE(dm.WriteToRegistry("", "25", "3", {"C:\\REMOTE", "TRIN01.RME", "X"}));
  EXPECT_EQ(stored(), (std::vector<std::string>{"", "", "010101", "", "", ""}));
  EXPECT_EQ(values.SystemFileDate, "      ");

  // The first failed write stops the rest; its routine has said why.
  registry.DeleteKey(Hive::LocalMachine, kHostKey);
  ui.ExpectShow(MessageKind::Information,
                "Unable to reset the 'UpfoldRemoteFile' value at this time." + kContact);
  EXPECT_FALSE(dm.WriteToRegistry("40", "40", "0", {"C:\\REMOTE", "TRIN01.RME", ""}));
  EXPECT_FALSE(registry.KeyExists(Hive::LocalMachine, kHostKey));
}

TEST_F(VantroDMTest, CloseAllTablesClosesTheImportTablesAndForgetsTheRejectFile) {
  MakeFile("Trin01.s", "Batch");
  MakeFile("TRIN01.R01", "RemBatch");
  MakeFile("TRIN01.RME", "RemBatch");
  MakeFile("YCASE.LF", "YCase");
  dm.PointHostBatchTables(kData + "\\Trin01.s;RES:Batch", kData + "\\Desc01.s;RES:TrDesc");
  dm.RejectFileTB.SetTableName(kData + "\\TRIN01.R01;RES:RemBatch");
  dm.Remote2TB.SetTableName(kData + "\\TRIN01.RME;RES:RemBatch");
  dm.CaseTB.SetTableName(kData + "\\YCASE.LF;RES:YCase");
  for (Table* table : {&dm.TrinScratchTB, &dm.RejectFileTB, &dm.Remote2TB, &dm.CaseTB})
    table->Open();
  dm.RejectFileMade = true;

  dm.CloseAllTables();
  EXPECT_FALSE(dm.TrinScratchTB.Active());
  EXPECT_FALSE(dm.RejectFileTB.Active());
  EXPECT_FALSE(dm.CaseTB.Active());
  EXPECT_FALSE(dm.RejectFileMade);
  EXPECT_TRUE(dm.Remote2TB.Active());  // the viewer's own

  // Pointing the host-batch tables again: an open table keeps the file it has.
  dm.TrinScratchTB.Open();
  dm.PointHostBatchTables(kData + "\\Trin02.s;RES:Batch", kData + "\\Desc02.s;RES:TrDesc");
  EXPECT_EQ(dm.TrinScratchTB.TableName(), kData + "\\Trin01.s;RES:Batch");
  EXPECT_EQ(dm.DescScratchTB.TableName(), kData + "\\Desc02.s;RES:TrDesc");
}

}  // namespace
}  // namespace upfold::test
