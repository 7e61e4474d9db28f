#pragma once
// Packed BCD form of a 16-digit decimal number held as two 8-digit halves: eight bytes, two digits
// each with the more significant digit in the high nibble, the high half's bytes first. GUI.LOG,
// project files and the Programmer's serial-number block all use it.
#include <array>
#include <cstdint>
#include <span>

#include "core/job/job_settings.h"

namespace quillet {

using PackedBcd = std::array<uint8_t, 8>;

PackedBcd ToPackedBcd(SplitDecimal value);
// Takes each nibble as a digit value, as the Programmer and old files do: a nibble above 9 is not
// refused, it just weighs in with its value (0xA0 reads as 100 in that position).
SplitDecimal FromPackedBcd(std::span<const uint8_t, 8> bytes);

}  // namespace quillet
