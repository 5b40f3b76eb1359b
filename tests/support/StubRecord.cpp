#include "support/StubRecord.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace upfold::test {

std::string StubProgram() {
  // The build folder holds the test programs one level down and tools/test-stubs/.
  const char* bin = std::getenv("UPFOLD_BINARY_DIR");
  const std::filesystem::path root =
      bin ? std::filesystem::path(bin)
          : std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path();
  return (root / "tools/test-stubs/upfold-stub-program").string();
}

StubRecord ReadStubRecord(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  StubRecord r;
  std::string item;
  // Items "key=value", each ended by a zero byte.
  while (std::getline(text, item, '\0')) {
    const std::string key = item.substr(0, item.find('='));
    const std::string value = item.substr(item.find('=') + 1);
    if (key == "arg") r.args.push_back(value);
    if (key == "show") r.show = value;
    if (key == "line") r.line = value;
    if (key == "cwd") r.cwd = value;
    if (key == "fd") r.fds.push_back(value);
  }
  return r;
}

}  // namespace upfold::test
