#pragma once
// What the HEX conversion lets pass: records whose checksum, byte count or digits are wrong, or whose
// type is unknown, still convert as Load File always converted them (a wrong byte count even moves
// the checksum byte into the image). This scan walks the records the conversion reads, in the same
// jumps, and counts the damaged ones with the line of the first, so that a front end can warn or
// refuse instead of programming a damaged image in silence. It also notes the lowest address that
// a data record writes, since an image whose data starts above 0 is padded from 0.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace quillet {

enum class HexFault : uint8_t {
  kNone,
  kDigits,      // an odd number of digits, or a character that is no hexadecimal digit
  kByteCount,   // the byte count does not match the digits on the line
  kChecksum,    // the bytes do not sum to 0 modulo 256
  kRecordType,  // a type other than 00 to 05
};

struct HexScan {
  uint32_t damaged = 0;     // records with a fault
  uint32_t first_line = 0;  // line of the first damaged record, counted from 1
  HexFault first_fault = HexFault::kNone;
  std::string first_detail;                // "the checksum is 0x12, the record needs 0x34"
  std::optional<uint32_t> lowest_address;  // lowest address a data record writes

  bool Damaged() const { return damaged > 0; }
};

// Scans a text that Hex_to_Bin converts (a text it refuses gives a partial scan).
HexScan ScanHexText(std::span<const uint8_t> text);

// "3 HEX records are damaged, the first at line 7 !" ("1 HEX record is damaged, at line 7 !").
std::string HexDamageMessage(const HexScan& scan);

// "line 7: the checksum is 0x12, the record needs 0x34".
std::string HexDamageDetail(const HexScan& scan);

}  // namespace quillet
