#include "platform/printers/RecordingPrinters.h"

#include <algorithm>

namespace upfold {

namespace {

// Hands the calls on to a canvas that the printers own, so the job outlives the report.
class JobCanvas final : public PrinterCanvas {
 public:
  explicit JobCanvas(RecordingCanvas& target) : target_(target) {}
  int PageWidth() const override { return target_.PageWidth(); }
  int PageHeight() const override { return target_.PageHeight(); }
  int Resolution() const override { return target_.Resolution(); }
  bool SetFont(const CanvasFont& font) override { return target_.SetFont(font); }
  const CanvasFont& Font() const override { return target_.Font(); }
  void TextOut(int x, int y, const std::string& text) override { target_.TextOut(x, y, text); }
  void NewPage() override { target_.NewPage(); }
  void End() override { target_.End(); }
  void Abort() override { target_.Abort(); }

 private:
  RecordingCanvas& target_;
};

}  // namespace

RecordingPrinters::RecordingPrinters(std::vector<std::string> names, std::string defaultName)
    : names_(std::move(names)), defaultName_(std::move(defaultName)) {}

std::unique_ptr<PrinterCanvas> RecordingPrinters::StartJob(const std::string& printerName,
                                                           const PrintJobOptions& options) {
  if (!refuseJobs.empty()) throw PrinterError(refuseJobs);
  if (std::find(names_.begin(), names_.end(), printerName) == names_.end()) {
    throw PrinterError("The printer " + printerName + " is not installed.");
  }
  jobs_.push_back({printerName, options,
                   std::make_unique<RecordingCanvas>(pageWidth, pageHeight, resolution)});
  return std::make_unique<JobCanvas>(*jobs_.back().canvas);
}

RecordingCanvas* RecordingPrinters::LastCanvas() const {
  return jobs_.empty() ? nullptr : jobs_.back().canvas.get();
}

}  // namespace upfold
