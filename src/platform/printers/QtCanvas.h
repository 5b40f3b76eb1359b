#pragma once
// Inside the Qt backend: a canvas drawn with QPainter on a QPrinter. Qt-free so that the
// backend's files share it without spreading Qt headers.

#include <memory>
#include <string>

#include "platform/printers/Printers.h"
#include "platform/printers/VirtualPdfPrinter.h"

namespace upfold {

// Makes sure a QGuiApplication exists (see QtPrinters.h). Throws PrinterError when the
// program runs a non-graphical Qt application object instead.
void EnsureGuiApplication();

// A job on the system printer of that name.
std::unique_ptr<PrinterCanvas> StartSystemJob(const std::string& printerName,
                                              const PrintJobOptions& options);
// A job of the virtual PDF printer.
std::unique_ptr<PrinterCanvas> StartPdfJob(const VirtualPdfSettings& pdf,
                                           const PrintJobOptions& options);

}  // namespace upfold
