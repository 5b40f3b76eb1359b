#pragma once
// A given list of printers whose jobs are recorded instead of printed, for tests. Every job
// stays available after the report has let go of it.

#include <memory>
#include <string>
#include <vector>

#include "platform/printers/Printers.h"
#include "platform/printers/RecordingCanvas.h"

namespace upfold {

class RecordingPrinters final : public Printers {
 public:
  struct Job {
    std::string printerName;
    PrintJobOptions options;
    std::unique_ptr<RecordingCanvas> canvas;
  };

  // names in the order the system would give them; defaultName may be empty.
  explicit RecordingPrinters(std::vector<std::string> names, std::string defaultName = {});

  std::vector<std::string> Names() override { return names_; }
  std::string DefaultName() override { return defaultName_; }
  // Unknown names and a planted refusal throw PrinterError.
  std::unique_ptr<PrinterCanvas> StartJob(const std::string& printerName,
                                          const PrintJobOptions& options) override;

  const std::vector<Job>& Jobs() const { return jobs_; }
  // The canvas of the latest job; the test fails on a null dereference if there is none.
  RecordingCanvas* LastCanvas() const;

  // Page size of the canvases of later jobs (device units, units per inch).
  int pageWidth = 4800;
  int pageHeight = 6300;
  int resolution = 600;
  // When set, StartJob throws PrinterError with this text.
  std::string refuseJobs;

 private:
  std::vector<std::string> names_;
  std::string defaultName_;
  std::vector<Job> jobs_;
};

}  // namespace upfold
