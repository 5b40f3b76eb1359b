#pragma once
// What every flow of the program works with: the suite's registry, the DOS file system, the
// clock, the person (Ui), the run-wide values and the regional date settings. The desktop
// program, upfold-import and tests each make one and hand it to the flows by reference.

#include "app/RunValues.h"
#include "platform/Locale.h"

namespace upfold {

class Registry;
class DosFs;
class Clock;
class Ui;

struct AppContext {
  Registry& registry;
  DosFs& fs;
  Clock& clock;
  Ui& ui;
  RunValues& values;
  DateFormats formats;
};

}  // namespace upfold
