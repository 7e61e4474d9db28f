#include "core/config/config_bit_rules.h"

#include <array>
#include <span>

namespace quillet {
namespace {

using FourTexts = std::array<std::string_view, 4>;

// A text chosen by a field of CONFIG0/CONFIG1 for the part codes first..last.
struct DerivedTextRow {
  uint32_t first;
  uint32_t last;
  ConfigBits bits;
  FourTexts texts;  // by the field's value
};

// With FOSC1/FOSC0 = 01 (internal oscillator) these parts tell its frequency in CONFIG1.
constexpr FourTexts kFourFrequencies{"Internal OSC (2.5MHz)", "Internal OSC (10MHz)", "Internal OSC (5MHz)",
                                     "Internal OSC (20MHz)"};
constexpr FourTexts kTwoFrequencies{"Internal OSC (11.0592MHz)", "Internal OSC (22.1184MHz)"};
constexpr DerivedTextRow kPreciseClock[] = {
    {114, 115, {12, 2}, kFourFrequencies},
    {110, 113, {13, 1}, kTwoFrequencies},
    {119, 126, {13, 1}, kTwoFrequencies},
    {131, 131, {13, 1}, kTwoFrequencies},
};

// First match wins; the last row serves every other part.
constexpr DerivedTextRow kBrownoutVoltage[] = {
    {119, 120, {10, 2}, {"4.5V", "3.8V", "2.6V", "2.6V"}},
    {110, 113, {5, 2}, {"4.5V", "3.8V", "2.7V", "2.4V"}},
    {121, 122, {3, 2}, {"4.5V", "3.8V", "2.6V", "2.6V"}},
    {0, UINT32_MAX, {4, 1}, {"3.8V", "2.5V"}},
};

const DerivedTextRow* FindRow(std::span<const DerivedTextRow> rows, uint32_t part_code) {
  for (const DerivedTextRow& row : rows) {
    if (part_code >= row.first && part_code <= row.last) return &row;
  }
  return nullptr;
}

}  // namespace

std::string_view ClockSourceText(uint32_t part_code, const PartRow& part, const ConfigByteArray& bytes) {
  const uint32_t fosc = ReadConfigBits(bytes, {0, 2});
  const DerivedTextRow* precise = FindRow(kPreciseClock, part_code);
  if (fosc == 1 && precise) return precise->texts[ReadConfigBits(bytes, precise->bits)];
  return part.ClockTexts[fosc];
}

std::string_view BrownoutVoltageText(uint32_t part_code, const ConfigByteArray& bytes) {
  const DerivedTextRow& row = *FindRow(kBrownoutVoltage, part_code);
  return row.texts[ReadConfigBits(bytes, row.bits)];
}

}  // namespace quillet
