#include "platform/printers/QtPrinters.h"

#include <QPrinterInfo>
#include <QString>

#include "platform/printers/QtCanvas.h"

namespace upfold {

namespace {

std::string ToStd(const QString& text) { return text.toStdString(); }

class SystemPrinters final : public Printers {
 public:
  explicit SystemPrinters(VirtualPdfSettings pdf) : pdf_(std::move(pdf)) {}

  std::vector<std::string> Names() override {
    EnsureGuiApplication();
    std::vector<std::string> names;
    for (const QString& name : QPrinterInfo::availablePrinterNames()) {
      if (!IsVirtual(ToStd(name))) names.push_back(ToStd(name));
    }
    if (pdf_.enabled) names.push_back(kVirtualPdfPrinterName);
    return names;
  }

  std::string DefaultName() override {
    EnsureGuiApplication();
    std::string name = ToStd(QPrinterInfo::defaultPrinterName());
    if (name.empty() && pdf_.enabled) name = kVirtualPdfPrinterName;
    return name;
  }

  std::unique_ptr<PrinterCanvas> StartJob(const std::string& printerName,
                                          const PrintJobOptions& options) override {
    EnsureGuiApplication();
    if (IsVirtual(printerName)) return StartPdfJob(pdf_, options);
    return StartSystemJob(printerName, options);
  }

 private:
  // The virtual printer's name is reserved for it while it is enabled.
  bool IsVirtual(const std::string& name) const {
    return pdf_.enabled && name == kVirtualPdfPrinterName;
  }

  VirtualPdfSettings pdf_;
};

}  // namespace

std::unique_ptr<Printers> MakeSystemPrinters(VirtualPdfSettings pdf) {
  return std::make_unique<SystemPrinters>(std::move(pdf));
}

}  // namespace upfold
