#include "core/sys/clock.h"

#include <thread>

namespace quillet {

void SystemClock::Sleep(Millis duration) {
  std::this_thread::sleep_for(duration);
}

Millis SystemClock::Now() const {
  return std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now().time_since_epoch());
}

Micros SystemClock::NowMicros() const {
  return std::chrono::duration_cast<Micros>(std::chrono::steady_clock::now().time_since_epoch());
}

std::tm SystemClock::LocalTime() const {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

std::tm VirtualClock::LocalTime() const {
  std::tm t = origin_;
  t.tm_sec += static_cast<int>(now_us_.load() / 1000000);
  timegm(&t);  // normalises the fields; the origin is taken as UTC so no zone shifts it
  return t;
}

}  // namespace quillet
