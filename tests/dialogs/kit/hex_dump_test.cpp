#include "dialogs/kit/hex_dump.h"

#include <gtest/gtest.h>

#include <numeric>

namespace quillet {
namespace {

TEST(HexDumpTest, RowsCoverEveryByteOnceWithAShortLastRow) {
  std::vector<uint8_t> bytes(33);
  std::iota(bytes.begin(), bytes.end(), uint8_t{0});
  HexDump dump;
  dump.SetBytes(bytes.data(), bytes.size());
  ASSERT_EQ(dump.RowCount(), 3u);
  EXPECT_EQ(dump.Row(0).size(), 16u);
  EXPECT_EQ(dump.Row(1)[0], 16);
  ASSERT_EQ(dump.Row(2).size(), 1u);
  EXPECT_EQ(dump.Row(2)[0], 32);
  EXPECT_TRUE(dump.Row(3).empty());
}

TEST(HexDumpTest, NewBytesReplaceTheOldAndEmptyShowsNoRow) {
  const uint8_t first[40] = {};
  HexDump dump;
  dump.SetBytes(first, sizeof first);
  dump.SetBytes(nullptr, 100);
  EXPECT_EQ(dump.RowCount(), 0u);
  EXPECT_TRUE(dump.Row(0).empty());
}

TEST(HexDumpTest, TextsOfOffsetsBytesAndCharacters) {
  EXPECT_EQ(HexOffsetText(0), "00000");
  EXPECT_EQ(HexOffsetText(0x3FFF0), "3FFF0");  // the last row of a 256 KB buffer
  EXPECT_EQ(HexOffsetText(0x100000), "100000");
  EXPECT_EQ(HexByteText(0x0A), "0A");
  EXPECT_EQ(HexByteText(0xFF), "FF");
  const uint8_t mixed[] = {'A', 'z', ' ', '~', 0x1F, 0x7F, 0x80, 0xFF, 0x00};
  EXPECT_EQ(HexAsciiText(mixed), "Az ~.....");
}

}  // namespace
}  // namespace quillet
