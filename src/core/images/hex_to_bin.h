#pragma once
// Intel HEX text to a flat image: a single pass from one record mark ':' to the next, without line
// splitting and without copying the text. Record checksums are not verified; the record type is
// judged by its second digit only ('0' data, '1' end, '2' segment base, '4' linear base, anything
// else skipped). The image size is the highest address written + 1.
//
// Beyond the classic converter, a text is refused ("Not Intel HEX Format !") when a field holds a
// character that is no hexadecimal digit, when a record is cut off by the end of the text, or when
// the text ends without an end record (a truncated file is far likelier than a deliberate one, and
// programming half an image is worse than refusing it). Lower-case digits read as their values. A
// data record that would write at or beyond 256 KB is refused with its address.
#include <cstdint>
#include <span>
#include <string>

#include "core/images/image_buffer.h"

namespace quillet {

class Reporter;

inline constexpr char kNotIntelHexMessage[] = "Not Intel HEX Format !";

// "Address 0x40000 of HEX file is out of range (> 0x3FFFF) !"
std::string HexAddressOutOfRangeMessage(uint64_t address);

// Fills `dest` with `fill`, then converts `text` into it. On success sets `size` and returns 1. On
// failure shows the reason in the "<Debug>" box, leaves `dest` all `fill` and `size` untouched, and
// returns 0.
int Hex_to_Bin(std::span<const uint8_t> text, uint8_t fill, std::span<uint8_t, kImageCapacity> dest,
               uint32_t& size, Reporter& reporter);

}  // namespace quillet
