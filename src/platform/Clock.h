#pragma once
// Time as the program sees it: the millisecond tick count, waits and random digits.
// Injected everywhere so that tests never sleep for real.

#include <chrono>
#include <cstdint>
#include <random>

namespace upfold {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since an arbitrary start, like the Windows tick count.
  virtual std::uint64_t TickCount() = 0;
  virtual void Sleep(std::uint32_t milliseconds) = 0;
  // Wall-clock now, for time stamps and the working date's default.
  virtual std::chrono::system_clock::time_point Now() = 0;
  // A random digit 0..maxDigit inclusive.
  virtual int RandomDigit(int maxDigit) = 0;
};

class SystemClock final : public Clock {
 public:
  std::uint64_t TickCount() override;
  void Sleep(std::uint32_t milliseconds) override;
  std::chrono::system_clock::time_point Now() override;
  int RandomDigit(int maxDigit) override;

 private:
  std::mt19937 random_{std::random_device{}()};
};

// For tests: time moves only through Sleep and Advance; random digits come in turn from
// a fixed sequence.
class FakeClock final : public Clock {
 public:
  std::uint64_t TickCount() override { return ticks_; }
  void Sleep(std::uint32_t milliseconds) override;
  std::chrono::system_clock::time_point Now() override { return now_; }
  int RandomDigit(int maxDigit) override;

  void Advance(std::uint32_t milliseconds) { Sleep(milliseconds); }
  void SetNow(std::chrono::system_clock::time_point now) { now_ = now; }
  std::uint64_t TotalSlept() const { return slept_; }
  int nextDigit = 0;  // RandomDigit returns nextDigit % (maxDigit + 1), then increments it

 private:
  std::uint64_t ticks_ = 1'000'000;
  std::uint64_t slept_ = 0;
  std::chrono::system_clock::time_point now_{};
};

}  // namespace upfold
