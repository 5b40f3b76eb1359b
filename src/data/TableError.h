#pragma once
// The failure of a table operation. Its message is one line, ready to be shown inside the
// caller's own message box: a record-manager failure reads "Btrieve error 12: The MicroKernel
// cannot find the specified file"; any other failure names the table ("RemoteTB: Field 'Foo'
// not found").

#include <stdexcept>
#include <string>

#include "recman/Status.h"

namespace upfold {

class TableError : public std::runtime_error {
 public:
  // A failure that is not the record manager's: Status() is 0.
  explicit TableError(const std::string& message) : std::runtime_error(message) {}
  // The record manager answered `status`.
  static TableError FromStatus(RmStatus status);

  // The record manager's status number, or 0.
  int Status() const { return status_; }

 private:
  TableError(const std::string& message, int status)
      : std::runtime_error(message), status_(status) {}
  int status_ = 0;
};

}  // namespace upfold
