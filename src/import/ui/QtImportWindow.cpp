#include "import/ui/QtImportWindow.h"

#include <memory>

#include "app/WindowCreated.h"

namespace upfold {

QtImportWindow::QtImportWindow(AppContext& ctx, VantroDM& dm, ReportDevices devices,
                               QWidget* parent)
    : ctx_(ctx), dm_(dm), parent_(parent), devices_(devices) {}

bool QtImportWindow::Run(const ImportRequest& request) {
  ClearWindowCreated();
  auto window = std::make_unique<VantroF>(ctx_, dm_, devices_, parent_.data());
  if (!WindowCreated()) return false;
  window->SetRequest(request);
  if (onWindow) onWindow(window.get());
  window->exec();
  if (onWindow) onWindow(nullptr);
  return true;
}

}  // namespace upfold
