#pragma once
// The bit-by-bit CONFIG editor of the other 8051 parts: its control ids, and the clock source and
// brown-out voltage it derives from CONFIG0 and CONFIG1 (rows keyed by part code).
#include <cstdint>
#include <string_view>

#include "core/catalogue/part_row.h"
#include "core/config/config_codec.h"

namespace quillet {

constexpr int kIdBitsTab = 1027;
constexpr int kIdBitsConfig0Label = 1070;  // "CONFIG0's Value:"
constexpr int kIdBitsConfig1Label = 1071;  // "CONFIG1's Value:"
constexpr int kIdBitsConfig0Value = 1078;
constexpr int kIdBitsConfig1Value = 1080;
constexpr int kIdBitsClockSource = 1172;  // read-only edit
constexpr int kIdBitsBrownout = 1173;     // read-only edit

// On a page (the CONFIG0 page is resource 135, the CONFIG1 page 136) bit b has a group box and two
// radio buttons, the first standing for 0 and the second for 1.
constexpr int BitGroupId(unsigned bit) {
  return 1028 + 3 * (7 - static_cast<int>(bit));
}
constexpr int BitZeroId(unsigned bit) {
  return BitGroupId(bit) + 1;
}
constexpr int BitOneId(unsigned bit) {
  return BitGroupId(bit) + 2;
}

// "Internal OSC (5MHz)", "External XTAL (4MHz~24MHz)", ...: the part's ClockTexts by FOSC1/FOSC0,
// made precise by the internal oscillator's frequency bits where the part has them.
std::string_view ClockSourceText(uint32_t part_code, const PartRow& part, const ConfigByteArray& bytes);

// "2.7V", "3.8V", ...: the brown-out voltage by the part's voltage bits.
std::string_view BrownoutVoltageText(uint32_t part_code, const ConfigByteArray& bytes);

}  // namespace quillet
