#include "app/CommandLine.h"

#include "platform/TextEncoding.h"

namespace upfold {

std::array<std::string, 6> StartParameters(int argc, const char* const* argv) {
  std::array<std::string, 6> parameters;
  for (int i = 1; i < argc && i <= 6; ++i) {
    if (argv[i] != nullptr) parameters[i - 1] = Utf8ToCp1252(argv[i]);
  }
  return parameters;
}

}  // namespace upfold
