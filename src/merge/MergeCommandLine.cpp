#include "merge/MergeCommandLine.h"

#include <algorithm>

#include "app/RunValues.h"
#include "data/FixedText.h"
#include "platform/WindowsCommandLine.h"

namespace upfold {

namespace {

// The argument in double quotes, written so that the Windows rules give it back unchanged.
std::string Quoted(const std::string& argument) {
  std::string quoted = QuoteWindowsArgument(argument);
  if (quoted.empty() || quoted.front() != '"') {
    // Nothing to escape inside; backslashes at the end must not escape the closing quote.
    const std::size_t kept = argument.find_last_not_of('\\') + 1;  // npos + 1 == 0
    quoted = '"' + argument + std::string(argument.size() - kept, '\\') + '"';
  }
  return quoted;
}

}  // namespace

MergeFields BuildMergeFields(const PrintChoices& choices, bool bridge) {
  const bool toFile = choices.PrintDest == kPrintToFile;
  const std::string& printer = choices.PrinterName;
  MergeFields fields;
  fields.D = LeftFit(bridge ? std::to_string(choices.PrintDest) : toFile ? "101" : "256", kFieldD);
  fields.P = LeftFit(choices.PrntNum, kFieldP);
  fields.N = LeftFit(printer, kFieldN);
  if (toFile) {
    fields.F1 = LeftFit(choices.PrintFileName + GetTesselPathFmt(choices.PrintFilePath), kFieldF);
    fields.F2 = LeftFit(choices.PrintPathFileName, kFieldF);
  } else {
    fields.F1 = LeftFit(printer, kFieldF);
    fields.F2 = LeftFit(printer.size() > kFieldF ? printer.substr(kFieldF) : "", kFieldF);
  }
  fields.S = LeftFit(choices.PrintSize, kFieldS);
  fields.L = LeftFit(choices.PageLen, kFieldL);
  fields.T = LeftFit(choices.TimeName, kFieldT);
  fields.R = LeftFit("R", kFieldR);
  return fields;
}

std::string GetTesselPathFmt(const std::string& directory) {
  if (Trim(directory).empty()) return "/C";
  const std::string rest = directory.size() > 3 ? directory.substr(3) : "";
  return "/" + rest + "/" + directory.front();
}

std::string NormalMergeCommandLine(const RunValues& values, const PrintChoices& choices,
                                   const MergeFields& fields) {
  const std::string f1 =
      choices.PrintDest == kPrintToFile ? std::string(kFileF1Blanks, ' ') : fields.F1;
  const std::string argument = "IMPORT" + fields.D + f1 + fields.F2 + fields.S + fields.L;
  return values.PgmDir + "\\Brask.exe " + Quoted(argument) + " " + values.SystemFileDate;
}

std::string BridgeMergeCommandLine(const RunValues& values, const MergeFields& fields) {
  std::string argument = values.SystemFileDate + "TI" + fields.T + LeftFit(values.WSID, 2) +
                         fields.R + fields.D + fields.P + fields.N + fields.F1 + fields.F2 +
                         fields.S + fields.L;
  std::replace(argument.begin(), argument.end(), ' ', kBridgeBlank);
  return values.PgmDir + "\\KVX  Mfvrn.ini " + values.BridgeDebugSwitch + " BRIDGE" +
         values.PgmDirTessel + " " + argument;
}

}  // namespace upfold
