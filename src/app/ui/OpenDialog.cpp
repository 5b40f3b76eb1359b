#include "app/ui/OpenDialog.h"

#include "app/Ui.h"
#include "app/WindowCreated.h"

namespace upfold {

void OpenDialog(Ui& ui, bool hourglass,
                const std::function<std::unique_ptr<QDialog>()>& create) {
  if (hourglass)
    ui.HourglassCursor();
  else
    ui.ArrowCursor();
  ClearWindowCreated();
  std::unique_ptr<QDialog> dialog = create();
  if (dialog && WindowCreated()) dialog->exec();
  dialog.reset();
  ui.ArrowCursor();
}

}  // namespace upfold
