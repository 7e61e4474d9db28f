// How the chip's own CONFIG sizes an ICP read: the last APROM and DataFlash addresses, the DataFlash
// start, which areas are read, and the ends that fall outside the part's flash.
#include "core/operations/read_plan.h"

#include <gtest/gtest.h>

#include "core/catalogue/part_catalogue.h"

namespace quillet {
namespace {

// The chip's CONFIG in stored order from the fields the read looks at: K (CONFIG0's low byte, the
// eighth byte), an 8051's CONFIG1 (the seventh) and a Cortex-M0's DataFlash base (CONFIG1 bits 23..8,
// the second and third bytes).
std::array<uint8_t, 8> Chip(uint8_t k, uint8_t config1 = 0xFF, uint32_t dfba = 0xFFFF00) {
  return {0xFF, static_cast<uint8_t>(dfba >> 16), static_cast<uint8_t>(dfba >> 8), 0xFF, 0xFF, 0xFF, config1,
          k};
}

struct PlanCase {
  const char* part;
  std::array<uint8_t, 8> chip;
  uint32_t flash_end;
  int64_t aprom_last, data_flash_last;
  std::array<uint8_t, 2> start;
  bool data_flash, ldrom;
  std::string_view outside = "";
};

const PlanCase kPlans[] = {
    // DataFlash at 0x1E000 of 128 KB: 480 APROM blocks, 64 DataFlash blocks of 128 bytes.
    {"QVAL128LC", Chip(0xFE, 0xFF, 0x1E000), 0x20000, 0x1DFFF, 0x1FFF, {0x01, 0xE0}, true, true},
    // DataFlash off: all 128 KB are APROM.
    {"QVAL128LC", Chip(0xFF, 0xFF, 0x1E000), 0x20000, 0x1FFFF, 0x1FFF, {0x01, 0xE0}, false, true},
    // A base at the flash's end leaves no DataFlash to read.
    {"QVAL128LC", Chip(0xFE, 0xFF, 0x20000), 0x20000, 0x1FFFF, -1, {0x02, 0x00}, false, true},
    {"QVAL128LC", Chip(0xFE, 0xFF, 0x30000), 0x20000, 0x2FFFF, -0x10001, {0x03, 0x00}, false, true, "APROM"},
    {"QVAL128LC", Chip(0xFE, 0xFF, 0x00000), 0x20000, -1, 0x1FFFF, {0x00, 0x00}, true, true, "DataFlash"},
    // Erased CONFIG with DataFlash off: its end is only sent.
    {"QVAL128LC", Chip(0xFF), 0x20000, 0x1FFFF, -0xFDFF01, {0xFF, 0xFF}, false, true},
    // Ember with LDROM off (bit 2) and DataFlash off (bit 0).
    {"QEL141A", Chip(0xFF, 0xFF, 0x24000), 0x24400, 0x233FF, 0x3FF, {0x02, 0x40}, false, false},
    {"QEL141A", Chip(0xFA, 0xFF, 0x22000), 0x23400, 0x20FFF, 0x13FF, {0x02, 0x20}, true, true},
    {"QEL141A", Chip(0xFB, 0xFF, 0x22000), 0x23400, 0x223FF, 0x13FF, {0x02, 0x20}, false, true},
    // Cedar: the flash ends after its APROM.
    {"QVC004LB", Chip(0xFE, 0xFF, 0x800), 0x1000, 0x7FF, 0x7FF, {0x00, 0x08}, true, true},
    {"QVC004LB", Chip(0xFE, 0xFF, 0x100), 0x1000, 0xFF, 0xEFF, {0x00, 0x01}, true, true, "DataFlash"},
    {"QVAB032LB", Chip(0xFE), 0x20000, 0x7FFF, 0xFFF, {0x01, 0xF0}, true, true},
    // FamilyFlagB: 16 KB shared at the page CONFIG1 names.
    {"QTS16A", Chip(0xFE, 0x38), 0, 0x37FF, 0x7FF, {0x00, 0x38}, true, true},
    {"QTS16A", Chip(0xFF, 0xFF), 0, 0x3FFF, -0xBF01, {0x00, 0xFF}, false, true},
    {"QTS16A", Chip(0xFE, 0x41), 0, 0x40FF, -0x101, {0x00, 0x41}, true, true, "APROM"},
    {"QTS16A", Chip(0xFE, 0x00), 0, -1, 0x3FFF, {0x00, 0x00}, true, true, "DataFlash"},
    {"QTS16N", Chip(0xFE, 0x38), 0, 0x3FFF, -1, {0x00, 0x00}, false, true},
    // A plain 8051 part sends no CONFIG first; its sizes are the catalogue's.
    {"QMC04A", Chip(0x00, 0x00, 0), 0, 0xFFF, 0xFF, {0x00, 0x10}, true, false},
};

TEST(ReadPlan, ChipConfigSizesTheRead) {
  const PartCatalogue catalogue;
  for (const PlanCase& c : kPlans) {
    const auto code = catalogue.FindPartCode(c.part, 110, 1214);
    ASSERT_TRUE(code) << c.part;
    const PartRow& part = catalogue.Row(*code);
    const ReadPlan plan = PlanChipRead(part, c.chip);
    SCOPED_TRACE(std::string(c.part) + " K=" + std::to_string(c.chip[7]));
    EXPECT_EQ(plan.ConfigFirst, part.IsCortexM0 || part.FamilyFlagB);
    EXPECT_EQ(plan.FlashEnd, c.flash_end);
    EXPECT_EQ(plan.ApromLast, c.aprom_last);
    EXPECT_EQ(plan.DataFlashLast, c.data_flash_last);
    EXPECT_EQ(plan.DataFlashStart, c.start);
    EXPECT_EQ(plan.ReadDataFlash, c.data_flash);
    EXPECT_EQ(plan.ReadLdrom, c.ldrom);
    EXPECT_EQ(plan.OutsideArea, c.outside);
  }
}

TEST(ReadPlan, ConfigWidthsByPartKind) {
  const PartCatalogue catalogue;
  const struct {
    const char* part;
    int first, count;
  } kWidths[] = {
      {"QVAL128LC", 0, 8}, {"QEL141A", 0, 8}, {"QTS16A", 4, 4}, {"QTS16N", 4, 4}, {"QMC04A", 6, 2}};
  for (const auto& w : kWidths) {
    const ConfigSpan span = ConfigVerifySpan(catalogue.Row(*catalogue.FindPartCode(w.part, 110, 1214)));
    EXPECT_EQ(span.first, w.first) << w.part;
    EXPECT_EQ(span.count, w.count) << w.part;
  }
}

}  // namespace
}  // namespace quillet
