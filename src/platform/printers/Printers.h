#pragma once
// The printers the program can print on: the system's printers and, unless switched off, the
// built-in virtual PDF printer. Names come in the system's order; jobs are drawn on a
// PrinterCanvas.

#include <memory>
#include <string>
#include <vector>

#include "platform/printers/PrinterCanvas.h"

namespace upfold {

enum class Orientation { Portrait, Landscape };

struct PrintJobOptions {
  Orientation orientation = Orientation::Portrait;
  std::string title;  // the job's name in the print queue; the PDF file's name
};

class Printers {
 public:
  virtual ~Printers() = default;

  // Names of the installed printers, in the system's order.
  virtual std::vector<std::string> Names() = 0;
  // The default printer's name; empty when there is none.
  virtual std::string DefaultName() = 0;
  // Starts a job on the named printer. Throws PrinterError when the printer is unknown or
  // refuses the job.
  virtual std::unique_ptr<PrinterCanvas> StartJob(const std::string& printerName,
                                                  const PrintJobOptions& options) = 0;
};

}  // namespace upfold
