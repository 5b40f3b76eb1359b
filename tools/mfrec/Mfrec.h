#pragma once
// The record-file utility: create, load, dump and inspect data files by layout name.
// Exit status: 0 success, 1 a failure (a file error, bad input), 2 a usage error.

#include <iosfwd>
#include <string>
#include <vector>

namespace upfold::mfrec {

int RunMfrec(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
             std::ostream& err);

}  // namespace upfold::mfrec
