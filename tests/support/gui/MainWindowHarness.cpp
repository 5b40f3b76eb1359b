#include "support/gui/MainWindowHarness.h"

#include <gtest/gtest.h>

#include "app/WindowCreated.h"

namespace upfold::test {

MainWindowHarness::MainWindowHarness(const std::array<std::string, 6>& parameters, bool create)
    : main(registry, ui, parameters), window(main) {
  ClearWindowCreated();
  main.SetConfigurationReader([](RunValues& values) {
    values.DataPath = "C:\\MFW\\DATA";
    return true;
  });
  if (create) created = main.Create();
}

MainWindowHarness::~MainWindowHarness() { ClearWindowCreated(); }

void MainWindowHarness::NoControl(const char* name) { ADD_FAILURE() << "no control " << name; }

}  // namespace upfold::test
