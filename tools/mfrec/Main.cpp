#include <iostream>
#include <string>
#include <vector>

#include "Mfrec.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  return upfold::mfrec::RunMfrec(args, std::cin, std::cout, std::cerr);
}
