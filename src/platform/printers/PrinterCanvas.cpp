#include "platform/printers/PrinterCanvas.h"

namespace upfold {

int PrinterCanvas::PointHeight(int points) const {
  // Rounded as the Windows MulDiv rounds, half away from zero.
  const long long scaled = static_cast<long long>(points) * Resolution();
  const long long rounded = scaled >= 0 ? (scaled + 36) / 72 : (scaled - 36) / 72;
  return -static_cast<int>(rounded);
}

}  // namespace upfold
