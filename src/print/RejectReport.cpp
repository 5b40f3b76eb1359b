#include "print/RejectReport.h"

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <stdexcept>
#include <utility>

#include "app/AppContext.h"
#include "app/DateConversions.h"
#include "app/Ui.h"
#include "data/FixedText.h"
#include "data/Table.h"
#include "platform/Clock.h"
#include "platform/DosFs.h"
#include "platform/printers/Printers.h"
#include "print/PrintChoices.h"
#include "print/PrintChoicesAsker.h"
#include "print/PrinterList.h"

namespace upfold {

namespace {

// A print file's page, padded with empty lines when it is finished.
constexpr int kFilePageLines = 66;
// Lines kept free at the foot of a page.
constexpr int kFootLines = 5;

int LinesPerPage(const std::string& pageLen) {
  const std::string text = Trim(pageLen);
  int lines = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), lines);
  // A page length that is no positive number would break the page after every line.
  if (result.ec != std::errc() || result.ptr != text.data() + text.size() || lines <= 0)
    return kFilePageLines;
  return lines;
}

std::string FileError() {
  switch (errno) {
    case ENOSPC:
      return fsmsg::kDiskFull;
    case EACCES:
      return fsmsg::kAccessDenied;
    case EIO:
      return fsmsg::kIoError;
    default:
      return std::strerror(errno);
  }
}

// A bare file name is in the data directory.
void SplitRejectPath(const std::string& path, const std::string& dataPath, std::string& dir,
                     std::string& name) {
  const auto slash = path.find_last_of("\\/");
  if (slash == std::string::npos) {
    dir = dataPath;
    name = path;
  } else {
    dir = path.substr(0, slash);
    name = path.substr(slash + 1);
  }
}

}  // namespace

RejectReport::RejectReport(AppContext& context, RejectReportTables tables, PrintChoices& choices,
                           PrintChoicesAsker& asker, const PrinterList& printerList,
                           Printers& printers)
    : ctx_(context),
      tables_(std::move(tables)),
      choices_(choices),
      asker_(asker),
      printerList_(printerList),
      printers_(printers) {}

RejectReport::~RejectReport() {
  AbandonOutput();
}

void RejectReport::ShowPrintingError(const std::string& error) {
  ctx_.ui.Error(
      "Marrowfield was unable to complete printing the Remote Processing Reject report.\r\r"
      "The following error was encountered:\r\r" +
      error + kContactLine);
}

bool RejectReport::ToPrinter() const {
  return canvas_ != nullptr;
}

bool RejectReport::PrintRejectReport(const std::vector<RejectReportRow>& rows) {
  for (;;) {
    switch (BeginPrintReport()) {
      case Begin::NotChosen:
        return false;
      case Begin::Retry:
        continue;  // the new choice is started on the next round
      case Begin::Started:
        return PrintReportToPrinterOrFile(rows);
    }
  }
}

RejectReport::Begin RejectReport::BeginPrintReport() {
  pageNumber_ = 0;
  AbandonOutput();
  if (choices_.PrintDest == kPrintToPrinter) {
    std::string printer = printerList_.PrinterNameOf(choices_.PrinterName);
    if (printer.empty()) printer = printers_.DefaultName();
    const bool portrait = choices_.PrintSize == "R";
    pointSize_ = portrait ? 12 : 9;
    try {
      canvas_ = printers_.StartJob(
          printer, {portrait ? Orientation::Portrait : Orientation::Landscape, "Reject Report"});
      lineHeight_ = canvas_->PointHeight(pointSize_);
      PrinterNewPage(true);
    } catch (const std::exception& e) {
      // A printer that refuses the job is a failure while printing: shown here, and the
      // report ends without output.
      AbandonOutput();
      ShowPrintingError(e.what());
    }
    return Begin::Started;
  }
  if (choices_.PrintDest == kPrintToFile) {
    const auto host = ctx_.fs.ToHost(choices_.PrintPathFileName);
    if (host) file_ = std::fopen(host->c_str(), "ab");
    if (file_ != nullptr) return Begin::Started;
    ctx_.ui.Error("Marrowfield was unable to access the file " + choices_.PrintPathFileName +
                  ".\rYou will not be able to print the post audit trail to file\rat the "
                  "current time.");
    choices_.PrintDest = kPrintNothing;
    asker_.Ask(kRejectReportRetry, choices_);
    return choices_.PrintDest == kPrintNothing ? Begin::NotChosen : Begin::Retry;
  }
  return Begin::Started;
}

bool RejectReport::PrintReportToPrinterOrFile(const std::vector<RejectReportRow>& rows) {
  if (!canvas_ && file_ == nullptr) return true;  // no destination: nothing to print
  position_ = 0;
  linesOnPage_ = 0;
  pageNumber_ = 1;
  linesPerPage_ = LinesPerPage(choices_.PageLen);
  bool ok = true;
  try {
    for (std::size_t r = 0; r < rows.size() && ok; ++r) {
      if (rows[r][3] == kNoRejectFile) continue;
      ok = PrintBatch(static_cast<int>(r) + 1, rows[r]);
    }
    EndOutput();
  } catch (const std::exception& e) {
    AbandonOutput();
    ShowPrintingError(e.what());
    ok = true;
  }
  tables_.RejectFileTB.Close();
  tables_.RejectDescFileTB.Close();
  return ok;
}

bool RejectReport::PrintBatch(int row, const RejectReportRow& values) {
  Table& rejects = tables_.RejectFileTB;
  Table& descs = tables_.RejectDescFileTB;
  rejects.Close();
  descs.Close();
  rejects.SetTableName("");
  descs.SetTableName("");
  rejects.SetIndexName("");
  descs.SetIndexName("");

  std::string dir, name;
  SplitRejectPath(values[3], ctx_.values.DataPath, dir, name);
  const std::string descName = "Desc" + (name.size() > 4 ? name.substr(4, 6) : std::string());
  rejects.SetTableName(dir + "\\" + name + ";RES:RemBatch");
  descs.SetTableName(dir + "\\" + descName + ";RES:RemBatchD");
  if (!tables_.OpenTable(descs, dir, "1", descName) ||
      !tables_.OpenTable(rejects, dir, "1", name)) {
    EndOutput();
    return false;
  }

  PrintTheHeader(row, values);
  for (rejects.First(); !rejects.Eof(); rejects.Next()) {
    PrintRecord();
    if (PageFull()) {
      if (ToPrinter())
        PrinterNewPage(false);
      else
        FileNewPage();
      PrintTheHeader(row, values);
    }
    PrintRejDesc(rejects.AsString("SequenceNumber"));
    ctx_.ui.ProcessMessages();
  }
  return true;
}

void RejectReport::PrintTheHeader(int row, const RejectReportRow& values) {
  if (row > 1) {
    PrintLine(" ", 1);
    PrintLine(" ", 1);
  }
  const std::time_t now = std::chrono::system_clock::to_time_t(ctx_.clock.Now());
  std::tm local{};
  localtime_r(&now, &local);
  const CivilDate today{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
  PrintLine(RejectTitleLine(ctx_.values.DataPath, FormatShortDate(today, ctx_.formats),
                            FormatTime(local.tm_hour, local.tm_min, local.tm_sec, ctx_.formats),
                            pageNumber_),
            1);
  PrintLine(RejectSubHeader(1, values), 0);
  PrintLine(RejectSubHeader(2, values), 0);
  PrintLine(RejectSubHeader(3, values), 1);
  PrintLine(RejectColumnHeading(1), 0);
  PrintLine(RejectColumnHeading(2), 1);
}

void RejectReport::PrintRecord() {
  const Table& t = tables_.RejectFileTB;
  RejectDetail d;
  d.clientCase = Trim(t.AsString("ClientCode")) + "-" + Trim(t.AsString("CaseSuffix"));
  d.type = t.AsString("Type");
  d.date = FileDateToDisplayDate(t.AsString("StringTransDate"), true, ctx_.formats, ctx_.ui);
  d.group = Trim(t.AsString("GroupingCode"));
  d.employee = Trim(t.AsString("EmployeeCode"));
  d.actualHours = t.AsFloat("ActualHours");
  d.actualAmount = t.AsFloat("ActualAmount");
  d.billableEmployee = Trim(t.AsString("BillableEmpCode"));
  d.billableHours = t.AsFloat("BillableHours");
  d.billableAmount = t.AsFloat("BillableAmount");
  PrintLine(RejectDetailLine(d), 0);
  PrintLine(RejectReasonLine(GetRejectReason(t.AsString("Unassigned2"))), 0);
}

void RejectReport::PrintRejDesc(const std::string& sequenceNumber) {
  Table& descs = tables_.RejectDescFileTB;
  if (!descs.FindKey({sequenceNumber, "0"})) return;
  for (; !descs.Eof() && descs.AsString("SequenceNumber") == sequenceNumber; descs.Next()) {
    PrintLine(RejectDescriptionLine(descs.AsString("Description")), 0);
  }
}

void RejectReport::PrintLine(const std::string& text, int blankLines) {
  if (ToPrinter()) {
    canvas_->TextOut(0, position_, text);
    position_ += (blankLines + 1) * std::abs(lineHeight_ + 2);
    return;
  }
  WriteFileLine(text);
  for (int i = 0; i < blankLines; ++i) WriteFileLine("");
}

bool RejectReport::PageFull() const {
  if (ToPrinter()) return position_ > canvas_->PageHeight() - 5 * std::abs(lineHeight_);
  return linesOnPage_ > linesPerPage_ - kFootLines;
}

void RejectReport::PrinterNewPage(bool first) {
  const bool portrait = choices_.PrintSize == "R";
  CanvasFont font;
  font.height = canvas_->PageHeight() / (portrait ? 62 : 57);
  font.width = canvas_->PageWidth() / (portrait ? 141 : 184);
  font.weight = 700;
  font.fixedPitch = true;
  if (!first) {
    canvas_->NewPage();
    position_ = 0;
  }
  if (!canvas_->SetFont(font)) ctx_.ui.Plain("Select object failed");
  ++pageNumber_;
}

void RejectReport::FileNewPage() {
  while (linesOnPage_ < kFilePageLines) WriteFileLine("");
  ++pageNumber_;
  linesOnPage_ = 0;
}

void RejectReport::WriteFileLine(const std::string& text) {
  // Print files are DOS text: lines end with a carriage return and a line feed.
  const std::string line = text + "\r\n";
  if (std::fwrite(line.data(), 1, line.size(), file_) != line.size())
    throw std::runtime_error(FileError());
  ++linesOnPage_;
}

void RejectReport::EndOutput() {
  if (canvas_) {
    auto canvas = std::move(canvas_);
    canvas->End();
  }
  if (file_ != nullptr) {
    std::FILE* file = file_;
    file_ = nullptr;
    if (std::fclose(file) != 0) throw std::runtime_error(FileError());
  }
}

void RejectReport::AbandonOutput() {
  if (canvas_) {
    auto canvas = std::move(canvas_);
    try {
      canvas->End();  // what was printed so far still comes out
    } catch (const std::exception&) {
      canvas->Abort();
    }
  }
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
}

}  // namespace upfold
