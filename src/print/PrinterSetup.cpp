#include "print/PrinterSetup.h"

#include "app/HostRegistry.h"
#include "data/FixedText.h"
#include "platform/DosFs.h"
#include "platform/Registry.h"
#include "platform/TextEncoding.h"
#include "platform/printers/QtPrinters.h"

namespace upfold {

namespace {

std::string HostValue(const Registry& registry, const char* name) {
  try {
    return Trim(registry.ReadString(Hive::LocalMachine, kHostKey, name).value_or(""));
  } catch (const RegistryError&) {
    return {};
  }
}

}  // namespace

VirtualPdfSettings ReadVirtualPdfSettings(const Registry& registry, const DosFs& fs) {
  VirtualPdfSettings settings;
  const std::string enabled = HostValue(registry, "VirtualPdfPrinter");
  settings.enabled = enabled.empty() || (enabled[0] != 'N' && enabled[0] != 'n');
  const std::string folder = HostValue(registry, "VirtualPdfFolder");
  if (!folder.empty() && folder[0] == '/') {
    settings.folder = Cp1252ToUtf8(folder);
  } else if (!folder.empty()) {
    settings.folder = fs.ToHost(folder).value_or("");
  }
  settings.paper =
      EqualsIgnoreAsciiCase(HostValue(registry, "VirtualPdfPaper"), "A4") ? PaperSize::A4
                                                                         : PaperSize::Letter;
  return settings;
}

std::unique_ptr<Printers> MakeInstalledPrinters(const Registry& registry, const DosFs& fs) {
  return MakeSystemPrinters(ReadVirtualPdfSettings(registry, fs));
}

}  // namespace upfold
