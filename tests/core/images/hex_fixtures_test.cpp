// HEX files written by the tools firmware is built with convert to exactly the bytes of those tools'
// own binary output (the files and their sources are in tests/data/hex; scripts/make_hex_fixtures.sh
// makes them again).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/report/recording_reporter.h"
#include "core/images/hex_to_bin.h"
#include "support/test_files.h"

namespace quillet {
namespace {

struct Fixture {
  const char* hex;
  const char* bin;
  uint8_t fill;  // what the tool's binary holds in gaps
};

TEST(HexFixtures, ConvertLikeTheToolsOwnBinaryOutput) {
  for (const Fixture& f : {Fixture{"gap_m0.hex", "gap_m0.bin", 0x00},     // objcopy, Cortex-M0, segment base
                           Fixture{"pulse51.ihx", "pulse51.bin", 0xFF},   // sdcc and makebin, 8051
                           Fixture{"srec_linear.hex", "srec.bin", 0x00},  // srec_cat, linear bases
                           Fixture{"srec_segment.hex", "srec.bin", 0x00}}) {  // srec_cat, segment bases
    SCOPED_TRACE(f.hex);
    const std::string folder = std::string(QUILLET_TEST_DATA) + "/hex/";
    const std::vector<uint8_t> text = test_support::ReadBytes(folder + f.hex);
    const std::vector<uint8_t> expected = test_support::ReadBytes(folder + f.bin);
    ASSERT_FALSE(text.empty());
    ASSERT_FALSE(expected.empty());
    VirtualClock clock;
    RecordingReporter reporter(clock);
    std::vector<uint8_t> image(kImageCapacity, 0x33);
    uint32_t size = 0;
    ASSERT_EQ(Hex_to_Bin(text, f.fill, std::span<uint8_t, kImageCapacity>(image.data(), kImageCapacity), size,
                         reporter),
              1);
    EXPECT_EQ(size, expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), image.begin()));
    EXPECT_TRUE(std::all_of(image.begin() + size, image.end(), [&](uint8_t b) { return b == f.fill; }));
  }
}

}  // namespace
}  // namespace quillet
