#include "platform/printers/QtCanvas.h"

#include <unistd.h>

#include <QDateTime>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>

#include "platform/TextEncoding.h"

namespace upfold {

namespace fs = std::filesystem;

namespace {

constexpr int kPdfResolution = 600;
// A quarter of an inch all round, about what office printers cannot reach anyway.
constexpr double kPdfMarginPoints = 18.0;
constexpr int kDefaultPointSize = 10;

QString FromCp1252(const std::string& text) {
  return QString::fromStdString(Cp1252ToUtf8(text));
}

// A file-name stem from a job title: no slashes or control characters, no leading dot.
std::string FileStem(const std::string& title) {
  std::string stem = Cp1252ToUtf8(title.substr(0, 100));
  for (char& c : stem) {
    if (c == '/' || static_cast<unsigned char>(c) < 0x20) c = '_';
  }
  const auto first = stem.find_first_not_of(" .");
  const auto last = stem.find_last_not_of(' ');
  stem = first == std::string::npos ? std::string() : stem.substr(first, last - first + 1);
  return stem.empty() ? std::string("Upfold print") : stem;
}

// Where a finished PDF goes: the temporary file is linked under the first free name, so
// an existing file is never replaced and a half-written one is never seen.
void PublishPdf(const fs::path& temp, const fs::path& folder, const std::string& stem) {
  for (int n = 1; n < 10000; ++n) {
    const std::string name = stem + (n > 1 ? " (" + std::to_string(n) + ")" : "") + ".pdf";
    const fs::path target = folder / name;
    if (::link(temp.c_str(), target.c_str()) == 0) {
      ::unlink(temp.c_str());
      return;
    }
    if (errno == EEXIST) continue;
    // File systems without hard links: a rename that checks first is the best left.
    std::error_code ec;
    if (fs::exists(target, ec)) continue;
    fs::rename(temp, target, ec);
    if (!ec) return;
    ::unlink(temp.c_str());
    throw PrinterError("Unable to write the PDF file " + target.string() + ".\r\r" +
                       ec.message());
  }
  ::unlink(temp.c_str());
  throw PrinterError("Unable to find a free name for the PDF file in " + folder.string() + ".");
}

class QtCanvas final : public PrinterCanvas {
 public:
  // pdfTemp empty: a system printer; otherwise the PDF is published into pdfFolder on End.
  QtCanvas(std::unique_ptr<QPrinter> printer, fs::path pdfTemp, fs::path pdfFolder,
           std::string pdfStem)
      : printer_(std::move(printer)),
        pdfTemp_(std::move(pdfTemp)),
        pdfFolder_(std::move(pdfFolder)),
        pdfStem_(std::move(pdfStem)) {}

  ~QtCanvas() override {
    // A job dropped without End (an error on the way) is thrown away, not printed half.
    if (!finished_) Abort();
  }

  void Begin(const std::string& printerName) {
    if (!painter_.begin(printer_.get())) {
      Discard();
      throw PrinterError("The printer " + printerName + " could not start the print job.");
    }
    SetFont(CanvasFont{});
  }

  int PageWidth() const override { return printer_->width(); }
  int PageHeight() const override { return printer_->height(); }
  int Resolution() const override { return printer_->resolution(); }

  bool SetFont(const CanvasFont& font) override {
    if (!painter_.isActive()) return false;
    QFont qfont = ToQFont(font);
    painter_.setFont(qfont);
    font_ = font;
    ascent_ = QFontMetrics(qfont, printer_.get()).ascent();
    return true;
  }

  const CanvasFont& Font() const override { return font_; }

  void TextOut(int x, int y, const std::string& text) override {
    CheckActive();
    painter_.drawText(QPointF(x, y + ascent_), FromCp1252(text));
  }

  void NewPage() override {
    CheckActive();
    if (!printer_->newPage()) throw PrinterError("The printer could not start a new page.");
  }

  void End() override {
    CheckActive();
    finished_ = true;
    if (!painter_.end()) {
      Discard();
      throw PrinterError("The printer could not finish the print job.");
    }
    if (!pdfTemp_.empty()) PublishPdf(pdfTemp_, pdfFolder_, pdfStem_);
  }

  void Abort() override {
    finished_ = true;
    if (painter_.isActive()) {
      if (pdfTemp_.empty()) printer_->abort();
      painter_.end();
    }
    Discard();
  }

 private:
  void CheckActive() const {
    if (finished_ || !painter_.isActive()) {
      throw PrinterError("The print job is no longer active.");
    }
  }

  void Discard() {
    if (!pdfTemp_.empty()) ::unlink(pdfTemp_.c_str());
    pdfTemp_.clear();
  }

  QFont ToQFont(const CanvasFont& font) const {
    QFont qfont;
    if (!font.face.empty()) {
      qfont.setFamily(FromCp1252(font.face));
    } else if (font.fixedPitch) {
      qfont.setFamily(QStringLiteral("Monospace"));
      qfont.setStyleHint(QFont::TypeWriter);
    } else {
      qfont.setStyleHint(QFont::SansSerif);
    }
    qfont.setFixedPitch(font.fixedPitch);
    qfont.setWeight(static_cast<QFont::Weight>(std::clamp(font.weight, 100, 900)));
    qfont.setItalic(font.italic);
    qfont.setUnderline(font.underline);
    qfont.setStrikeOut(font.strikeOut);
    if (font.height < 0) {
      qfont.setPixelSize(-font.height);
    } else if (font.height > 0) {
      // A cell height includes the leading: scale the pixel size until the line fits it.
      qfont.setPixelSize(font.height);
      const int cell = QFontMetrics(qfont, printer_.get()).height();
      if (cell > 0) qfont.setPixelSize(std::max(1, font.height * font.height / cell));
    } else {
      qfont.setPixelSize(std::max(1, kDefaultPointSize * printer_->resolution() / 72));
    }
    if (font.width > 0) {
      const int natural = QFontMetrics(qfont, printer_.get()).averageCharWidth();
      if (natural > 0) qfont.setStretch(std::clamp(font.width * 100 / natural, 1, 4000));
    }
    return qfont;
  }

  std::unique_ptr<QPrinter> printer_;
  QPainter painter_;
  fs::path pdfTemp_;
  fs::path pdfFolder_;
  std::string pdfStem_;
  CanvasFont font_;
  int ascent_ = 0;
  bool finished_ = false;
};

QPageLayout::Orientation ToQt(Orientation orientation) {
  return orientation == Orientation::Landscape ? QPageLayout::Landscape
                                               : QPageLayout::Portrait;
}

}  // namespace

void EnsureGuiApplication() {
  if (QCoreApplication::instance() != nullptr) {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
      throw PrinterError("Printing is not available in this program.");
    }
    return;
  }
  static int argc = 3;
  static char arg0[] = "upfold";
  static char arg1[] = "-platform";
  static char arg2[] = "offscreen";
  static char* argv[] = {arg0, arg1, arg2, nullptr};
  // Deliberately never destroyed: it must outlive every print job, up to the process's end.
  new QGuiApplication(argc, argv);
}

std::unique_ptr<PrinterCanvas> StartSystemJob(const std::string& printerName,
                                              const PrintJobOptions& options) {
  const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(printerName));
  if (info.isNull()) throw PrinterError("The printer " + printerName + " is not installed.");
  auto printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
  printer->setDocName(FromCp1252(options.title));
  printer->setPageOrientation(ToQt(options.orientation));
  auto canvas = std::make_unique<QtCanvas>(std::move(printer), fs::path(), fs::path(), "");
  canvas->Begin(printerName);
  return canvas;
}

std::unique_ptr<PrinterCanvas> StartPdfJob(const VirtualPdfSettings& pdf,
                                           const PrintJobOptions& options) {
  const fs::path folder = pdf.folder.empty() ? DefaultVirtualPdfFolder() : pdf.folder;
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) {
    throw PrinterError("Unable to create the folder " + folder.string() + " for PDF files.\r\r" +
                       ec.message());
  }
  std::string pattern = (folder / ".upfold-print-XXXXXX").string();
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) {
    throw PrinterError("Unable to write a PDF file in " + folder.string() + ".\r\r" +
                       std::strerror(errno));
  }
  ::close(fd);

  const std::string stamp =
      QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH.mm.ss")).toStdString();
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  printer->setOutputFormat(QPrinter::PdfFormat);
  printer->setOutputFileName(QString::fromStdString(pattern));
  printer->setResolution(kPdfResolution);
  printer->setDocName(FromCp1252(options.title));
  printer->setPageSize(QPageSize(pdf.paper == PaperSize::A4 ? QPageSize::A4 : QPageSize::Letter));
  printer->setPageOrientation(ToQt(options.orientation));
  printer->setPageMargins(QMarginsF(kPdfMarginPoints, kPdfMarginPoints, kPdfMarginPoints,
                                    kPdfMarginPoints),
                          QPageLayout::Point);
  auto canvas = std::make_unique<QtCanvas>(std::move(printer), fs::path(pattern), folder,
                                           FileStem(options.title) + " " + stamp);
  canvas->Begin(kVirtualPdfPrinterName);
  return canvas;
}

}  // namespace upfold
