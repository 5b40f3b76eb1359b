#include "data/VantroDM.h"

#include <utility>
#include <vector>

#include "app/HostRegistry.h"
#include "app/Ui.h"
#include "data/FixedText.h"
#include "data/Layout.h"
#include "platform/DosFs.h"

namespace upfold {

namespace {

std::vector<std::string> AllFieldsOf(std::string_view layoutName) {
  std::vector<std::string> names;
  for (const FieldDef& field : FindLayout(layoutName)->fields) names.emplace_back(field.name);
  return names;
}

// TypeName and Desc of a remote or reject transaction. The description is the first line of
// the transaction's description (suffix "0"), or two blanks; the lookup moves descTable.
void TransactionCalcFields(Table& table, Table& descTable) {
  const std::string type = table.AsString("Type");
  table.SetAsString("TypeName", type == "F"                        ? "Fee"
                                : table.AsString("SubType") == "D" ? "D Cost"
                                                                   : "I Cost");
  std::string description = "  ";
  // A description table being written to is left alone: a lookup would post its record.
  if (descTable.Active() && descTable.State() == TableState::Browse) {
    try {
      if (descTable.FindKey({LeftJust(table.AsString("SequenceNumber"), 8), "0"}))
        description = descTable.AsString("Description");
    } catch (const TableError&) {
      // A description that cannot be read shows as missing.
    }
  }
  table.SetAsString("Desc", description);
}

void EmployeeCalcFields(Table& table) {
  const std::string first = table.AsString("Employee First Name");
  const std::string last = Trim(table.AsString("Employee Last Name"));
  table.SetAsString("LastCommaFirst", Trim(first).empty() ? last : last + "," + first);
}

}  // namespace

VantroDM::VantroDM(const AppContext& context)
    : RemoteTB(context.fs, "RemoteTB"),
      RemoteDescTB(context.fs, "RemoteDescTB"),
      TrinScratchTB(context.fs, "TrinScratchTB"),
      DescScratchTB(context.fs, "DescScratchTB"),
      CaseTB(context.fs, "CaseTB"),
      EmpTB(context.fs, "EmpTB"),
      SimpleTB(context.fs, "SimpleTB"),
      GroupRateTB(context.fs, "GroupRateTB"),
      FeeSplitTB(context.fs, "FeeSplitTB"),
      EmpRateTB(context.fs, "EmpRateTB"),
      Tsc2TB(context.fs, "Tsc2TB"),
      SysopTB(context.fs, "SysopTB"),
      RejectFileTB(context.fs, "RejectFileTB"),
      RejectDescFileTB(context.fs, "RejectDescFileTB"),
      Remote2TB(context.fs, "Remote2TB"),
      context_(context) {
  RemoteTB.DeclareFields(AllFieldsOf("RemBatch"));
  RemoteDescTB.DeclareFields(AllFieldsOf("RemBatchD"));
  TrinScratchTB.DeclareFields(AllFieldsOf("Batch"));
  DescScratchTB.DeclareFields(AllFieldsOf("TrDesc"));
  CaseTB.DeclareFields({"Client Code", "Case Suffix", "Alternate ID", "Case Status 1",
                        "Case Status 2", "Billing Rate Code", "Alt Billing Format"});
  EmpTB.DeclareFields({"Employee Code", "Employee Last Name", "Employee Dept", "Employee Class",
                       "Employee First Name", "Unassigned"});
  EmpTB.AddCalcField("LastCommaFirst", 40);
  EmpTB.SetOnCalcFields(EmployeeCalcFields);
  SimpleTB.DeclareFields(
      {"type code", "transaction type", "code", "stmt group function", "Description"});
  GroupRateTB.DeclareFields({"TypeOfRate", "Code", "RG Rate/Group code", "Rate/Group code",
                             "FixedFeeSwitch", "RateOrAmount"});
  FeeSplitTB.DeclareFields(
      {"DummyClient", "DummyCase", "ReceptorClient", "ReceptorCase", "FeePerCent", "CostPerCent"});
  EmpRateTB.DeclareFields({"EmpCode", "RateCode", "Rate"});
  Tsc2TB.DeclareFields({"RoundRecepToTenth", "TableName", "TableNameSuffix"});
  SysopTB.DeclareFields(
      {"DateFmt", "AltIDCap", "ValFGrp", "ValCGrp", "ValTrGrp", "ValPGrp", "ValAGrp", "ValRtGrp"});
  RejectDescFileTB.DeclareFields(AllFieldsOf("RemBatchD"));
  for (auto [batch, descriptions] :
       {std::pair{&RejectFileTB, &RejectDescFileTB}, std::pair{&Remote2TB, &RemoteDescTB}}) {
    batch->DeclareFields(AllFieldsOf("RemBatch"));
    batch->AddCalcField("TypeName", 6);
    batch->AddCalcField("Desc", 78);
    batch->SetOnCalcFields(
        [descriptions](Table& table) { TransactionCalcFields(table, *descriptions); });
  }
  for (Table* table : {&RemoteTB, &RemoteDescTB, &TrinScratchTB, &DescScratchTB, &CaseTB, &EmpTB,
                       &SimpleTB, &GroupRateTB, &FeeSplitTB, &EmpRateTB, &Tsc2TB, &SysopTB,
                       &RejectFileTB, &RejectDescFileTB, &Remote2TB})
    table->SetDateFormats(context.formats);
}

bool VantroDM::OpenTable(Table& table, const std::string& directory, const std::string& indexName,
                         const std::string& fileName) {
  Ui& ui = context_.ui;
  const std::string& wsid = context_.values.WSID;
  const bool diagnostic =
      context_.values.DiagnosticSwitch == "X" && fileName == "\\Trin" + wsid + ".s";
  const std::string path = directory + "\\" + fileName;
  const std::string cannotRun =
      "\r\r" + ProcessName + " processing can't be run without this file.";

  if (diagnostic) ui.Information("Checking for existence of \\Trin" + wsid + ".s");
  if (!context_.fs.FileExists(path)) {
    ui.Error("The file " + path + " is missing." + cannotRun + kContactLine);
    ErrorsOccurred = true;
    return false;
  }
  if (diagnostic) ui.Information("Attempting to open \\trin" + wsid + ".s");
  try {
    table.Open();
  } catch (const TableError& error) {
    ui.ArrowCursor();
    ui.Plain("Unable to open file " + path + "." + cannotRun + "\r\r" + error.what() +
             kContactLine);
    ErrorsOccurred = true;
    return false;
  }
  if (diagnostic) ui.Information("File opened successfully");
  try {
    table.SetIndexName(indexName);
  } catch (const TableError& error) {
    ui.ArrowCursor();
    ui.Plain("Unable to assign index " + indexName + " to file " + path + "." + cannotRun + "\r\r" +
             error.what() + kContactLine);
    ErrorsOccurred = true;
    return false;
  }
  return true;
}

void VantroDM::ReadFromRegistry() {
  const std::string value = ReadHostValue(context_.registry, context_.ui, "CreateZeroReceptors");
  CreateZeroReceptors = value == "N" ? "N" : "Y";
}

bool VantroDM::WriteToRegistry(const std::string& numInFile, const std::string& numProcessed,
                               const std::string& numReject, const ProgressFiles& files) {
  std::string& fileDate = context_.values.SystemFileDate;
  fileDate = LeftFit(fileDate, 6);
  const bool counts = !numInFile.empty();
  const std::pair<const char*, std::string> values[] = {
      {"UpfoldRemoteFile", counts ? files.remoteDir + "\\" + files.remoteFileName : ""},
      {"UpfoldRejectFile", counts ? files.rejectFileName : ""},
      {"UpfoldDate", counts ? fileDate : "010101"},
      {"UpfoldNumInFile", numInFile},
      {"UpfoldNumProcessed", counts ? numProcessed : ""},
      {"UpfoldNumReject", counts ? numReject : ""},
  };
  for (const auto& [name, value] : values)
    if (!WriteHostValue(context_.registry, context_.ui, name, value)) return false;
  return true;
}

void VantroDM::CloseAllTables() {
  TrinScratchTB.Close();
  DescScratchTB.Close();
  RemoteTB.Close();
  RemoteDescTB.Close();
  RejectFileTB.Close();
  RejectFileMade = false;
  for (Table* table : {&RejectDescFileTB, &SysopTB, &CaseTB, &EmpTB, &EmpRateTB, &FeeSplitTB,
                       &SimpleTB, &Tsc2TB, &GroupRateTB})
    table->Close();
}

void VantroDM::PointHostBatchTables(const std::string& trinTable, const std::string& descTable) {
  for (auto [table, name] :
       {std::pair{&TrinScratchTB, &trinTable}, std::pair{&DescScratchTB, &descTable}})
    if (!table->Active() || table->TableName() == *name) table->SetTableName(*name);
}

}  // namespace upfold
