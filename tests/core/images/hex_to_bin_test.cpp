#include "core/images/hex_to_bin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/report/recording_reporter.h"

namespace quillet {
namespace {

using Kind = ReportEvent::Kind;

struct Conversion {
  int result = 0;
  uint32_t size = 0;
  std::vector<uint8_t> image;
  std::vector<std::string> debug;
};

Conversion Convert(const std::string& text, uint8_t fill = 0x00, uint32_t size_before = 0xDEAD) {
  VirtualClock clock;
  RecordingReporter reporter(clock);
  Conversion out;
  out.image.assign(kImageCapacity, 0x5A);  // anything the conversion leaves alone shows up as 0x5A
  out.size = size_before;
  const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  out.result = Hex_to_Bin(bytes, fill, std::span<uint8_t, kImageCapacity>(out.image.data(), kImageCapacity),
                          out.size, reporter);
  out.debug = reporter.Texts(Kind::Debug);
  return out;
}

// The image expected from a map of address -> bytes over a background of `fill`.
std::vector<uint8_t> Expected(const std::map<uint32_t, std::vector<uint8_t>>& writes, uint8_t fill = 0x00) {
  std::vector<uint8_t> image(kImageCapacity, fill);
  for (const auto& [address, bytes] : writes) std::copy(bytes.begin(), bytes.end(), image.begin() + address);
  return image;
}

const std::string kEnd = ":00000001FF\n";

struct GoodCase {
  const char* name;
  std::string text;
  uint32_t size;
  std::map<uint32_t, std::vector<uint8_t>> writes;
  uint8_t fill = 0x00;
};

TEST(HexToBin, ConvertsRecords) {
  const std::vector<GoodCase> cases = {
      {"only the end record", kEnd, 1, {}},
      {"data high in the area counts from 0", ":0401000001020304F1\n" + kEnd, 0x104, {{0x100, {1, 2, 3, 4}}}},
      {"linear base 0 is no base", ":020000040000FA\n:02000000AABB99\n" + kEnd, 2, {{0, {0xAA, 0xBB}}}},
      {"linear base 1", ":020000040001F9\n:02001000AABB89\n" + kEnd, 0x10012, {{0x10010, {0xAA, 0xBB}}}},
      {"linear base 3 reaches the last byte",
       ":020000040003F7\n:01FFFF0042BF\n" + kEnd,
       kImageCapacity,
       {{0x3FFFF, {0x42}}}},
      {"segment base 0x1000 is 0x10000",
       ":020000021000EC\n:0100200077E8\n" + kEnd,
       0x10021,
       {{0x10020, {0x77}}}},
      {"segment base not on 64 KB", ":020000020123D8\n:0100000011EE\n" + kEnd, 0x1231, {{0x1230, {0x11}}}},
      {"a later base replaces the earlier one",
       ":020000040002F8\n:020000021000EC\n:0100000011EE\n" + kEnd,
       0x10001,
       {{0x10000, {0x11}}}},
      {"start address records change nothing",
       ":0400000300001234B3\n:0400000500000101F5\n:0100000099666\n" + kEnd,
       1,
       {{0, {0x99}}}},
      {"unknown type skips its data", ":0200000700FFAA00\n:0100010033CB\n" + kEnd, 2, {{1, {0x33}}}},
      {"later record wins an overlap",
       ":03000000010203F7\n:0200010099AAFF\n" + kEnd,
       3,
       {{0, {0x01, 0x99, 0xAA}}}},
      {"gaps hold the fill byte",
       ":0100000011EE\n:0100100022CD\n" + kEnd,
       0x11,
       {{0, {0x11}}, {0x10, {0x22}}}},
      {"gaps and the start hold a 0xFF fill", ":0100030011EE\n" + kEnd, 4, {{3, {0x11}}}, 0xFF},
      {"no wrap at a 16-bit offset",
       ":04FFFE00A1A2A3A4FF\n" + kEnd,
       0x10002,
       {{0xFFFE, {0xA1, 0xA2, 0xA3, 0xA4}}}},
      {"checksums are not verified", ":0100000042FF\n" + kEnd, 1, {{0, {0x42}}}},
      {"type judged by its second digit", ":0100001055FF\n:0000003100\n:0100020066FF\n", 1, {{0, {0x55}}}},
      {"lower-case digits", ":0400fe00deadbeef00\n:00000001ff\n", 0x102, {{0xFE, {0xDE, 0xAD, 0xBE, 0xEF}}}},
      {"no line ends, text between records",
       ":0100000011EE junk ;:0100010022CC\r\n\r\n" + kEnd,
       2,
       {{0, {0x11, 0x22}}}},
      {"nothing after the end record is read", ":0100000011EE\n" + kEnd + "garbage:zz", 1, {{0, {0x11}}}},
      {"empty data record moves nothing", ":020000040003F7\n:00FFFF0000\n" + kEnd, 1, {}},
  };
  for (const GoodCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Conversion out = Convert(c.text, c.fill);
    EXPECT_EQ(out.result, 1);
    EXPECT_EQ(out.size, c.size);
    EXPECT_TRUE(out.debug.empty());
    EXPECT_TRUE(out.image == Expected(c.writes, c.fill));
  }
}

struct BadCase {
  const char* name;
  std::string text;
  std::string message;
};

TEST(HexToBin, RefusesMalformedTextsAndLeavesOnlyFillBytes) {
  const std::vector<BadCase> cases = {
      {"empty text", "", kNotIntelHexMessage},
      {"blank line first", "\n:0100000011EE\n" + kEnd, kNotIntelHexMessage},
      {"byte-order mark first", "\xEF\xBB\xBF:0100000011EE\n" + kEnd, kNotIntelHexMessage},
      {"binary bytes", std::string("\x02\x00\x10\xFF", 4), kNotIntelHexMessage},
      {"no end record", ":0100000011EE\n", kNotIntelHexMessage},
      {"no end record, text ends right after the data", ":0100000011", kNotIntelHexMessage},
      {"record cut in its header", ":0100000011EE\n:01000", kNotIntelHexMessage},
      {"record cut in its data", ":0100000011EE\n:1000100001020304", kNotIntelHexMessage},
      {"count larger than the line", ":0400000011EE\n:00000001FF\n", kNotIntelHexMessage},
      {"bad digit in the data", ":02000000G1EE00\n" + kEnd, kNotIntelHexMessage},
      {"bad digit in the address", ":01 0000011EE\n" + kEnd, kNotIntelHexMessage},
      {"bad digit in a base", ":020000040X01F9\n" + kEnd, kNotIntelHexMessage},
      {"base record cut short", ":0200000400", kNotIntelHexMessage},
      {"linear base 4", ":020000040004F6\n:0100000011EE\n" + kEnd, HexAddressOutOfRangeMessage(0x40000)},
      {"absolute flash address", ":020000040800F2\n:0100000011EE\n" + kEnd,
       HexAddressOutOfRangeMessage(0x8000000)},
      {"record across the end of the buffer", ":020000040003F7\n:04FFFE0001020304F3\n" + kEnd,
       HexAddressOutOfRangeMessage(0x40000)},
      {"segment base beyond", ":02000002F000FC\n:0100000011EE\n" + kEnd,
       HexAddressOutOfRangeMessage(0xF0000)},
  };
  for (const BadCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Conversion out = Convert(c.text, 0x00, 1234);
    EXPECT_EQ(out.result, 0);
    EXPECT_EQ(out.size, 1234u);
    EXPECT_EQ(out.debug, std::vector<std::string>{c.message});
    EXPECT_TRUE(out.image == Expected({}));
  }
}

// Random bytes after a ':' never read or write out of bounds (the sanitizer build checks the memory).
TEST(HexToBin, RandomTextsNeverCrash) {
  uint32_t seed = 12345;
  const auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return static_cast<uint8_t>(seed >> 16);
  };
  const std::string alphabet = "0123456789ABCDEFabcdef::\n\r ";
  for (int round = 0; round < 300; ++round) {
    std::string text = ":";
    const int length = next() % 200;
    for (int i = 0; i < length; ++i)
      text += round % 2 ? static_cast<char>(next()) : alphabet[next() % alphabet.size()];
    const Conversion out = Convert(text, 0xFF);
    if (out.result == 0) {
      EXPECT_TRUE(std::all_of(out.image.begin(), out.image.end(), [](uint8_t b) { return b == 0xFF; }));
    } else {
      EXPECT_LE(out.size, kImageCapacity);
    }
  }
}

}  // namespace
}  // namespace quillet
