#include "core/sys/clock.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(VirtualClock, SleepAdvancesTimeAndLocalTimeInstantly) {
  VirtualClock clock;
  clock.Sleep(Millis(10'000));
  clock.Sleep(Millis(500));
  EXPECT_EQ(clock.Now(), Millis(10'500));
  const std::tm t = clock.LocalTime();
  EXPECT_EQ(t.tm_year, 111);
  EXPECT_EQ(t.tm_hour, 12);
  EXPECT_EQ(t.tm_sec, 10);
  clock.Advance(std::chrono::hours(13));  // rolls over to the next day
  EXPECT_EQ(clock.LocalTime().tm_mday, 8);
}

TEST(VirtualClock, KeepsMicrosecondsAndNeverGoesBack) {
  VirtualClock clock;
  for (int i = 0; i < 3; ++i) clock.Advance(Micros(87));
  EXPECT_EQ(clock.NowMicros(), Micros(261));
  EXPECT_EQ(clock.Now(), Millis(0));
  clock.AdvanceTo(Micros(1500));
  EXPECT_EQ(clock.Now(), Millis(1));
  clock.AdvanceTo(Micros(200));
  EXPECT_EQ(clock.NowMicros(), Micros(1500));
}

}  // namespace
}  // namespace quillet
