#pragma once
// The main window over its logic, put together as the program does it (window first, then
// the creation steps), on a registry file of its own and a scripted Ui. The configuration
// reader stands in for the registry's: it gives the data path C:\MFW\DATA.

#include <array>
#include <string>

#include "app/UpfoldMain.h"
#include "app/ui/UpfoldF.h"
#include "platform/Registry.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

namespace upfold::test {

class MainWindowHarness {
 public:
  // Runs the creation steps unless create is false.
  explicit MainWindowHarness(const std::array<std::string, 6>& parameters, bool create = true);
  ~MainWindowHarness();

  // The control with this objectName; fails the test when there is none.
  template <typename T>
  T* Find(const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (found == nullptr) NoControl(name);
    return found;
  }

  TempDir dir;
  Registry registry{dir / "registry.reg"};
  ScriptedUi ui;
  UpfoldMain main;
  UpfoldF window;
  bool created = false;

 private:
  static void NoControl(const char* name);
};

}  // namespace upfold::test
