#pragma once
// The system's printers (CUPS, through Qt's print support) followed by the virtual PDF
// printer when it is enabled. Printing needs a Qt GUI application object; when the program
// has none (a command-line program), one on the offscreen platform is made on first use and
// kept until the process ends.

#include <memory>

#include "platform/printers/Printers.h"
#include "platform/printers/VirtualPdfPrinter.h"

namespace upfold {

std::unique_ptr<Printers> MakeSystemPrinters(VirtualPdfSettings pdf);

}  // namespace upfold
