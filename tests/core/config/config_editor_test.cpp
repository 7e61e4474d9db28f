// The CONFIG editors' choices: the byte map, which button each raw field value checks, what each
// click writes (and that nothing else moves), the defaults a part starts with, and which editor a
// part code opens. Expected ids, values and captions are written out here, not taken from the
// editor tables.
#include "core/config/config_editor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/job/setup_part.h"

namespace quillet {
namespace {

uint64_t AllBits(const ConfigByteArray& bytes) {
  uint64_t all = 0;
  for (unsigned n = 0; n < 8; ++n) all |= uint64_t{ConfigByte(bytes, n)} << (8 * n);
  return all;
}

ConfigByteArray FromBits(uint64_t all) {
  ConfigByteArray bytes{};
  for (unsigned n = 0; n < 8; ++n) SetConfigByte(bytes, n, static_cast<uint8_t>(all >> (8 * n)));
  return bytes;
}

uint64_t Mask(unsigned low, unsigned width) {
  return ((uint64_t{1} << width) - 1) << low;
}

TEST(ConfigByteMap, ConfigByteNIsTheStoredByteEightMinusN) {
  const ConfigByteArray stored{0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};
  const uint8_t expected[8] = {0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11};
  for (unsigned n = 0; n < 8; ++n) EXPECT_EQ(ConfigByte(stored, n), expected[n]) << n;
  // Cortex-M0 words: little-endian over CONFIG bytes 0..3 and 4..7.
  EXPECT_EQ(ConfigWord(stored, kLowWordByte), 0x55667788u);
  EXPECT_EQ(ConfigWord(stored, kHighWordByte), 0x11223344u);
  const struct {
    ConfigBits bits;
    uint32_t value;
  } reads[] = {{{0, 8}, 0x88}, {{4, 8}, 0x78}, {{24, 3}, 0x5}, {{31, 1}, 0}, {{32, 8}, 0x44}, {{60, 4}, 0x1}};
  for (const auto& r : reads) EXPECT_EQ(ReadConfigBits(stored, r.bits), r.value) << int(r.bits.low);

  ConfigByteArray bytes{};
  for (unsigned n = 0; n < 8; ++n) SetConfigByte(bytes, n, static_cast<uint8_t>(0x10 * n + 1));
  EXPECT_EQ(bytes, (ConfigByteArray{0x71, 0x61, 0x51, 0x41, 0x31, 0x21, 0x11, 0x01}));
  WriteConfigBits(bytes, {4, 8}, 0xAB);  // CONFIG0 bits 7..4 and CONFIG1 bits 3..0
  EXPECT_EQ(bytes, (ConfigByteArray{0x71, 0x61, 0x51, 0x41, 0x31, 0x21, 0x1A, 0xB1}));
}

struct Click {
  int id;
  int writes;  // -1: the click is refused (never enabled, hidden)
};

struct FieldCase {
  uint32_t code;
  unsigned low, width;     // over the 64 CONFIG bits: 8051 CONFIG byte n bit b is 8n + b
  std::vector<int> reads;  // the button each raw value checks, 0 for none
  std::vector<Click> clicks;
  struct {
    int low = -1;  // bits that enable the field when they hold value
    unsigned width = 1;
    uint64_t value = 0;
  } need;
  uint64_t side = 0;  // bits a click may change besides the field
};

constexpr uint32_t kCortex = 330, kEmber = 1000, kCedar = 850, kDune = 900, kSorrel = 38, k8051 = 40,
                   kSmall = 132;
constexpr uint64_t kConfig1Byte = 0xFF00, kConfig1Word = 0xFFFFFFFF00000000;

const std::vector<FieldCase> kFields = {
    // CortexConfigDlg
    {kCortex, 0, 1, {1170, 1169}, {{1170, 0}, {1169, 1}}},
    {kCortex, 1, 1, {1166, 1165}, {{1166, 0}, {1165, 1}}},
    {kCortex, 7, 1, {1153, 1150}, {{1153, 0}, {1150, 1}}},
    {kCortex, 20, 1, {1161, 1160}, {{1161, 0}, {1160, 1}}, {23, 1, 0}},
    {kCortex, 21, 2, {1164, 1122, 1163, 1162}, {{1164, 0}, {1122, 1}, {1163, 2}, {1162, 3}}, {23, 1, 0}},
    {kCortex, 23, 1, {1159, 1158}, {{1159, 0}, {1158, 1}}},
    {kCortex, 24, 3, {1140, 1141, 1141, 1141, 1141, 1141, 1141, 1141}, {{1140, 0}, {1141, 7}}},
    {kCortex, 28, 1, {1168, 1167}, {{1167, 1}, {1168, 0}}},
    // EmberConfigDlg; LDROM moves CONFIG1
    {kEmber, 0, 1, {1170, 1169}, {{1170, 0}, {1169, 1}}},
    {kEmber, 1, 1, {1166, 1165}, {{1166, 0}, {1165, 1}}},
    {kEmber, 2, 1, {1161, 1160}, {{1161, 0}, {1160, 1}}, {}, kConfig1Word},
    {kEmber, 7, 1, {1153, 1150}, {{1153, 0}, {1150, 1}}},
    {kEmber, 23, 1, {1159, 1158}, {{1159, 0}, {1158, 1}}},
    // CedarConfigDlg: brown-out and voltage share bits 22..21
    {kCedar, 1, 1, {1166, 1165}, {{1166, 0}, {1165, 1}}},
    {kCedar, 7, 1, {1153, 1150}, {{1153, 0}, {1150, 1}}},
    {kCedar, 20, 1, {1161, 1160}, {{1161, 0}, {1160, 1}}, {21, 2, 1}},
    {kCedar, 21, 2, {1159, 1159, 1159, 1158}, {{1159, 1}, {1158, 3}}},
    {kCedar, 21, 2, {1240, 1240, 1239, 0}, {{1239, 2}, {1240, 1}}},
    {kCedar, 28, 1, {1168, 1167}, {{1167, 1}, {1168, 0}}},
    // DuneConfigDlg
    {kDune, 0, 1, {1170, 1169}, {{1170, 0}, {1169, 1}}},
    {kDune, 19, 2, {1259, 1258, 1257, 1256}, {{1259, 0}, {1258, 1}, {1257, 2}, {1256, 3}}},
    {kDune, 26, 1, {1140, 1141}, {{1140, 0}, {1141, 1}}},
    {kDune, 28, 1, {1168, 1167}, {{1167, 1}, {1168, 0}}},
    // SorrelConfigDlg: LOCK is read from bit 1 and written into bits 2..1
    {kSorrel, 0, 1, {1170, 1169}, {{1170, 0}, {1169, 1}}},
    {kSorrel, 1, 2, {1166, 1165, 1166, 1165}, {{1166, 0}, {1165, 3}}},
    {kSorrel, 7, 1, {1153, 1150}, {{1153, 0}, {1150, -1}}},
    {kSorrel, 20, 1, {1161, 1160}, {{1160, 1}, {1161, 0}}, {23, 1, 1}},
    {kSorrel, 21, 2, {1162, 1163, 1149, 1164}, {{1162, 0}, {1163, 1}, {1149, 2}, {1164, 3}}, {23, 1, 1}},
    {kSorrel, 23, 1, {1159, 1158}, {{1158, 1}, {1159, 0}}},
    {kSorrel, 25, 1, {1157, 1156}, {{1156, 1}, {1157, 0}}},
    {kSorrel, 27, 1, {1147, 1148}, {{1148, 1}, {1147, 0}}, {25, 1, 0}},
    {kSorrel, 28, 1, {1168, 1167}, {{1167, 1}, {1168, 0}}},
    {kSorrel, 29, 1, {1151, 1152}, {{1152, 1}, {1151, 0}}, {25, 1, 1}},
    {kSorrel, 30, 1, {1145, 1146}, {{1146, 1}, {1145, 0}}},
    {kSorrel, 31, 1, {1155, 1154}, {{1154, 1}, {1155, 0}}},
    // Config8051Dlg: DataFlash moves CONFIG1; port state and "Clock from XTAL1" are hidden
    {k8051, 0, 1, {1170, 1169}, {{1170, 0}, {1169, 1}}, {}, kConfig1Byte},
    {k8051, 1, 1, {1166, 1165}, {{1166, 0}, {1165, 1}}},
    {k8051, 7, 1, {1153, 1150}, {{1153, 0}, {1150, 1}}},
    {k8051, 20, 1, {1161, 1160}, {{1160, 1}, {1161, 0}}, {23, 1, 0}},
    {k8051, 22, 1, {1198, 1197}, {{1197, 1}, {1198, 0}}, {23, 1, 0}},
    {k8051, 23, 1, {1159, 1158}, {{1159, 0}, {1158, 1}}},
    {k8051, 24, 2, {1157, 1157, 1200, 1199}, {{1199, 3}, {1200, -1}, {1157, 0}}},
    {k8051, 27, 1, {1147, 1148}, {{1148, 1}, {1147, 0}}, {24, 2, 3}},
    {k8051, 28, 1, {1168, 1167}, {{1167, 1}, {1168, 0}}},
    {k8051, 29, 1, {1208, 1207}, {{1207, -1}, {1208, -1}}},
    {k8051, 31, 1, {1155, 1154}, {{1154, 1}, {1155, 0}}},
    // Config8051SmallDlg
    {kSmall, 0, 1, {1166, 1165}, {{1166, 0}, {1165, 1}}},
    {kSmall, 4, 1, {1161, 1160}, {{1160, 1}, {1161, 0}}, {7, 1, 1}},
    {kSmall, 6, 1, {1198, 1197}, {{1197, 1}, {1198, 0}}, {7, 1, 1}},
    {kSmall, 7, 1, {1159, 1158}, {{1158, 1}, {1159, 0}}},
    {kSmall, 8, 2, {1157, 1157, 1200, 1199}, {{1199, 3}, {1200, 2}, {1157, 0}}},
    {kSmall, 11, 1, {1147, 1148}, {{1148, 1}, {1147, 0}}, {8, 2, 3}},
    {kSmall, 12, 1, {1168, 1167}, {{1167, 1}, {1168, 0}}},
    {kSmall, 15, 1, {1155, 1154}, {{1154, 1}, {1155, 0}}},
};

constexpr uint64_t kBackgrounds[] = {0, ~uint64_t{0}, 0xA55A3CC3F00F6996};

TEST(ConfigEditorFields, EveryRawValueChecksOneButtonAndEveryClickWritesOnlyItsField) {
  const PartCatalogue catalogue;
  for (const FieldCase& f : kFields) {
    SCOPED_TRACE(::testing::Message() << "part " << f.code << " bits " << f.low << "+" << f.width);
    for (uint64_t background : kBackgrounds) {
      for (uint32_t raw = 0; raw < f.reads.size(); ++raw) {
        ConfigByteArray bytes = FromBits((background & ~Mask(f.low, f.width)) | uint64_t{raw} << f.low);
        uint16_t slider = 1;
        const auto states = OpenConfigEditor(f.code, catalogue, bytes, slider, false)->States();
        for (const Click& c : f.clicks)
          EXPECT_EQ(states.at(c.id).checked, c.id == f.reads[raw]) << c.id << " raw " << raw;
      }
      for (std::size_t i = 0; i < f.clicks.size(); ++i) {
        const Click& c = f.clicks[i];
        const int before = f.clicks[(i + 1) % f.clicks.size()].writes;
        uint64_t start = (background & ~Mask(f.low, f.width)) | uint64_t(before < 0 ? 0 : before) << f.low;
        if (f.need.low >= 0) start = (start & ~Mask(f.need.low, f.need.width)) | f.need.value << f.need.low;
        if (f.low != 0) start &= ~uint64_t{1};  // DataFlash on, where it is not the field itself
        ConfigByteArray bytes = FromBits(start);
        const uint64_t was = AllBits(bytes);
        uint16_t slider = 4;
        auto editor = OpenConfigEditor(f.code, catalogue, bytes, slider, false);
        EXPECT_EQ(editor->Click(c.id), c.writes < 0 ? 0 : 1) << c.id;
        if (c.writes < 0) {
          EXPECT_EQ(AllBits(bytes), was) << c.id;
          continue;
        }
        EXPECT_EQ(ReadConfigBits(bytes, {uint8_t(f.low), uint8_t(f.width)}), uint32_t(c.writes)) << c.id;
        const uint64_t keep = ~(Mask(f.low, f.width) | f.side);
        EXPECT_EQ(AllBits(bytes) & keep, was & keep) << c.id;
        EXPECT_EQ(editor->States().at(c.id).checked, true) << c.id;
      }
    }
  }
}

// Any eight bytes and any page count open every editor with at most one checked button per choice
// and the spin inside its range; a code above 1214 opens nothing.
TEST(ConfigEditorEntry, EveryPartCodeOpensItsEditorWhateverTheBytes) {
  const PartCatalogue catalogue;
  const struct {
    uint32_t first, last;
    ConfigDialog dialog;
  } ranges[] = {
      {36, 39, ConfigDialog::kSorrel},      {40, 51, ConfigDialog::k8051},
      {132, 135, ConfigDialog::k8051Small}, {136, 147, ConfigDialog::k8051},
      {200, 849, ConfigDialog::kCortex},    {850, 899, ConfigDialog::kCedar},
      {900, 999, ConfigDialog::kDune},      {1000, 1099, ConfigDialog::kEmber},
      {1100, 1199, ConfigDialog::kDune},    {1200, 1214, ConfigDialog::kCortex},
  };
  for (uint32_t code = 0; code < 1215; ++code) {
    ConfigDialog expected = ConfigDialog::kBits;
    for (const auto& r : ranges) {
      if (code >= r.first && code <= r.last) expected = r.dialog;
    }
    for (uint64_t background : kBackgrounds) {
      for (uint16_t slider : {uint16_t{0}, uint16_t{65535}}) {
        ConfigByteArray bytes = FromBits(background);
        auto editor = OpenConfigEditor(code, catalogue, bytes, slider, (background & 1) != 0);
        ASSERT_TRUE(editor.has_value()) << code;
        ASSERT_EQ(editor->dialog(), expected) << code;
        const auto states = editor->States();
        for (const ConfigFieldRow& field : editor->table().fields) {
          int checked = 0;
          for (const ConfigButton& button : field.buttons) checked += states.at(button.id).checked;
          EXPECT_LE(checked, 1) << code << ' ' << field.group;
        }
        const DataFlashSpin spin = editor->Spin();
        EXPECT_TRUE(spin.position >= 1 && spin.position <= spin.highest) << code;
        for (int page = 0; page < editor->PageCount(); ++page)
          EXPECT_EQ(editor->PageStates(page).size(), 24u);
      }
    }
  }
  ConfigByteArray bytes{};
  uint16_t slider = 1;
  EXPECT_FALSE(OpenConfigEditor(1215, catalogue, bytes, slider, false).has_value());
  EXPECT_FALSE(OpenConfigEditor(UINT32_MAX, catalogue, bytes, slider, true).has_value());
}

// SetupPart's defaults, as each editor shows them: the buttons checked, the ones disabled by the
// rules, and the DataFlash edits.
TEST(ConfigEditorDefaults, SetupPartBytesReadAsTheseChoices) {
  const PartCatalogue catalogue;
  const struct {
    uint32_t code;
    bool icp;
    std::vector<int> checked;
    std::vector<int> disabled;
    const char* size;
    const char* start;
  } cases[] = {
      // clang-format off
      {kCortex, true, {1169, 1165, 1150, 1158, 1164, 1160, 1141, 1167},
       {1164, 1122, 1163, 1162, 1160, 1161, kIdGroupVoltage, kIdGroupReset}, "0.5 KB", "0x0001FE00"},
      {kEmber, true, {1169, 1165, 1160, 1150, 1158}, {}, "1 KB", "0x00024000"},
      {kCedar, true, {1169, 1165, 1150, 1160, 1158, 1167},
       {1239, 1240, 1160, 1161, kIdGroupVoltage, kIdGroupReset}, "0.5 KB", "0x00000E00"},
      {kDune, true, {1169, 1165, 1150, 1256, 1141, 1167}, {}, "0.5 KB", "0x00007E00"},
      {kSorrel, false, {1169, 1166, 1153, 1158, 1164, 1160, 1156, 1148, 1167, 1152, 1146, 1154},
       {1150, 1147, 1148, kIdGroupInternalOsc}, "0.25 KB", "0xFF00"},
      {k8051, false, {1169, 1166, 1153, 1158, 1197, 1160, 1199, 1148, 1167, 1207, 1154},
       {1197, 1198, 1160, 1161, kIdGroupVoltage, kIdGroupReset}, "0.25 KB", "0x3F00"},
      // clang-format on
  };
  // The DataFlash spin, edits and labels, disabled while DataFlash is off.
  const std::vector<int> dataflash_off{1130, 1143, 1174, 1175, 1265};
  for (const auto& c : cases) {
    JobSettings job;
    job.ProgrammerMode = c.icp ? kTypeIcp : kTypeIsp;
    job.PartCode = c.code;
    SetupPart(job, catalogue);
    auto editor = OpenConfigEditor(c.code, catalogue, job.ConfigBytes, job.ConfigSliderPos, false);
    const auto states = editor->States();
    std::vector<int> checked, disabled;
    for (const auto& [id, state] : states) {
      if (state.checked) checked.push_back(id);
      if (!state.enabled) disabled.push_back(id);
    }
    std::vector<int> want_checked = c.checked, want_disabled = c.disabled;
    want_disabled.insert(want_disabled.end(), dataflash_off.begin(), dataflash_off.end());
    std::sort(want_checked.begin(), want_checked.end());
    std::sort(want_disabled.begin(), want_disabled.end());
    EXPECT_EQ(checked, want_checked) << c.code;
    EXPECT_EQ(disabled, want_disabled) << c.code;
    EXPECT_EQ(states.at(kIdDataFlashSize).text, c.size) << c.code;
    EXPECT_EQ(states.at(kIdDataFlashStart).text, c.start) << c.code;
  }
}

// Voltage captions 1164, 1122, 1163, 1162 by part: Birch parts say 2.7V, codes 809..816 4.3V and 3.7V.
TEST(ConfigEditorCaptions, BirchAndCodes809To816RenameVoltages) {
  const PartCatalogue catalogue;
  for (const auto& [code, captions] :
       {std::pair{330u, "2.2V 2.6V 3.8V 4.5V"}, std::pair{800u, "2.2V 2.7V 3.8V 4.5V"},
        std::pair{810u, "2.2V 2.7V 3.7V 4.3V"}, std::pair{817u, "2.2V 2.7V 3.8V 4.5V"}}) {
    ConfigByteArray bytes{};
    uint16_t slider = 1;
    const auto states = OpenConfigEditor(code, catalogue, bytes, slider, false)->States();
    EXPECT_EQ(states.at(1164).text + " " + states.at(1122).text + " " + states.at(1163).text + " " +
                  states.at(1162).text,
              captions);
  }
}

}  // namespace
}  // namespace quillet
