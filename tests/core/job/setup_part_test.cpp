#include "core/job/setup_part.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace quillet {
namespace {

using Bytes = std::array<uint8_t, 8>;
constexpr uint16_t kU = 7;  // a slider position SetupPart leaves untouched

struct SetupCase {
  const char* what;
  uint8_t mode;
  uint32_t code;
  uint64_t config;  // the eight bytes in storage order, first byte most significant
  uint16_t slider;
  bool separate_erase;
};

TEST(SetupPart, DefaultConfigPerFamily) {
  const std::vector<SetupCase> cases = {
      {"plain ISP 8051", 0x00, 2, 0xFFFFFFFFFFFFFFFF, kU, false},
      {"Sorrel in ISP", 0x00, 38, 0xFFFFFFFFFFFFFF79, 1, true},
      {"Sorrel without DataFlash", 0x80, 36, 0xFFFFFFFFFFFFFF79, 1, true},
      {"flag A+B by COM port", 0x02, 40, 0xFFFFFFFFFFFF3F7D, 1, true},
      {"flag A+B in ICP", 0x41, 40, 0xFFFFFFFFFFFF3F7D, 1, false},
      {"Tessel", 0x01, 136, 0xFFFFFFFFFFFFFFFF, kU, false},
      {"ICP 8051, group 2 clears Reserved(0)", 0x01, 110, 0xFFFFFFFFFFFFFFED, kU, false},
      {"ICP 8051, group 3", 0x01, 114, 0xFFFFFFFFFFFFFFFD, kU, false},
      {"ICP 8051 code outside ICP", 0x00, 111, 0xFFFFFFFFFFFFFFEF, kU, false},
      {"flag C keeps its reserved bits", 0x01, 132, 0xFFFFFFFFFFFFFFFD, kU, false},
      {"Arden, fixed DataFlash", 0x01, 200, 0xFFFFFFFFFF9FFFFF, kU, false},
      {"Arden, DataFlash in CONFIG", 0x01, 330, 0x0001FE00FF9FFFFF, 1, false},
      {"Birch", 0x41, 810, 0xFFFFFFFFFF9FFFFF, kU, false},
      {"unlisted, DataFlash in CONFIG", 0x01, 1208, 0x0001FE00FF9FFFFF, 1, false},
      {"Cedar 4 KB", 0x01, 850, 0x00000E00FFFFFFFF, 1, false},
      {"Dune, fixed DataFlash", 0x01, 921, 0x0001F000FFFFFFFF, 1, false},
      {"Dune 32 KB", 0x01, 900, 0x00007E00FFFFFFFF, 1, false},
      {"Fjord", 0x01, 1100, 0x0000FE00FFFFFFFF, 1, false},
      {"Ember", 0x01, 1000, 0x00024000FFFFFFFF, 1, false},
      {"empty row", 0x00, 700, 0xFFFFFFFFFF9FFFFF, kU, false},
      {"code beyond the table", 0x01, 5000, 0xFFFFFFFFFFFFFFFD, kU, false},
  };
  const PartCatalogue catalogue;
  for (const SetupCase& c : cases) {
    JobSettings job;
    job.ProgrammerMode = c.mode;
    job.PartCode = c.code;
    job.ConfigBytes.fill(0x12);
    job.ConfigSliderPos = kU;
    job.SeparateApromErase = !c.separate_erase;
    SetupPart(job, catalogue);
    Bytes config;
    for (int i = 0; i < 8; ++i) config[i] = static_cast<uint8_t>(c.config >> (56 - 8 * i));
    EXPECT_EQ(job.ConfigBytes, config) << c.what;
    EXPECT_EQ(job.ConfigSliderPos, c.slider) << c.what;
    EXPECT_EQ(job.SeparateApromErase, c.separate_erase) << c.what;
  }
}

TEST(ChooseConfigDialog, PerFamily) {
  const PartCatalogue catalogue;
  const std::vector<std::pair<uint32_t, ConfigDialog>> cases = {
      {2, ConfigDialog::kBits},     {36, ConfigDialog::kSorrel},  {39, ConfigDialog::kSorrel},
      {40, ConfigDialog::k8051},    {47, ConfigDialog::k8051},    {50, ConfigDialog::k8051},
      {110, ConfigDialog::kBits},   {131, ConfigDialog::kBits},   {132, ConfigDialog::k8051Small},
      {136, ConfigDialog::k8051},   {200, ConfigDialog::kCortex}, {330, ConfigDialog::kCortex},
      {810, ConfigDialog::kCortex}, {850, ConfigDialog::kCedar},  {900, ConfigDialog::kDune},
      {1000, ConfigDialog::kEmber}, {1100, ConfigDialog::kDune},  {1214, ConfigDialog::kCortex},
      {5000, ConfigDialog::kBits},
  };
  for (const auto& [code, dialog] : cases) {
    EXPECT_EQ(ChooseConfigDialog(catalogue.Row(code)), dialog) << code;
  }
  EXPECT_EQ(static_cast<int>(ConfigDialog::kDune), 179);
}

TEST(ChooseConfigDialog, FirstMatchWins) {
  PartRow row;
  row.FamilyFlagB = true;
  row.FamilyFlagC = true;
  EXPECT_EQ(ChooseConfigDialog(row), ConfigDialog::k8051);
  row.IsCortexM0 = true;
  EXPECT_EQ(ChooseConfigDialog(row), ConfigDialog::kCortex);
  row.CedarPart = true;
  row.DuneFjordPart = true;
  EXPECT_EQ(ChooseConfigDialog(row), ConfigDialog::kCedar);
  row.EmberPart = true;
  EXPECT_EQ(ChooseConfigDialog(row), ConfigDialog::kEmber);
  row.FamilyFlagA = true;
  EXPECT_EQ(ChooseConfigDialog(row), ConfigDialog::k8051);
}

}  // namespace
}  // namespace quillet
