#pragma once
// A host installation in a temporary folder: its own registry file, drive C: mapped to
// <temp>/c with the program directory C:\MFW and the data directory C:\MFW\DATA.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "platform/DosFs.h"
#include "platform/Registry.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

namespace upfold::test {

inline constexpr const char* kDosDevicesKey =
    "\\System\\CurrentControlSet\\Control\\Session Manager\\DOS Devices";

class HostFixture : public ::testing::Test {
 protected:
  HostFixture() {
    std::filesystem::create_directories(dir / "c/MFW/DATA");
    registry.WriteString(Hive::LocalMachine, kDosDevicesKey, "C:", dir / "c");
    fs = std::make_unique<DosFs>(&registry);
  }

  // Makes a folder given as a path under drive C ("MFW/REPORTS").
  void MakeFolder(const std::string& underC) {
    std::filesystem::create_directories(dir / ("c/" + underC));
  }
  bool HostExists(const std::string& underC) const {
    return std::filesystem::exists(dir / ("c/" + underC));
  }

  TempDir dir;
  Registry registry{dir / "registry.reg"};
  std::unique_ptr<DosFs> fs;
  ScriptedUi ui;
};

}  // namespace upfold::test
