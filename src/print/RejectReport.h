#pragma once
// The "Remote Processing Reject report" printed after an import run that wrote rejects: for
// every batch row of the results with a reject file, a header block with the batch's file
// names and counts, then every rejected transaction with its reasons and description lines.
// It goes to the destination of the printing choices: a printer (fixed-pitch bold text,
// portrait for PrintSize "R", landscape otherwise) or the print file, appended to and paged
// by PageLen with pages padded to 66 lines. A print file that cannot be opened offers the
// printing choices again (report 41), and the report then goes where the user chose.

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "print/RejectReportLines.h"

namespace upfold {

struct AppContext;
class PrintChoicesAsker;
class PrinterCanvas;
class PrinterList;
class Printers;
class Table;
struct PrintChoices;

// The reject file tables and the table set's checked opening (VantroDM::OpenTable: opens the
// already named table on dir + "\" + file with the index; false after its own message).
struct RejectReportTables {
  Table& RejectFileTB;
  Table& RejectDescFileTB;
  std::function<bool(Table&, const std::string& dir, const std::string& index,
                     const std::string& file)>
      OpenTable;
};

class RejectReport {
 public:
  // Everything given must outlive the report. choices are the run's printing choices; the
  // retry for report 41 changes them.
  RejectReport(AppContext& context, RejectReportTables tables, PrintChoices& choices,
               PrintChoicesAsker& asker, const PrinterList& printerList, Printers& printers);
  ~RejectReport();
  RejectReport(const RejectReport&) = delete;
  RejectReport& operator=(const RejectReport&) = delete;

  // PrintRejectReport over the results grid's batch rows (without the heading row). False
  // when nothing was chosen at the retry or a reject file could not be opened; the caller
  // then shows its own message. A failure while printing is shown here and ends the output,
  // and the report still counts as done.
  bool PrintRejectReport(const std::vector<RejectReportRow>& rows);

 private:
  enum class Begin { Started, Retry, NotChosen };
  // BeginPrintReport: starts the printer job or opens the print file.
  Begin BeginPrintReport();
  // PrintReportToPrinterOrFile: the whole report, then the end of the output.
  bool PrintReportToPrinterOrFile(const std::vector<RejectReportRow>& rows);
  // False when a reject file could not be opened.
  bool PrintBatch(int row, const RejectReportRow& values);
  void PrintTheHeader(int row, const RejectReportRow& values);
  void PrintRecord();
  void PrintRejDesc(const std::string& sequenceNumber);
  void PrintLine(const std::string& text, int blankLines);
  bool PageFull() const;
  void PrinterNewPage(bool first);
  void FileNewPage();
  void WriteFileLine(const std::string& text);
  void EndOutput();
  void AbandonOutput();
  bool ToPrinter() const;
  void ShowPrintingError(const std::string& error);

  AppContext& ctx_;
  RejectReportTables tables_;
  PrintChoices& choices_;
  PrintChoicesAsker& asker_;
  const PrinterList& printerList_;
  Printers& printers_;

  std::unique_ptr<PrinterCanvas> canvas_;
  std::FILE* file_ = nullptr;
  int pointSize_ = 9;
  int lineHeight_ = 0;  // the canvas height of the report's point size (negative)
  int pageNumber_ = 0;
  int position_ = 0;     // printer: device units down the page
  int linesOnPage_ = 0;  // file
  int linesPerPage_ = 66;
};

}  // namespace upfold
