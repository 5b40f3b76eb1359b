#include "import/ui/ImportDesk.h"

#include "app/UpfoldMain.h"

namespace upfold {

ImportDesk::ImportDesk(UpfoldMain& main, AppContext& ctx, VantroDM& dm, MainView& view,
                       ImportServices services)
    : main_(main), command_(ctx, dm, view, std::move(services)) {
  main_.SetHandler(MainCommand::Process, [this] { command_.ProcessSBClick(); });
  main_.SetHandler(MainCommand::CancelProcess, [this] { command_.CancelProcessBBClick(); });
  main_.SetHandler(MainCommand::RemoveListLine, [this] { command_.ListBox1DblClick(); });
}

ImportDesk::~ImportDesk() {
  for (MainCommand command :
       {MainCommand::Process, MainCommand::CancelProcess, MainCommand::RemoveListLine})
    main_.SetHandler(command, nullptr);
}

}  // namespace upfold
