#pragma once
// The process-wide window-created flag. A window sets it as the last step of its creation and
// clears it in its first activation; whoever opens a dialog clears it first and shows the
// dialog only when it is set once the dialog exists, so a dialog whose set-up stopped early is
// never shown. The main window uses it to recognise its own first activation.

namespace upfold {

void SetWindowCreated();
void ClearWindowCreated();
bool WindowCreated();

}  // namespace upfold
