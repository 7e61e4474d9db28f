#pragma once
// The rows of a hex dump: 16 bytes per row, each row with its offset, the bytes in hexadecimal and
// the bytes as characters. The view asks only for the rows it shows, so a 256 KB buffer costs no
// more to show than a 16-byte one.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quillet {

class HexDump {
 public:
  static constexpr std::size_t kBytesPerRow = 16;

  // Copies the bytes; what showed before is replaced.
  void SetBytes(const uint8_t* data, std::size_t size);

  std::size_t size() const { return bytes_.size(); }
  std::size_t RowCount() const { return (bytes_.size() + kBytesPerRow - 1) / kBytesPerRow; }
  // The bytes of a row: 16, fewer on the last row, none past the end.
  std::span<const uint8_t> Row(std::size_t row) const;

 private:
  std::vector<uint8_t> bytes_;
};

// Offset column: five hexadecimal digits (enough for 1 MB), more when the offset needs them.
std::string HexOffsetText(std::size_t offset);
// Two upper-case hexadecimal digits.
std::string HexByteText(uint8_t byte);
// Printable ASCII as itself, every other byte as '.'.
std::string HexAsciiText(std::span<const uint8_t> bytes);

}  // namespace quillet
