#include "app/CkPgm.h"

#include <exception>

#include "app/Ui.h"
#include "data/FixedText.h"
#include "platform/Desktop.h"
#include "platform/TextEncoding.h"

namespace upfold {

bool CollectWindowClass(const TopLevelWindow& window, WindowClassTable& table) {
  if (window.childCount <= 0) return true;
  std::string name = window.className.substr(0, WindowClassTable::kMaxClassLength);
  if (static_cast<std::size_t>(table.count) < WindowClassTable::kCapacity) {
    table.entries[table.count++] = std::move(name);
    return true;
  }
  if (EqualsIgnoreAsciiCase(Trim(name), table.wanted)) {
    table.wantedPastCapacity = true;
    return false;
  }
  return true;
}

bool IsThisRunning(const std::string& windowClass, const std::string& programLabel,
                   const std::string& action, Ui& ui, Desktop& desktop,
                   const std::string& diagSwitch) {
  try {
    WindowClassTable table;
    table.wanted = windowClass;
    EnumResult listed = desktop.EnumWindows(
        [&table](const TopLevelWindow& window) { return CollectWindowClass(window, table); });
    if (!listed) {
      ui.Error(listed.error + "\r\rUnable to run EnumWindows in CkPgm.\r\r" + kContactLine);
      return true;
    }

    bool trace = EqualsIgnoreAsciiCase(diagSwitch, "R");
    bool found = false;
    for (int i = 0; i < table.count && !found; ++i) {
      std::string entry = Trim(table.entries[i]);
      if (trace)
        ui.Plain("In IsThisRunning /RowCount=" + std::to_string(table.count) + " " + entry + " " +
                 windowClass);
      found = EqualsIgnoreAsciiCase(entry, windowClass);
    }
    if (!found && !table.wantedPastCapacity) return false;
    ui.Information(programLabel + " is running. You must close it before running " + action + ".");
    return true;
  } catch (const std::exception& e) {
    ui.Error(std::string(e.what()) + "\r\rUnable to check if other programs are running." +
             kContactLine);
    return true;
  }
}

bool IsConflictingProgramRunning(const std::string& action, Ui& ui, Desktop& desktop,
                                 const std::string& diagSwitch) {
  return IsThisRunning("TBraskF", "Transaction entry/alter", action, ui, desktop, diagSwitch) ||
         IsThisRunning("TKelvoF", "Generic Import", action, ui, desktop, diagSwitch);
}

}  // namespace upfold
