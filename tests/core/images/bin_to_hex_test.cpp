// Read-back areas as Intel HEX: exact records for short areas, and every size read back whole by the
// program's own HEX reader, across a 64 KB page.
#include "core/images/bin_to_hex.h"

#include <gtest/gtest.h>

#include "core/images/hex_to_bin.h"
#include "core/report/recording_reporter.h"
#include "core/sys/clock.h"

namespace quillet {
namespace {

TEST(BinToHex, Records) {
  const std::vector<uint8_t> seventeen = {0x02, 0x00, 0x06, 0x75, 0x81, 0x07, 0x12, 0x00, 0x0B,
                                          0x80, 0xFE, 0x90, 0x00, 0x10, 0xE0, 0xFF, 0xA5};
  EXPECT_EQ(BinToHex({}), ":00000001FF\r\n");
  EXPECT_EQ(BinToHex(seventeen),
            ":1000000002000675810712000B80FE900010E0FFD1\r\n:01001000A54A\r\n:00000001FF\r\n");
}

TEST(BinToHex, ReadsBackWhole) {
  VirtualClock clock;
  RecordingReporter reporter(clock);
  for (uint32_t size : {1u, 16u, 0xFFFFu, 0x10000u, 0x10001u, 0x23400u}) {
    std::vector<uint8_t> area(size);
    for (uint32_t i = 0; i < size; ++i) area[i] = static_cast<uint8_t>(i * 13 + (i >> 16));
    const std::string text = BinToHex(area);
    std::vector<uint8_t> back(kImageCapacity);
    uint32_t got = 0;
    ASSERT_EQ(Hex_to_Bin({reinterpret_cast<const uint8_t*>(text.data()), text.size()}, 0xFF,
                         std::span<uint8_t, kImageCapacity>(back.data(), kImageCapacity), got, reporter),
              1);
    EXPECT_EQ(got, size);
    EXPECT_TRUE(std::equal(area.begin(), area.end(), back.begin())) << size;
  }
}

}  // namespace
}  // namespace quillet
