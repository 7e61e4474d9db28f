#pragma once
// Time source for every protocol wait. Operations take a Clock& so that tests run the 500 ms and
// 10 s waits of the protocols in virtual time, instantly and deterministically.
#include <atomic>
#include <chrono>
#include <ctime>

namespace quillet {

using Millis = std::chrono::milliseconds;
using Micros = std::chrono::microseconds;

class Clock {
 public:
  virtual ~Clock() = default;
  virtual void Sleep(Millis duration) = 0;
  // Monotonic time since an arbitrary origin.
  virtual Millis Now() const = 0;
  // The same time at microsecond resolution, for wire traces and wire-time arithmetic.
  virtual Micros NowMicros() const { return Now(); }
  // Local wall-clock time, for the PASS and FAIL time stamps.
  virtual std::tm LocalTime() const = 0;
};

class SystemClock final : public Clock {
 public:
  void Sleep(Millis duration) override;
  Millis Now() const override;
  Micros NowMicros() const override;
  std::tm LocalTime() const override;
};

// Sleep advances the clock instead of waiting. LocalTime is a fixed date plus the elapsed time.
// Time is kept in microseconds so that simulated wire times (87 us a byte at 115200 baud) add up.
class VirtualClock : public Clock {
 public:
  void Sleep(Millis duration) override { Advance(duration); }
  Millis Now() const override { return std::chrono::duration_cast<Millis>(NowMicros()); }
  Micros NowMicros() const override { return Micros(now_us_.load()); }
  std::tm LocalTime() const override;
  virtual void Advance(Micros duration) { now_us_ += duration.count(); }
  // Moves the clock to `time` unless it is already later.
  void AdvanceTo(Micros time) {
    if (time > NowMicros()) Advance(time - NowMicros());
  }
  void SetLocalTimeOrigin(const std::tm& origin) { origin_ = origin; }

 private:
  std::atomic<long long> now_us_{0};
  std::tm origin_{0, 0, 12, 7, 2, 111, 0, 0, 0, 0, nullptr};  // 2011-03-07 12:00:00
};

}  // namespace quillet
