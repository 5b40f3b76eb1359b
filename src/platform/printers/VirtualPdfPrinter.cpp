#include "platform/printers/VirtualPdfPrinter.h"

#include <cstdlib>

namespace upfold {

std::string DefaultVirtualPdfFolder() {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  std::string base;
  if (dataHome != nullptr && dataHome[0] == '/') {
    base = dataHome;
  } else {
    const char* home = std::getenv("HOME");
    base = std::string(home != nullptr && home[0] != '\0' ? home : "/tmp") + "/.local/share";
  }
  return base + "/marrowfield/pdf";
}

}  // namespace upfold
