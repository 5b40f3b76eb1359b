#include "data/TableError.h"

namespace upfold {

TableError TableError::FromStatus(RmStatus status) {
  const int number = StatusNumber(status);
  std::string message = "Btrieve error " + std::to_string(number);
  const std::string text = StatusText(number);
  if (!text.empty()) message += ": " + text;
  return TableError(message, number);
}

}  // namespace upfold
