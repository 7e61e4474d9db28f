#pragma once
// A flat area as Intel HEX text: data records of 16 bytes from the area's offset 0, a linear base
// record (type 04) before each 64 KB page above the first, and the end record. Lines end in "\r\n",
// as the HEX files the program reads usually do.
#include <cstdint>
#include <span>
#include <string>

namespace quillet {

std::string BinToHex(std::span<const uint8_t> bytes);

}  // namespace quillet
