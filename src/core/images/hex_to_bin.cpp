#include "core/images/hex_to_bin.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "core/report/reporter.h"

namespace quillet {
namespace {

constexpr uint8_t kNoDigit = 0xFF;

constexpr std::array<uint8_t, 256> kDigitValues = [] {
  std::array<uint8_t, 256> table{};
  table.fill(kNoDigit);
  for (int c = '0'; c <= '9'; ++c) table[c] = static_cast<uint8_t>(c - '0');
  for (int c = 'A'; c <= 'F'; ++c) table[c] = static_cast<uint8_t>(c - 'A' + 10);
  for (int c = 'a'; c <= 'f'; ++c) table[c] = static_cast<uint8_t>(c - 'a' + 10);
  return table;
}();

// Two hex digits at `p` as a byte, or a value above 0xFF when either is no digit.
inline unsigned PairAt(const uint8_t* p) {
  const unsigned high = kDigitValues[p[0]];
  const unsigned low = kDigitValues[p[1]];
  return (high | low) > 0x0F ? 0x100 : (high << 4) | low;
}

// Record fields by position from the ':'.
constexpr std::size_t kTypeAt = 8;
constexpr std::size_t kDataAt = 9;

}  // namespace

std::string HexAddressOutOfRangeMessage(uint64_t address) {
  char text[96];
  std::snprintf(text, sizeof text, "Address 0x%llX of HEX file is out of range (> 0x%X) !",
                static_cast<unsigned long long>(address), kImageCapacity - 1);
  return text;
}

int Hex_to_Bin(std::span<const uint8_t> text, uint8_t fill, std::span<uint8_t, kImageCapacity> dest,
               uint32_t& size, Reporter& reporter) {
  std::fill(dest.begin(), dest.end(), fill);
  const auto fail = [&](const std::string& message) {
    reporter.DebugText(message);
    std::fill(dest.begin(), dest.end(), fill);
    return 0;
  };
  if (text.empty() || text[0] != ':') return fail(kNotIntelHexMessage);

  const uint8_t* const begin = text.data();
  const std::size_t length = text.size();
  uint32_t base = 0;
  uint32_t highest = 0;
  std::size_t at = 0;  // the current record's ':'
  for (;;) {
    if (length - at <= kTypeAt) return fail(kNotIntelHexMessage);
    const uint8_t* record = begin + at;
    const unsigned count = PairAt(record + 1);
    const unsigned offsetHigh = PairAt(record + 3);
    const unsigned offsetLow = PairAt(record + 5);
    if ((count | offsetHigh | offsetLow) > 0xFF) return fail(kNotIntelHexMessage);
    const std::size_t dataEnd = kDataAt + 2 * count;  // from the ':'
    const uint32_t address = base + (offsetHigh << 8 | offsetLow);

    switch (record[kTypeAt]) {
      case '1':
        size = highest + 1;
        return 1;
      case '0': {
        if (length - at < dataEnd) return fail(kNotIntelHexMessage);
        if (count == 0) break;
        if (uint64_t{address} + count > kImageCapacity)
          return fail(HexAddressOutOfRangeMessage(std::max<uint64_t>(address, kImageCapacity)));
        uint8_t* out = dest.data() + address;
        const uint8_t* in = record + kDataAt;
        unsigned bad = 0;
        for (unsigned i = 0; i < count; ++i, in += 2) {
          const unsigned value = PairAt(in);
          bad |= value;
          out[i] = static_cast<uint8_t>(value);
        }
        if (bad > 0xFF) return fail(kNotIntelHexMessage);
        highest = std::max(highest, address + count - 1);
        break;
      }
      case '4':
      case '2': {
        if (length - at < kDataAt + 4) return fail(kNotIntelHexMessage);
        const unsigned high = PairAt(record + kDataAt);
        const unsigned low = PairAt(record + kDataAt + 2);
        if ((high | low) > 0xFF) return fail(kNotIntelHexMessage);
        const uint32_t value = high << 8 | low;
        base = record[kTypeAt] == '4' ? value << 16 : value << 4;
        break;
      }
      default:  // start addresses and unknown types: their data is skipped
        break;
    }

    // On to the next record mark, past this record's data, checksum and line end.
    const std::size_t from = at + dataEnd;
    if (from >= length) return fail(kNotIntelHexMessage);
    const void* mark = std::memchr(begin + from, ':', length - from);
    if (mark == nullptr) return fail(kNotIntelHexMessage);
    at = static_cast<std::size_t>(static_cast<const uint8_t*>(mark) - begin);
  }
}

}  // namespace quillet
