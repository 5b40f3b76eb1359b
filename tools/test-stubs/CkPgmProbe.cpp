// Runs the desktop layer and the conflicting-program check against the real X display:
//   upfold-ckpgm-probe --list                 one line per top-level window: class TAB children
//   upfold-ckpgm-probe --check CLASS LABEL ACTION [DIAG]
//                                             messages to standard output as "[kind] text"
//                                             (line breaks as \r); exit 1 when the check
//                                             reports a running program, 0 when not.

#include <cstdio>
#include <cstring>
#include <string>

#include "app/CkPgm.h"
#include "app/Ui.h"
#include "platform/Desktop.h"

namespace {

class PrintingUi final : public upfold::Ui {
 public:
  void Show(upfold::MessageKind kind, const std::string& text) override {
    static const char* const kNames[] = {"plain", "information", "warning", "error", "question"};
    std::string visible;
    for (char ch : text) visible += ch == '\r' ? std::string("\\r") : std::string(1, ch);
    std::printf("[%s] %s\n", kNames[static_cast<int>(kind)], visible.c_str());
  }
  upfold::Answer Ask(upfold::MessageKind kind, const std::string& text, upfold::Buttons) override {
    Show(kind, text);
    return upfold::Answer::No;
  }
  void HourglassCursor() override {}
  void ArrowCursor() override {}
  std::vector<std::string> OpenFiles(const upfold::OpenFilesRequest&) override { return {}; }
  void ProcessMessages() override {}
};

}  // namespace

int main(int argc, char** argv) {
  upfold::XDesktop desktop;
  if (argc == 2 && std::strcmp(argv[1], "--list") == 0) {
    upfold::EnumResult r = desktop.EnumWindows([](const upfold::TopLevelWindow& w) {
      std::printf("%s\t%d\n", w.className.c_str(), w.childCount);
      return true;
    });
    if (!r) std::fprintf(stderr, "%s\n", r.error.c_str());
    return r ? 0 : 2;
  }
  if ((argc == 5 || argc == 6) && std::strcmp(argv[1], "--check") == 0) {
    PrintingUi ui;
    return upfold::IsThisRunning(argv[2], argv[3], argv[4], ui, desktop, argc == 6 ? argv[5] : "")
               ? 1
               : 0;
  }
  std::fprintf(stderr, "usage: %s --list | --check CLASS LABEL ACTION [DIAG]\n", argv[0]);
  return 2;
}
