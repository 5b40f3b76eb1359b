#include "platform/Clock.h"

#include <thread>

namespace upfold {

std::uint64_t SystemClock::TickCount() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SystemClock::Sleep(std::uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::chrono::system_clock::time_point SystemClock::Now() { return std::chrono::system_clock::now(); }

int SystemClock::RandomDigit(int maxDigit) {
  return std::uniform_int_distribution<int>(0, maxDigit)(random_);
}

void FakeClock::Sleep(std::uint32_t milliseconds) {
  ticks_ += milliseconds;
  slept_ += milliseconds;
  now_ += std::chrono::milliseconds(milliseconds);
}

int FakeClock::RandomDigit(int maxDigit) { return nextDigit++ % (maxDigit + 1); }

}  // namespace upfold
