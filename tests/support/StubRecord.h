#pragma once
// The argument-recording stub of tools/test-stubs: where it is built, and what it wrote to the
// file named by UPFOLD_STUB_RECORD when it ran.

#include <string>
#include <vector>

namespace upfold::test {

// Host path of the stub program in the build folder.
std::string StubProgram();

struct StubRecord {
  std::vector<std::string> args;  // its arguments, as the program received them
  std::string show;               // the window hint
  std::string line;               // the command line it was given
  std::string cwd;
  std::vector<std::string> fds;   // descriptors open besides the standard three
};

StubRecord ReadStubRecord(const std::string& path);

}  // namespace upfold::test
