#pragma once
// The import command's results window on the desktop: TVantroF made for one import, shown
// modally over the main window and freed when it closes.

#include <QPointer>
#include <functional>

#include "import/ImportCommand.h"
#include "import/ResultsRun.h"
#include "import/ui/VantroF.h"

class QWidget;

namespace upfold {

struct AppContext;
class VantroDM;

class QtImportWindow final : public ImportWindow {
 public:
  // Everything given must outlive this object; parent may be null.
  QtImportWindow(AppContext& ctx, VantroDM& dm, ReportDevices devices, QWidget* parent);
  // Called with the window once it exists and again with null when it is gone; for tests and
  // for the screenshot of the results.
  std::function<void(VantroF*)> onWindow;

  bool Run(const ImportRequest& request) override;

 private:
  AppContext& ctx_;
  VantroDM& dm_;
  QPointer<QWidget> parent_;
  ReportDevices devices_;
};

}  // namespace upfold
