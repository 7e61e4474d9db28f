#include "dialogs/kit/hex_dump.h"

#include <algorithm>
#include <cstdio>

namespace quillet {

void HexDump::SetBytes(const uint8_t* data, std::size_t size) {
  if (data == nullptr) size = 0;
  bytes_.assign(data, data + size);
}

std::span<const uint8_t> HexDump::Row(std::size_t row) const {
  if (row >= RowCount()) return {};
  const std::size_t start = row * kBytesPerRow;
  return std::span<const uint8_t>(bytes_).subspan(start, std::min(kBytesPerRow, bytes_.size() - start));
}

std::string HexOffsetText(std::size_t offset) {
  char text[24];
  std::snprintf(text, sizeof text, "%05zX", offset);
  return text;
}

std::string HexByteText(uint8_t byte) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return {kDigits[byte >> 4], kDigits[byte & 0x0F]};
}

std::string HexAsciiText(std::span<const uint8_t> bytes) {
  std::string text(bytes.size(), '.');
  std::transform(bytes.begin(), bytes.end(), text.begin(),
                 [](uint8_t b) { return b >= 0x20 && b < 0x7F ? static_cast<char>(b) : '.'; });
  return text;
}

}  // namespace quillet
