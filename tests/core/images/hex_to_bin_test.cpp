// Intel HEX texts converted into an image: what each text gives (result, size, the bytes written
// over the fill byte, the debug message) is in tests/data/golden/hex_to_bin.txt.
#include "core/images/hex_to_bin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/report/recording_reporter.h"
#include "support/golden.h"

namespace quillet {
namespace {

struct Conversion {
  int result = 0;
  uint32_t size = 0;
  std::vector<uint8_t> image;
  std::vector<std::string> debug;
};

// Starts from size 1234 and an image of 0x5A: anything the conversion leaves alone shows.
Conversion Convert(const std::string& text, uint8_t fill) {
  VirtualClock clock;
  RecordingReporter reporter(clock);
  Conversion out{0, 1234, std::vector<uint8_t>(kImageCapacity, 0x5A), {}};
  const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  out.result = Hex_to_Bin(bytes, fill, std::span<uint8_t, kImageCapacity>(out.image.data(), kImageCapacity),
                          out.size, reporter);
  out.debug = reporter.Texts(ReportEvent::Kind::Debug);
  return out;
}

// "result, size, debug message; at ADDRESS: bytes" for every run of bytes that are not the fill.
std::string Describe(const Conversion& out, uint8_t fill) {
  std::string text = std::to_string(out.result) + ", size " + std::to_string(out.size);
  for (const std::string& message : out.debug) text += ", " + message;
  char part[16];
  for (std::size_t i = 0; i < out.image.size(); ++i) {
    if (out.image[i] == fill) continue;
    if (i == 0 || out.image[i - 1] == fill) text += (std::snprintf(part, sizeof part, "; at %zX:", i), part);
    text += (std::snprintf(part, sizeof part, " %02X", out.image[i]), part);
  }
  return text + "\n";
}

const std::string kEnd = ":00000001FF\n";

TEST(HexToBin, TextsGiveTheirImages) {
  const struct {
    const char* name;
    std::string text;
    uint8_t fill = 0x00;
  } cases[] = {
      {"only the end record", kEnd},
      {"data high in the area counts from 0", ":0401000001020304F1\n" + kEnd},
      {"linear base 0 is no base", ":020000040000FA\n:02000000AABB99\n" + kEnd},
      {"linear base 1", ":020000040001F9\n:02001000AABB89\n" + kEnd},
      {"linear base 3 reaches the last byte", ":020000040003F7\n:01FFFF0042BF\n" + kEnd},
      {"segment base 0x1000 is 0x10000", ":020000021000EC\n:0100200077E8\n" + kEnd},
      {"segment base not on 64 KB", ":020000020123D8\n:0100000011EE\n" + kEnd},
      {"a later base replaces the earlier one", ":020000040002F8\n:020000021000EC\n:0100000011EE\n" + kEnd},
      {"start address records change nothing",
       ":0400000300001234B3\n:0400000500000101F5\n:0100000099666\n" + kEnd},
      {"unknown type skips its data", ":0200000700FFAA00\n:0100010033CB\n" + kEnd},
      {"later record wins an overlap", ":03000000010203F7\n:0200010099AAFF\n" + kEnd},
      {"gaps hold the fill byte", ":0100000011EE\n:0100100022CD\n" + kEnd},
      {"gaps and the start hold a 0xFF fill", ":0100030011EE\n" + kEnd, 0xFF},
      {"no wrap at a 16-bit offset", ":04FFFE00A1A2A3A4FF\n" + kEnd},
      {"checksums are not verified", ":0100000042FF\n" + kEnd},
      {"type judged by its second digit", ":0100001055FF\n:0000003100\n:0100020066FF\n"},
      {"lower-case digits", ":0400fe00deadbeef00\n:00000001ff\n"},
      {"no line ends, text between records", ":0100000011EE junk ;:0100010022CC\r\n\r\n" + kEnd},
      {"nothing after the end record is read", ":0100000011EE\n" + kEnd + "garbage:zz"},
      {"empty data record moves nothing", ":020000040003F7\n:00FFFF0000\n" + kEnd},
      // Refused texts leave the size and only fill bytes.
      {"empty text", ""},
      {"blank line first", "\n:0100000011EE\n" + kEnd},
      {"byte-order mark first", "\xEF\xBB\xBF:0100000011EE\n" + kEnd},
      {"binary bytes", std::string("\x02\x00\x10\xFF", 4)},
      {"no end record", ":0100000011EE\n"},
      {"no end record, text ends right after the data", ":0100000011"},
      {"record cut in its header", ":0100000011EE\n:01000"},
      {"record cut in its data", ":0100000011EE\n:1000100001020304"},
      {"count larger than the line", ":0400000011EE\n:00000001FF\n"},
      {"bad digit in the data", ":02000000G1EE00\n" + kEnd},
      {"bad digit in the address", ":01 0000011EE\n" + kEnd},
      {"bad digit in a base", ":020000040X01F9\n" + kEnd},
      {"base record cut short", ":0200000400"},
      {"linear base 4", ":020000040004F6\n:0100000011EE\n" + kEnd},
      {"absolute flash address", ":020000040800F2\n:0100000011EE\n" + kEnd},
      {"record across the end of the buffer", ":020000040003F7\n:04FFFE0001020304F3\n" + kEnd},
      {"segment base beyond", ":02000002F000FC\n:0100000011EE\n" + kEnd},
  };
  std::string text;
  for (const auto& c : cases) text += std::string(c.name) + ": " + Describe(Convert(c.text, c.fill), c.fill);
  EXPECT_TRUE(test_support::MatchesGolden("hex_to_bin.txt", text));
}

// Random bytes after a ':' never read or write out of bounds (the sanitizer build checks the memory).
TEST(HexToBin, RandomTextsNeverCrash) {
  uint32_t seed = 12345;
  const auto next = [&seed] { return static_cast<uint8_t>((seed = seed * 1103515245u + 12345u) >> 16); };
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
