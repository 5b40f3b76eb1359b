#pragma once
// The top-level windows of the desktop, as the conflicting-program check sees them. The real
// one reads the X display; tests use a fixed list.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace upfold {

struct TopLevelWindow {
  std::string className;  // the class part of WM_CLASS ("TBraskF"); empty when there is none
  int childCount = 0;     // child windows of the program's own window
};

struct EnumResult {
  bool ok = true;
  std::string error;  // why the windows could not be listed
  explicit operator bool() const { return ok; }
};

class Desktop {
 public:
  virtual ~Desktop() = default;
  // Calls visit for each top-level window, topmost first, until visit returns false. Fails only
  // when the window list cannot be read; a desktop without windows is no failure.
  virtual EnumResult EnumWindows(const std::function<bool(const TopLevelWindow&)>& visit) = 0;
};

// The X display named by displayName, or by DISPLAY when it is empty. Each call connects
// afresh. No display (DISPLAY unset, no server) means no windows. Under a reparenting window
// manager the program's own window inside each frame (the one carrying WM_STATE) stands for
// the frame.
class XDesktop final : public Desktop {
 public:
  explicit XDesktop(std::string displayName = {}) : displayName_(std::move(displayName)) {}
  EnumResult EnumWindows(const std::function<bool(const TopLevelWindow&)>& visit) override;

 private:
  std::string displayName_;
};

// For tests: the listed windows in order, or a failure with the given text.
class FakeDesktop final : public Desktop {
 public:
  EnumResult EnumWindows(const std::function<bool(const TopLevelWindow&)>& visit) override {
    if (failure) return {false, *failure};
    ++enumerations;
    for (const TopLevelWindow& w : windows) {
      ++visited;
      if (!visit(w)) break;
    }
    return {};
  }

  std::vector<TopLevelWindow> windows;
  std::optional<std::string> failure;
  int enumerations = 0;
  int visited = 0;  // windows handed to visit, over all calls
};

}  // namespace upfold
