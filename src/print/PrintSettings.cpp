#include "print/PrintSettings.h"

#include "app/AppContext.h"
#include "app/Ui.h"
#include "data/FixedText.h"
#include "platform/DosFs.h"
#include "print/PrintChoices.h"
#include "print/PrintFileName.h"
#include "print/PrinterList.h"
#include "print/StarPlus.h"

namespace upfold {

namespace {

// Printer records follow the report records at this distance.
constexpr int kPrinterRecordOffset = 15;

std::string ReportKey(int reportNum) {
  return LeftJust(std::to_string(reportNum), 2);
}

}  // namespace

PrintSettingsStore::PrintSettingsStore(const AppContext& context, const PrinterList& printers)
    : ctx_(context), printers_(printers), printTB_(context.fs, "PrintTB") {}

bool PrintSettingsStore::Offer(const std::string& question) {
  return ctx_.ui.Ask(MessageKind::Question, question, Buttons::YesNo) != Answer::No;
}

std::string PrintSettingsStore::FirstPrinter() const {
  return printers_.Empty() ? std::string() : printers_.Entries().front();
}

void PrintSettingsStore::GetDefaults(PrintChoices& choices, PrintSettings& settings) const {
  settings.DefaultsInUse = true;
  settings.ReportTitle = "Statements";
  settings.PrntToFile = "N";
  choices.PrntNum = "10";
  choices.PrintSize = "C";
  choices.PageLen = "66";
  choices.PrinterName = FirstPrinter();
  choices.PrintFileName.clear();
  choices.PrintPathFileName.clear();
}

bool PrintSettingsStore::CreatePrintWSid(const std::string& wsid) {
  const std::string cannotCreate = "The " + ctx_.values.DataPath + "\\Print" + wsid +
                                   ".lc file cannot be created at this time." + kContactLine;
  const std::string templ = ctx_.values.PgmDir + "\\Print.clo";
  if (!ctx_.fs.FileExists(templ)) {
    ctx_.ui.Error("The file " + templ + " is missing!" + cannotCreate);
    return false;
  }
  const std::string target = ctx_.values.DataPath + "\\Print" + wsid + ".lc";
  if (!ctx_.fs.CopyFile(templ, target, true)) {
    ctx_.ui.Error(cannotCreate);
    return false;
  }
  return true;
}

bool PrintSettingsStore::OpenPrintTB() {
  try {
    printTB_.Open();
    printTB_.SetIndexName("1");
    return true;
  } catch (const TableError&) {
    printTB_.Close();
    return false;
  }
}

bool PrintSettingsStore::GetPrintTBInfo(PrintChoices& choices, PrintSettings& settings) {
  printTB_.Close();
  settings = PrintSettings{};
  // The WSID comes from the start-up parameters when the run has none yet.
  std::string wsid = ctx_.values.WSID;
  if (Trim(wsid).empty()) wsid = ctx_.values.Param(4).substr(0, 2);

  const std::string file = ctx_.values.DataPath + "\\Print" + wsid + ".LC";
  printTB_.SetTableName(file + ";RES:Print");
  if (!ctx_.fs.FileExists(file)) {
    if (!Offer("The PRINT" + wsid +
               ".LC file is missing.\rDo you want to use the default "
               "settings?"))
      return false;
    CreatePrintWSid(wsid);  // the defaults serve this opening even when the copy failed
    GetDefaults(choices, settings);
    return true;
  }
  const std::string cannotOpen = "The " + ctx_.values.DataPath + "\\PRINT" + wsid +
                                 ".LC file cannot be opened.\rDo you want to use the default "
                                 "settings?";
  if (!OpenPrintTB()) {
    if (!Offer(cannotOpen)) return false;
    GetDefaults(choices, settings);
    return true;
  }
  try {
    const bool ok = ReadReport(choices.PrintReportNum, wsid, choices, settings);
    printTB_.Close();
    return ok;
  } catch (const TableError&) {
    // A record that cannot be read is a file that cannot be used.
    printTB_.Close();
    settings = PrintSettings{};
    if (!Offer(cannotOpen)) return false;
    GetDefaults(choices, settings);
    return true;
  }
}

bool PrintSettingsStore::ReadReport(int reportNum, const std::string& wsid, PrintChoices& choices,
                                    PrintSettings& settings) {
  const std::string damaged = "The PRINT" + wsid + ".LC  file is damaged or incomplete - ";
  const std::string reportKey = ReportKey(reportNum);
  if (!printTB_.FindKey({reportKey})) {
    if (!Offer(damaged + "can't find report number " + reportKey +
               ".\rDo you want to use the default settings for printing?"))
      return false;
    GetDefaults(choices, settings);
    return true;
  }
  settings.ReportTitle = TrimRight(printTB_.AsString("RptName"));
  settings.PrntToFile = Trim(printTB_.AsString("PrntToFile"));
  settings.FileOnly = settings.PrntToFile == "R";
  choices.PrintSize = Trim(printTB_.AsString("PrintSize"));
  choices.PageLen = Trim(printTB_.AsString("PageLen"));
  choices.PrntNum = "10";
  choices.PrintFilePath = Trim(printTB_.AsString("DirPath"));
  std::string name = Trim(printTB_.AsString("FileName"));
  if (!name.empty() && (name[0] == '*' || name[0] == '+'))
    name = StarPlus(name, StarPlusInputsNow(reportNum, ctx_.values, ctx_.formats, ctx_.clock));
  choices.PrintFileName = name;
  choices.PrintPathFileName = DoPrintPathFileName(choices.PrintFilePath, name);

  if (printTB_.FindKey({ReportKey(reportNum + kPrinterRecordOffset)})) {
    choices.PrinterName = Trim(printTB_.AsString("DirPath"));
    return true;
  }
  const std::string first = FirstPrinter();
  if (!Offer(damaged + "can't find default printer name.\rDo you want to use the " + Trim(first) +
             " printer?"))
    return false;
  choices.PrinterName = first;
  return true;
}

}  // namespace upfold
