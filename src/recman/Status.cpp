#include "recman/Status.h"

#include <array>
#include <utility>

namespace upfold {

namespace {

// The record manager's own descriptions of the statuses this layer returns.
constexpr std::array<std::pair<int, const char*>, 35> kTexts{{
    {0, "The operation was successful"},
    {1, "The operation parameter is invalid"},
    {2, "The application encountered an I/O error"},
    {3, "The file is not open"},
    {4, "The application cannot find the key value"},
    {5, "The record has a key field containing a duplicate key value"},
    {6, "The key number parameter is invalid"},
    {7, "The key number has changed"},
    {8, "The current positioning is invalid"},
    {9, "The operation encountered the end-of-file"},
    {11, "The specified filename is invalid"},
    {12, "The MicroKernel cannot find the specified file"},
    {18, "The disk is full"},
    {20, "The MicroKernel or Btrieve Requester is inactive"},
    {21, "The key buffer parameter is too short"},
    {22, "The data buffer parameter is too short"},
    {24, "The page size or data buffer size is invalid"},
    {25, "The application cannot create the specified file"},
    {26, "The number of keys specified is invalid"},
    {27, "The key position is invalid"},
    {28, "The record length is invalid"},
    {29, "The key length is invalid"},
    {30, "The file specified is not a MicroKernel file"},
    {36, "The application encountered a transaction error"},
    {37, "Another transaction is active"},
    {39, "A Begin Transaction operation must precede an End/Abort Transaction operation"},
    {41, "The MicroKernel does not allow the attempted operation"},
    {43, "The specified record address is invalid"},
    {45, "The specified key flags are invalid"},
    {46, "Access to the requested file is denied"},
    {59, "The specified file already exists"},
    {80, "The MicroKernel encountered a record-level conflict"},
    {84, "The record or page is locked"},
    {85, "The file is locked"},
    {88, "The application encountered an incompatible mode error"},
}};

}  // namespace

const char* StatusText(int status) {
  for (const auto& [number, text] : kTexts)
    if (number == status) return text;
  return "";
}

}  // namespace upfold
