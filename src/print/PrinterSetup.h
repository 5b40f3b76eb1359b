#pragma once
// The printers of this installation: the system's printers and the virtual PDF printer as
// the host key configures it.
//
//   VirtualPdfPrinter  "N" (or "n") switches the virtual PDF printer off; on otherwise.
//   VirtualPdfFolder   where its PDF files go: a DOS path ("C:\MFW\PDF", mapped through the
//                      drive mapping) or a host path beginning with "/"; by default, and when
//                      the DOS path's drive is not mapped, DefaultVirtualPdfFolder().
//   VirtualPdfPaper    "A4" for A4 paper; Letter otherwise.
//
// The values are optional and read quietly: a registry that cannot be read gives the defaults.

#include <memory>

#include "platform/printers/Printers.h"
#include "platform/printers/VirtualPdfPrinter.h"

namespace upfold {

class DosFs;
class Registry;

VirtualPdfSettings ReadVirtualPdfSettings(const Registry& registry, const DosFs& fs);

std::unique_ptr<Printers> MakeInstalledPrinters(const Registry& registry, const DosFs& fs);

}  // namespace upfold
