#pragma once
// The abort-type error of the data layer: an operation that cannot be done raises it with the
// whole message for the user; the caller decides whether and how to show it.

#include <stdexcept>

namespace upfold {

class AbortError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace upfold
