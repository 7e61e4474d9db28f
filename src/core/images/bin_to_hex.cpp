#include "core/images/bin_to_hex.h"

#include <algorithm>
#include <cstdio>

namespace quillet {
namespace {

constexpr std::size_t kRecordBytes = 16;

// ":" count, address, type, data, and the two's complement of their byte sum.
void AppendRecord(std::string& text, uint16_t address, uint8_t type, std::span<const uint8_t> data) {
  uint8_t sum = static_cast<uint8_t>(data.size() + (address >> 8) + (address & 0xFF) + type);
  char field[16];
  std::snprintf(field, sizeof field, ":%02X%04X%02X", static_cast<unsigned>(data.size()), address, type);
  text += field;
  for (uint8_t byte : data) {
    std::snprintf(field, sizeof field, "%02X", byte);
    text += field;
    sum = static_cast<uint8_t>(sum + byte);
  }
  std::snprintf(field, sizeof field, "%02X\r\n", static_cast<uint8_t>(-sum));
  text += field;
}

}  // namespace

std::string BinToHex(std::span<const uint8_t> bytes) {
  std::string text;
  text.reserve(bytes.size() / kRecordBytes * 45 + 64);
  for (std::size_t at = 0; at < bytes.size(); at += kRecordBytes) {
    if (at > 0 && at % 0x10000 == 0) {
      const uint8_t page[] = {static_cast<uint8_t>(at >> 24), static_cast<uint8_t>(at >> 16)};
      AppendRecord(text, 0, 0x04, page);
    }
    AppendRecord(text, static_cast<uint16_t>(at), 0x00,
                 bytes.subspan(at, std::min(kRecordBytes, bytes.size() - at)));
  }
  AppendRecord(text, 0, 0x01, {});
  return text;
}

}  // namespace quillet
