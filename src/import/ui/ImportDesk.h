#pragma once
// The import command on the desktop: the command of the main window's import button, menu
// item and import box, connected to the main window's logic.

#include "import/ImportCommand.h"

namespace upfold {

struct AppContext;
class MainView;
class UpfoldMain;
class VantroDM;

class ImportDesk {
 public:
  // Becomes the handler of MainCommand::Process, CancelProcess and RemoveListLine. Everything
  // given must outlive this object.
  ImportDesk(UpfoldMain& main, AppContext& ctx, VantroDM& dm, MainView& view,
             ImportServices services);
  ~ImportDesk();  // lets go of the handlers
  ImportDesk(const ImportDesk&) = delete;
  ImportDesk& operator=(const ImportDesk&) = delete;

  ImportCommand& Command() { return command_; }

 private:
  UpfoldMain& main_;
  ImportCommand command_;
};

}  // namespace upfold
