#include "core/catalogue/part_table.h"

#include <cstdint>

namespace quillet {
namespace {

struct NamedPartRow {
  uint32_t code;
  PartRow row;
};

// Per-part columns of every named and placeholder row; the columns that follow from code ranges
// are left zero here and filled from the tables below.
constexpr NamedPartRow kNamedRows[] = {
#include "core/catalogue/part_rows.inc"
};

struct FlagRange {
  bool PartRow::*column;
  uint32_t first;
  uint32_t last;
};

constexpr FlagRange kFlagRanges[] = {
    {&PartRow::FamilyFlagA, 36, 47},     {&PartRow::FamilyFlagB, 40, 51},
    {&PartRow::FamilyFlagB, 136, 147},   {&PartRow::FamilyFlagC, 132, 135},
    {&PartRow::KestraPart, 131, 131},    {&PartRow::IsCortexM0, 200, 1214},
    {&PartRow::BirchPart, 800, 849},     {&PartRow::CedarPart, 850, 899},
    {&PartRow::DuneFjordPart, 900, 999}, {&PartRow::DuneFjordPart, 1100, 1199},
    {&PartRow::EmberPart, 1000, 1099},   {&PartRow::HasDataFlash, 37, 47},
    {&PartRow::HasDataFlash, 110, 115},  {&PartRow::HasDataFlash, 117, 122},
    {&PartRow::HasDataFlash, 127, 130},  {&PartRow::HasDataFlash, 136, 143},
    {&PartRow::HasDataFlash, 200, 1214}, {&PartRow::HasLdrom, 136, 147},
    {&PartRow::HasLdrom, 200, 1214},
};

struct ByteRange {
  uint8_t PartRow::*column;
  uint32_t first;
  uint32_t last;
  uint8_t value;
};

constexpr ByteRange kByteRanges[] = {
    {&PartRow::ConfigByteCount, 110, 115, 2}, {&PartRow::ConfigByteCount, 117, 122, 2},
    {&PartRow::ConfigByteCount, 127, 130, 2}, {&PartRow::PartParam4, 200, 1214, 2},
    {&PartRow::PartParam8, 850, 899, 0xFF},   {&PartRow::PartParam8, 900, 999, 0xFF},
    {&PartRow::PartParam8, 1100, 1199, 0xFF},
};

using ClockTexts = std::array<std::string_view, 4>;

constexpr ClockTexts kClockXtal24{"External XTAL (4MHz~24MHz)", "Internal OSC (11/22MHz)", "(Invalid !)",
                                  "Clock from XTAL1"};
constexpr ClockTexts kClockXtal20{"External XTAL (4MHz~20MHz)", "Internal OSC (2.5/5/10/20MHz)",
                                  "(Invalid !)", "Clock from XTAL1"};
constexpr ClockTexts kClockLowPower{"External XTAL (4MHz~12MHz)", "Internal OSC (455KHz)",
                                    "External XTAL (32KHz~1MHz)", "Clock from XTAL1"};
constexpr ClockTexts kClockXtal40{"External XTAL (4MHz~40MHz)", "Internal OSC (11/22MHz)", "(Invalid !)",
                                  "Clock from XTAL1"};
constexpr ClockTexts kClock6MHz{"External XTAL (4MHz~20MHz)", "Internal OSC (6MHz)", "(Invalid !)",
                                "Clock from XTAL1"};
constexpr ClockTexts kClockPlaceholder{"-", "-", "-", "-"};

struct ClockRange {
  uint32_t first;
  uint32_t last;
  const ClockTexts& texts;
};

constexpr ClockRange kClockRanges[] = {
    {110, 113, kClockXtal24},      {119, 120, kClockXtal24},      {114, 115, kClockXtal20},
    {117, 118, kClockLowPower},    {121, 122, kClockXtal40},      {127, 130, kClock6MHz},
    {116, 116, kClockPlaceholder}, {123, 126, kClockPlaceholder}, {131, 131, kClockPlaceholder},
};

}  // namespace

const std::array<OldPartName, 5> kOldPartNames{{
    {"QMC(I)04A", "QMC04A"},
    {"QMC(I)08A", "QMC08A"},
    {"QMC(I)16A", "QMC16A"},
    {"QMD(I)08A", "QMD08A"},
    {"QMD(I)16A", "QMD16A"},
}};

std::vector<PartRow> BuildPartRows() {
  std::vector<PartRow> rows(kPartCount);
  for (const NamedPartRow& named : kNamedRows) rows[named.code] = named.row;
  for (const FlagRange& range : kFlagRanges) {
    for (uint32_t code = range.first; code <= range.last; ++code) rows[code].*range.column = true;
  }
  for (const ByteRange& range : kByteRanges) {
    for (uint32_t code = range.first; code <= range.last; ++code) rows[code].*range.column = range.value;
  }
  for (const ClockRange& range : kClockRanges) {
    for (uint32_t code = range.first; code <= range.last; ++code) rows[code].ClockTexts = range.texts;
  }
  return rows;
}

}  // namespace quillet
