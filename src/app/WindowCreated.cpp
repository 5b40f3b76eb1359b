#include "app/WindowCreated.h"

namespace upfold {

namespace {
// One user-interface thread: a plain flag is enough.
bool windowCreated = false;
}  // namespace

void SetWindowCreated() { windowCreated = true; }
void ClearWindowCreated() { windowCreated = false; }
bool WindowCreated() { return windowCreated; }

}  // namespace upfold
