#pragma once
// Bit-by-bit descriptions of the CONFIG0 and CONFIG1 bytes of ICP 8051 parts: a part's
// Config0DescGroup and Config1DescGroup pick a group; the bit editor shows the texts and the per-part
// set-up clears the bits named "Reserved(0)".
#include <array>
#include <string_view>

namespace quillet {

struct BitText {
  std::string_view name;
  std::string_view zero;  // shown for bit value 0
  std::string_view one;   // shown for bit value 1
};

// Eight entries, bit 7 first (entry i describes bit 7 - i).
using BitTextGroup = std::array<BitText, 8>;

extern const std::array<BitTextGroup, 7> Config0BitTexts;
extern const std::array<BitTextGroup, 8> Config1BitTexts;

// The entry of bit 0..7 in a group; an all-empty entry when the group or bit is out of range.
const BitText& Config0BitText(unsigned group, unsigned bit);
const BitText& Config1BitText(unsigned group, unsigned bit);

constexpr std::string_view kReservedZeroBit = "Reserved(0)";  // a bit that must be 0

}  // namespace quillet
