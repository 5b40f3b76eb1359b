// Every test program knows where the sources and the build are, also when it is started by
// hand rather than by CTest: the folders are built in, and the environment may override them.

#include <cstdlib>

namespace {

const bool kEnvironmentSet = [] {
  ::setenv("UPFOLD_SOURCE_DIR", UPFOLD_SOURCE_DIR_BUILT_IN, 0);
  ::setenv("UPFOLD_BINARY_DIR", UPFOLD_BINARY_DIR_BUILT_IN, 0);
  return true;
}();

}  // namespace
