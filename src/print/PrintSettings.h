#pragma once
// The print settings of this workstation, PRINT<ws>.LC in the host data directory: for every
// report of the suite a report record (where it normally goes, file directory and name,
// orientation, page length) and a printer record (report number + 15) naming the preferred
// printer. This program only reads the file; a missing one is created from the program
// directory's template Print.clo. Every problem is put to the user as a question whose "No"
// refuses the printing choice.

#include <string>

#include "data/Table.h"

namespace upfold {

struct AppContext;
class PrinterList;
struct PrintChoices;

// What an opening of the printing choices takes from the settings besides the result values.
struct PrintSettings {
  std::string ReportTitle;       // RptName
  std::string PrntToFile = "N";  // "N" printer; any other code starts on File
  bool DefaultsInUse = false;
  bool FileOnly = false;  // PrntToFile "R": the Printer and Screen choices are refused
};

class PrintSettingsStore {
 public:
  // The context and the list must outlive the store.
  PrintSettingsStore(const AppContext& context, const PrinterList& printers);

  // GetPrintTBInfo: fills choices and settings for report choices.PrintReportNum. False when
  // the user declined the defaults offered for a missing or damaged file; the caller then
  // prints nothing. The table is closed again before it returns.
  bool GetPrintTBInfo(PrintChoices& choices, PrintSettings& settings);

  // GetDefaults: "C" (landscape), 66 lines, the printer destination, the first printer of
  // the list, no file name; PrintFilePath is left as it is.
  void GetDefaults(PrintChoices& choices, PrintSettings& settings) const;

  // CreatePrintWSid: copies <PgmDir>\Print.clo to <DataPath>\Print<ws>.lc, never over an
  // existing file. False after its message.
  bool CreatePrintWSid(const std::string& wsid);

  // PrintTB, open only while GetPrintTBInfo reads it.
  Table& PrintTB() { return printTB_; }

 private:
  // OpenPrintTB: opens the table with index 1; false when it cannot.
  bool OpenPrintTB();
  bool ReadReport(int reportNum, const std::string& wsid, PrintChoices& choices,
                  PrintSettings& settings);
  bool Offer(const std::string& question);  // any answer but No counts as Yes
  std::string FirstPrinter() const;

  const AppContext& ctx_;
  const PrinterList& printers_;
  Table printTB_;
};

}  // namespace upfold
