#include "core/storage/packed_bcd.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

struct BcdCase {
  SplitDecimal value;
  PackedBcd bytes;
};

TEST(PackedBcd, BothWays) {
  for (const BcdCase& c : {
           BcdCase{{12345678, 90123456}, {0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x34, 0x56}},
           BcdCase{{0, 1}, {0, 0, 0, 0, 0, 0, 0, 0x01}},
           BcdCase{{0, 0}, {0, 0, 0, 0, 0, 0, 0, 0}},
           BcdCase{{99999999, 99999999}, {0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99}},
           BcdCase{{10, 20000000}, {0x00, 0x00, 0x00, 0x10, 0x20, 0x00, 0x00, 0x00}},
       }) {
    EXPECT_EQ(ToPackedBcd(c.value), c.bytes);
    EXPECT_EQ(FromPackedBcd(c.bytes), c.value);
  }
}

TEST(PackedBcd, NibblesAboveNineWeighInWithTheirValue) {
  const PackedBcd bytes{0, 0, 0, 0x0A, 0, 0, 0, 0xFF};
  EXPECT_EQ(FromPackedBcd(bytes), (SplitDecimal{10, 165}));
}

}  // namespace
}  // namespace quillet
