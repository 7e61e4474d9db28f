#pragma once
// Time source for every protocol wait. Operations take a Clock& so that tests run the 500 ms and
// 10 s waits of the protocols in virtual time, instantly and deterministically.
#include <atomic>
#include <chrono>
#include <ctime>

namespace quillet {

using Millis = std::chrono::milliseconds;

class Clock {
 public:
  virtual ~Clock() = default;
  virtual void Sleep(Millis duration) = 0;
  // Monotonic time since an arbitrary origin.
  virtual Millis Now() const = 0;
  // Local wall-clock time, for the PASS and FAIL time stamps.
  virtual std::tm LocalTime() const = 0;
};

class SystemClock final : public Clock {
 public:
  void Sleep(Millis duration) override;
  Millis Now() const override;
  std::tm LocalTime() const override;
};

// Sleep advances the clock instead of waiting. LocalTime is a fixed date plus the elapsed time.
class VirtualClock : public Clock {
 public:
  void Sleep(Millis duration) override { Advance(duration); }
  Millis Now() const override { return Millis(now_ms_.load()); }
  std::tm LocalTime() const override;
  virtual void Advance(Millis duration) { now_ms_ += duration.count(); }
  void SetLocalTimeOrigin(const std::tm& origin) { origin_ = origin; }

 private:
  std::atomic<long long> now_ms_{0};
  std::tm origin_{0, 0, 12, 7, 2, 111, 0, 0, 0, 0, nullptr};  // 2011-03-07 12:00:00
};

}  // namespace quillet
