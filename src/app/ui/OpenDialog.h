#pragma once
// Opening a dialog that is created for one showing.

#include <QDialog>
#include <functional>
#include <memory>

namespace upfold {

class Ui;

// The hourglass (or the arrow), the window-created flag cleared, the dialog made by create
// (which may hand it its values), shown modally only when its creation completed (the flag
// is set again), then freed; always ends with the arrow cursor. create may return null.
void OpenDialog(Ui& ui, bool hourglass,
                const std::function<std::unique_ptr<QDialog>()>& create);

}  // namespace upfold
