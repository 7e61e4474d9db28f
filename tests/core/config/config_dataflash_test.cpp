// The DataFlash size control of the CONFIG editors, the choices with side effects, view mode, the
// bit-by-bit editor, and the DataFlash a spin position gives checked by the image size checks.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/config/config_editor.h"
#include "core/images/size_checks.h"
#include "core/report/recording_reporter.h"

namespace quillet {
namespace {

// 8051 CONFIG bytes 0..3, or the Cortex-M0 CONFIG0 and CONFIG1 words, as the stored bytes.
ConfigByteArray Bytes8051(uint8_t c0, uint8_t c1, uint8_t c2 = 0xFF, uint8_t c3 = 0xFF) {
  return {0xFF, 0xFF, 0xFF, 0xFF, c3, c2, c1, c0};
}
ConfigByteArray BytesCortex(uint32_t config0, uint32_t config1) {
  ConfigByteArray bytes{};
  PutConfigWord(bytes, kLowWordByte, config0);
  PutConfigWord(bytes, kHighWordByte, config1);
  return bytes;
}

constexpr int kScroll = 100000;  // an action kScroll + n scrolls to n; others click that id

TEST(ConfigDataFlash, SpinClicksAndSideEffects) {
  const PartCatalogue catalogue;
  const struct {
    const char* what;
    uint32_t code;
    ConfigByteArray bytes;
    uint16_t slider;
    std::vector<int> actions;
    std::vector<int> results;
    ConfigByteArray after;
    uint16_t slider_after;
    const char *size, *start;
  } cases[] = {
      // clang-format off
      {"Cortex position 8", 330, BytesCortex(0xFFFFFFFE, ~0u), 1, {kScroll + 8}, {1},
       BytesCortex(0xFFFFFFFE, 0x1F000), 8, "4.0 KB", "0x0001F000"},
      {"Cortex position 0 is 1", 330, BytesCortex(0xFFFFFFFE, 0), 9, {kScroll + 0}, {1},
       BytesCortex(0xFFFFFFFE, 0x1FE00), 1, "0.5 KB", "0x0001FE00"},
      {"Cortex spin off while DataFlash off", 330, BytesCortex(~0u, 0), 9, {kScroll + 2}, {0},
       BytesCortex(~0u, 0), 9, "4.5 KB", "0x00000000"},
      {"Cortex fixed DataFlash", 200, BytesCortex(~0u, 0), 0, {1170, 1169, kScroll + 1}, {1, 0, 0},
       BytesCortex(~0u, 0), 0, "4 KB", "0x0001F000"},
      {"Dune 32 KB position 1", 900, BytesCortex(0xFFFFFFFE, 0), 3, {kScroll + 1, kScroll + 64}, {1, 0},
       BytesCortex(0xFFFFFFFE, 0x7E00), 1, "0.5 KB", "0x00007E00"},
      {"Cedar Enable with 10 changes nothing", 850, BytesCortex(0xFFDFFFFF, 0x200), 7, {1159}, {1},
       BytesCortex(0xFFDFFFFF, 0x200), 7, "3.5 KB", "0x00000200"},
      {"Cedar Disable then Enable", 850, BytesCortex(0xFFDFFFFF, 0x200), 7, {1158, 1159}, {1, 1},
       BytesCortex(0xFFBFFFFF, 0x200), 7, "3.5 KB", "0x00000200"},
      {"Ember LDROM disable raises CONFIG1", 1000, BytesCortex(0xFFFFFFFA, 0x1F400), 20, {1160}, {1},
       BytesCortex(0xFFFFFFFE, 0x20400), 20, "20 KB", "0x00020400"},
      {"Ember LDROM enable lowers it again", 1000, BytesCortex(0xFFFFFFFE, 0x20400), 20, {1161}, {1},
       BytesCortex(0xFFFFFFFA, 0x1F400), 20, "20 KB", "0x0001F400"},
      {"Ember LDROM enable stops at 140 pages", 1000, BytesCortex(0xFFFFFFFE, 0x1000), 144, {1161}, {1},
       BytesCortex(0xFFFFFFFA, 0x400), 140, "140 KB", "0x00000400"},
      {"Ember LDROM disable never wraps", 1000, BytesCortex(0xFFFFFFFA, 0xFFFFF800), 2, {1160}, {1},
       BytesCortex(0xFFFFFFFE, ~0u), 2, "2 KB", "0xFFFFFFFF"},
      {"Sorrel position 16", 38, Bytes8051(0x78, 0xFF), 1, {kScroll + 16}, {1},
       Bytes8051(0x78, 0xF0), 16, "4.00 KB", "0xF000"},
      {"Sorrel Disable keeps CONFIG1", 38, Bytes8051(0x78, 0xF0), 16, {1169}, {1},
       Bytes8051(0x79, 0xF0), 16, "4.00 KB", "0xF000"},
      {"Sorrel part without DataFlash", 36, Bytes8051(0x78, 0xF0), 5, {1170, 1169, kScroll + 1}, {0, 0, 0},
       Bytes8051(0x78, 0xF0), 5, "", ""},
      {"8051 position 4, Disable", 40, Bytes8051(0x7C, 0x3F), 1, {kScroll + 4, 1169}, {1, 1},
       Bytes8051(0x7D, 0xFF), 1, "0.25 KB", "0x3F00"},
      {"8051 Enable after Disable is one page", 40, Bytes8051(0x7D, 0xFF), 1, {1170}, {1},
       Bytes8051(0x7C, 0x3F), 1, "0.25 KB", "0x3F00"},
      {"8051 Enable clamps page count 0", 136, Bytes8051(0x7D, 0xFF), 0, {1170}, {1},
       Bytes8051(0x7C, 0x3F), 1, "0.25 KB", "0x3F00"},
      {"8051 Enable clamps a large page count", 136, Bytes8051(0x7D, 0xFF), 65535, {1170}, {1},
       Bytes8051(0x7C, 0x01), 63, "15.75 KB", "0x0100"},
      {"8051 fixed DataFlash: clicks change nothing", 142, Bytes8051(0x7D, 0xFF), 0, {1170, 1169}, {1, 0},
       Bytes8051(0x7D, 0xFF), 0, "1 KB", "0x3C00"},
      // clang-format on
  };
  for (const auto& c : cases) {
    ConfigByteArray bytes = c.bytes;
    uint16_t slider = c.slider;
    auto editor = OpenConfigEditor(c.code, catalogue, bytes, slider, false);
    std::vector<int> results;
    for (int action : c.actions) {
      results.push_back(action >= kScroll ? editor->Scroll(action - kScroll) : editor->Click(action));
    }
    EXPECT_EQ(results, c.results) << c.what;
    EXPECT_EQ(bytes, c.after) << c.what;
    EXPECT_EQ(slider, c.slider_after) << c.what;
    const auto states = editor->States();
    EXPECT_EQ(states.at(kIdDataFlashSize).text, c.size) << c.what;
    EXPECT_EQ(states.at(kIdDataFlashStart).text, c.start) << c.what;
  }
}

// View mode shows the read-back start address as the page count, enables only the checked buttons
// and writes nothing.
TEST(ConfigDataFlash, ViewModeShowsTheReadBackBytesAndWritesNothing) {
  const PartCatalogue catalogue;
  const struct {
    uint32_t code;
    ConfigByteArray bytes;
    int position;
    const char *size, *start;
  } cases[] = {
      {38, Bytes8051(0x78, 0xE0), 32, "8.00 KB", "0xE000"},
      {40, Bytes8051(0x7C, 0x3C), 4, "1.00 KB", "0x3C00"},
      {40, Bytes8051(0x7C, 0x40), 1, "0.00 KB", "0x0000"},
      {330, BytesCortex(0xFFFFFFFE, 0x1F000), 8, "4.0 KB", "0x0001F000"},
      {330, BytesCortex(0xFFFFFFFE, 0x20000), 1, "0.0 KB", "0x00020000"},
      {1000, BytesCortex(0xFFFFFFFA, 0x1F400), 16, "16 KB", "0x0001F400"},
  };
  for (const auto& c : cases) {
    ConfigByteArray bytes = c.bytes;
    uint16_t slider = 7;
    auto editor = OpenConfigEditor(c.code, catalogue, bytes, slider, true);
    const auto states = editor->States();
    EXPECT_EQ(states.at(kIdConfigOk).text, "Exit");
    EXPECT_EQ(states.at(kIdDataFlashSize).text, c.size) << c.code;
    EXPECT_EQ(states.at(kIdDataFlashStart).text, c.start) << c.code;
    EXPECT_EQ(editor->Spin().position, c.position) << c.code;
    EXPECT_FALSE(states.at(kIdDataFlashSpin).enabled);
    for (const ConfigFieldRow& field : editor->table().fields) {
      for (const ConfigButton& button : field.buttons) {
        const ConfigControlState& s = states.at(button.id);
        EXPECT_TRUE(!s.enabled || s.checked) << c.code << ' ' << button.id;
        EXPECT_EQ(editor->Click(button.id), 0);
      }
    }
    EXPECT_EQ(editor->Scroll(2), 0);
    EXPECT_EQ(bytes, c.bytes);
    EXPECT_EQ(slider, 7);
  }
}

// At every spin position n of each editor that sets DataFlash in CONFIG: D = n x P, and A is the
// part's APROM less D (on the Ember part 4 KB less again with its LDROM on). Images of exactly A
// (never below 0) and D bytes pass, one byte more fails with the message for that limit.
TEST(ConfigDataFlash, EverySpinPositionGivesTheCapacitiesTheSizeChecksAllow) {
  const PartCatalogue catalogue;
  VirtualClock clock;
  const struct {
    uint32_t code;
    uint32_t config0;  // 8051: CONFIG0; Cortex-M0: the CONFIG0 word
    int highest;
    uint32_t page;
    int64_t aprom;  // ApromLastAddress + 1, less the LDROM where it is switched on
  } cases[] = {
      {38, 0x78, 255, 256, 0x10000},          {40, 0x7C, 63, 256, 0x4000},
      {136, 0x7C, 63, 256, 0x4000},           {330, 0xFFFFFFFE, 255, 512, 0x20000},
      {850, 0xFFFFFFFE, 7, 512, 0x1000},      {901, 0xFFFFFFFE, 127, 512, 0x10000},
      {1000, 0xFFFFFFFE, 144, 1024, 0x23400}, {1000, 0xFFFFFFFA, 140, 1024, 0x22400},
  };
  for (const auto& c : cases) {
    const PartRow& part = catalogue.Row(c.code);
    JobSettings job;
    job.ConfigSelected = true;
    job.ConfigBytes =
        part.IsCortexM0 ? BytesCortex(c.config0, 0) : Bytes8051(static_cast<uint8_t>(c.config0), 0);
    auto editor = OpenConfigEditor(c.code, catalogue, job.ConfigBytes, job.ConfigSliderPos, false);
    ASSERT_EQ(editor->Spin().highest, c.highest) << c.code;
    for (int n = 1; n <= c.highest; ++n) {
      ASSERT_EQ(editor->Scroll(n), 1) << c.code << " at " << n;
      const int64_t data = int64_t{n} * c.page, aprom = std::max<int64_t>(0, c.aprom - data);
      const uint32_t flash_end = ComputeFlashEnd(part, job);
      ASSERT_EQ(DataFlashCapacity(part, job, flash_end).capacity, data) << c.code << " at " << n;
      ASSERT_EQ(ApromCapacity(part, job, flash_end), aprom) << c.code << " at " << n;
      for (const auto& [area, limit] :
           {std::pair{ImageArea::DataFlash, data}, std::pair{ImageArea::Aprom, aprom}}) {
        for (int64_t size : {limit, limit + 1}) {
          RecordingReporter reporter{clock};
          auto images = std::make_unique<ImageBuffers>();
          (*images)[area].size = static_cast<uint32_t>(size);
          (*images)[area].lastAddress = static_cast<uint32_t>(size - 1);
          const int ok = area == ImageArea::Aprom ? CheckApromSize(part, job, *images, reporter)
                                                  : CheckDataFlashSize(part, job, *images, reporter);
          ASSERT_EQ(ok, size == limit ? 1 : 0) << c.code << " at " << n;
          const auto fails = reporter.Texts(ReportEvent::Kind::Fail);
          if (size > limit) ASSERT_EQ(fails, std::vector{SizeMessage(area, limit)}) << c.code << " at " << n;
        }
      }
    }
  }
}

// The bit editor of part code 110: CONFIG0 in description group 2 (bit 4 "Reserved(0)"), CONFIG1 in
// group 3 ("APROM Lock", "NVM Lock", "FS1", then reserved bits).
TEST(ConfigBitsEditor, PagesReservedBitsNvmLockAndDerivedTexts) {
  const PartCatalogue catalogue;
  ConfigByteArray bytes = Bytes8051(0xEF, 0x3F);
  uint16_t slider = 0;
  auto editor = OpenConfigEditor(110, catalogue, bytes, slider, false);
  ASSERT_EQ(editor->PageCount(), 2);
  const int clickable0[8] = {1, 1, 1, 0, 1, 1, 1, 1}, clickable1[8] = {1, 1, 1, 0, 0, 0, 0, 0};  // bits 7..0
  for (int page = 0; page < 2; ++page) {
    for (unsigned bit = 0; bit < 8; ++bit) {
      const int want = (page == 0 ? clickable0 : clickable1)[7 - bit];
      const uint8_t before = ConfigByte(bytes, page);
      const int id = (before >> bit & 1) ? BitZeroId(bit) : BitOneId(bit);
      EXPECT_EQ(editor->ClickPage(page, id), want) << page << ' ' << bit;
      EXPECT_EQ(ConfigByte(bytes, page), want ? before ^ (1 << bit) : before) << page << ' ' << bit;
    }
  }
  EXPECT_EQ(editor->PageStates(1).at(BitGroupId(6)).text, "NVM Lock");
  EXPECT_EQ(editor->PageStates(0).at(BitGroupId(4)).text, "Reserved(0)");
  // Bytes are now CONFIG0 0x10, CONFIG1 0xDF. Locking APROM locks the NVM lock at 1.
  SetConfigByte(bytes, 1, 0x3F);
  EXPECT_EQ(editor->ClickPage(1, BitOneId(7)), 1);
  EXPECT_EQ(ConfigByte(bytes, 1), 0xFF);
  EXPECT_FALSE(editor->PageStates(1).at(BitZeroId(6)).enabled);
  EXPECT_EQ(editor->ClickPage(1, BitZeroId(6)), 0);
  EXPECT_EQ(editor->ClickPage(1, BitZeroId(7)), 1);
  EXPECT_EQ(editor->ClickPage(1, BitZeroId(6)), 1);
  EXPECT_EQ(ConfigByte(bytes, 1), 0x3F);
  EXPECT_EQ(editor->ClickPage(2, BitZeroId(7)), 0);
  EXPECT_EQ(editor->ClickPage(0, BitGroupId(7)), 0);

  const struct {
    uint32_t code;
    uint8_t config0, config1;
    const char *clock, *voltage, *value0, *value1;
  } texts[] = {
      {114, 0x01, 0x20, "Internal OSC (5MHz)", "3.8V", "0x01", "0x20"},
      {114, 0x03, 0x20, "Clock from XTAL1", "3.8V", "0x03", "0x20"},
      {110, 0x40, 0xFF, "External XTAL (4MHz~24MHz)", "2.7V", "0x40", "0xFF"},
      {110, 0x11, 0xDF, "Internal OSC (11.0592MHz)", "4.5V", "0x11", "0xDF"},
      {119, 0xFD, 0xFB, "Internal OSC (22.1184MHz)", "2.6V", "0xFD", "0xFB"},
      {121, 0xEA, 0xFF, "(Invalid !)", "3.8V", "0xEA", "0xFF"},
      {117, 0x10, 0xFF, "External XTAL (4MHz~12MHz)", "2.5V", "0x10", "0xFF"},
      {0, 0x00, 0x00, "", "3.8V", "", ""},
  };
  for (const auto& t : texts) {
    bytes = Bytes8051(t.config0, t.config1);
    auto bits = OpenConfigEditor(t.code, catalogue, bytes, slider, false);
    const auto states = bits->States();
    EXPECT_EQ(states.at(kIdBitsClockSource).text, t.clock) << t.code;
    EXPECT_EQ(states.at(kIdBitsBrownout).text, t.voltage) << t.code;
    EXPECT_EQ(states.at(kIdBitsConfig0Value).text, t.value0) << t.code;
    EXPECT_EQ(states.at(kIdBitsConfig1Value).text, t.value1) << t.code;
    EXPECT_EQ(states.at(kIdBitsConfig0Label).enabled, t.code != 0) << t.code;
  }
}

}  // namespace
}  // namespace quillet
