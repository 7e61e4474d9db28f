#include "core/images/hex_damage.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace quillet {
namespace {

// Fields by position from the ':', as the conversion reads them.
constexpr std::size_t kTypeAt = 8;
constexpr std::size_t kDataAt = 9;
// Count, two offset bytes, type and checksum: the digits of a record without data.
constexpr std::size_t kFrameDigits = 10;
constexpr unsigned kLastKnownType = 5;

int DigitValue(uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Two digits as a byte, or a value above 0xFF when either is no digit.
unsigned PairAt(const uint8_t* p) {
  const int high = DigitValue(p[0]);
  const int low = DigitValue(p[1]);
  return high < 0 || low < 0 ? 0x100 : static_cast<unsigned>(high << 4 | low);
}

bool IsLineEnd(std::span<const uint8_t> text, std::size_t i) {
  return text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'));
}

std::string Format(const char* format, unsigned a, unsigned b = 0) {
  char text[96];
  std::snprintf(text, sizeof text, format, a, b);
  return text;
}

struct Verdict {
  HexFault fault = HexFault::kNone;
  std::string detail;
};

// Judges the record whose digits are `digits` (the line after the ':', trailing blanks cut).
Verdict Judge(std::span<const uint8_t> digits) {
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (DigitValue(digits[i]) < 0)
      return {HexFault::kDigits,
              "'" + std::string(1, static_cast<char>(digits[i])) + "' is no hexadecimal digit"};
  }
  const std::size_t n = digits.size();
  if (n % 2 != 0 || n < kFrameDigits)
    return {HexFault::kDigits, Format(n % 2 != 0 ? "the record has %u digits, an odd number"
                                                 : "the record has %u digits, too few for a record",
                                      static_cast<unsigned>(n))};
  const unsigned count = PairAt(digits.data());
  const unsigned holds = static_cast<unsigned>((n - kFrameDigits) / 2);
  if (holds != count)
    return {HexFault::kByteCount, Format("the byte count says %u, the line holds %u bytes", count, holds)};
  unsigned sum = 0;
  for (std::size_t i = 0; i + 2 < n; i += 2) sum += PairAt(digits.data() + i);
  const unsigned needed = (0x100 - (sum & 0xFF)) & 0xFF;
  const unsigned stored = PairAt(digits.data() + n - 2);
  if (stored != needed)
    return {HexFault::kChecksum, Format("the checksum is 0x%02X, the record needs 0x%02X", stored, needed)};
  const unsigned type = PairAt(digits.data() + 6);
  if (type > kLastKnownType) return {HexFault::kRecordType, Format("record type %02X is unknown", type)};
  return {};
}

// The digits of the record at `at`: up to the line end or the next record mark, trailing blanks cut.
std::span<const uint8_t> RecordDigits(std::span<const uint8_t> text, std::size_t at) {
  std::size_t end = at + 1;
  while (end < text.size() && text[end] != '\r' && text[end] != '\n' && text[end] != ':') ++end;
  while (end > at + 1 && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  return text.subspan(at + 1, end - at - 1);
}

}  // namespace

HexScan ScanHexText(std::span<const uint8_t> text) {
  HexScan scan;
  if (text.empty() || text[0] != ':') return scan;
  const std::size_t length = text.size();
  uint32_t base = 0;
  uint32_t line = 1;
  std::size_t counted = 0;  // line ends are counted up to here
  std::size_t at = 0;       // the current record's ':'
  for (;;) {
    for (; counted < at; ++counted) line += IsLineEnd(text, counted) ? 1 : 0;
    if (length - at <= kTypeAt) return scan;
    const uint8_t* record = text.data() + at;
    const unsigned count = PairAt(record + 1);
    const unsigned offset = PairAt(record + 3) << 8 | PairAt(record + 5);
    if (count > 0xFF || offset > 0xFFFF) return scan;
    if (const Verdict verdict = Judge(RecordDigits(text, at)); verdict.fault != HexFault::kNone) {
      if (scan.damaged++ == 0) {
        scan.first_line = line;
        scan.first_fault = verdict.fault;
        scan.first_detail = verdict.detail;
      }
    }
    const std::size_t data_end = kDataAt + 2 * count;
    switch (record[kTypeAt]) {
      case '1':
        return scan;
      case '0':
        if (count > 0)
          scan.lowest_address = std::min(scan.lowest_address.value_or(UINT32_MAX), base + offset);
        break;
      case '4':
      case '2': {
        if (length - at < kDataAt + 4) return scan;
        const unsigned value = PairAt(record + kDataAt) << 8 | PairAt(record + kDataAt + 2);
        if (value > 0xFFFF) return scan;
        base = record[kTypeAt] == '4' ? value << 16 : value << 4;
        break;
      }
      default:
        break;
    }
    const std::size_t from = at + data_end;
    if (from >= length) return scan;
    const void* mark = std::memchr(text.data() + from, ':', length - from);
    if (mark == nullptr) return scan;
    at = static_cast<std::size_t>(static_cast<const uint8_t*>(mark) - text.data());
  }
}

std::string HexDamageMessage(const HexScan& scan) {
  if (scan.damaged == 1) return Format("1 HEX record is damaged, at line %u !", scan.first_line);
  return Format("%u HEX records are damaged, the first at line %u !", scan.damaged, scan.first_line);
}

std::string HexDamageDetail(const HexScan& scan) {
  return Format("line %u: ", scan.first_line) + scan.first_detail;
}

}  // namespace quillet
