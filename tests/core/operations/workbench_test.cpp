#include "core/operations/workbench.h"

#include <gtest/gtest.h>

#include <optional>

#include "core/job/item_selection.h"
#include "core/report/recording_reporter.h"
#include "support/link_rig.h"

namespace quillet {
namespace {

struct ChooseCase {
  const char* name;
  uint8_t settings_mode;  // what GUI.LOG left
  const char* part;
  std::optional<uint8_t> type;
  int result;
  uint32_t code;
  uint8_t mode;
};

class ChoosePartTest : public ::testing::TestWithParam<ChooseCase> {};

// A part brings the type of its list, so a CLI --part from the other list no longer runs with the
// settings' type; gang stays where the type allows it and P.M. is left.
TEST_P(ChoosePartTest, TypeFollowsThePartsList) {
  const ChooseCase& c = GetParam();
  test_support::LinkRig rig;
  rig.job.ProgrammerMode = c.settings_mode;
  DeriveModeFlags(rig.job);
  rig.job.PartCode = 2;
  EXPECT_EQ(rig.bench.ChoosePart(c.part, c.type), c.result);
  EXPECT_EQ(rig.job.PartCode, c.code);
  EXPECT_EQ(rig.job.ProgrammerMode, c.mode);
  EXPECT_EQ(rig.job.CategoryMode, (c.mode & 0x0F) == kTypeIcp);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChoosePartTest,
    ::testing::Values(
        ChooseCase{"IcpPartFromIsp", kTypeIsp, "QMC04A", std::nullopt, 1, 110, kTypeIcp},
        ChooseCase{"IspPartFromIcpGang", kModeGang | kTypeIcp, "QLA08P", std::nullopt, 1, 5,
                   kModeGang | kTypeIsp},
        ChooseCase{"ComOnlyPartNeedsComIsp", kTypeIsp, "QLU16F", std::nullopt, 1, 45, kTypeComIsp},
        ChooseCase{"ComIspKeptForAnIspPart", kTypeComIsp, "QLA08P", std::nullopt, 1, 5, kTypeComIsp},
        ChooseCase{"ProductionModeLeft", kModeProduction | kTypeComIsp, "QMC04A", std::nullopt, 1, 110,
                   kTypeIcp},
        ChooseCase{"NamedTypeMustListThePart", kTypeIsp, "QMC04A", kTypeIsp, 0, 2, kTypeIsp},
        ChooseCase{"ComOnlyPartNotInIspList", kTypeIsp, "QLU16F", kTypeIsp, 0, 2, kTypeIsp},
        ChooseCase{"PlaceholderIsNoPart", kTypeIsp, "-", std::nullopt, 0, 2, kTypeIsp},
        ChooseCase{"UnknownName", kTypeIcp, "NOPART", std::nullopt, 0, 2, kTypeIcp}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ChoosePart, ComOnlyNamesAreHiddenOutsideComIsp) {
  test_support::LinkRig rig;
  ASSERT_EQ(rig.bench.ChoosePart("QLU16F", std::nullopt), 1);
  EXPECT_EQ(rig.catalogue.PartName(45), "QLU16F");
  ASSERT_EQ(rig.bench.ChoosePart("QMC04A", std::nullopt), 1);
  EXPECT_EQ(rig.catalogue.PartName(45), "-");
}

// The areas a job can write, per kind of part and type.
TEST(WritableItems, LdromOnlyInIcpConfigWhereTheTypeWritesIt) {
  PartCatalogue catalogue;
  const PartRow& cortex = catalogue.Row(200);   // LDROM and DataFlash
  const PartRow& plain8051 = catalogue.Row(2);  // neither, CONFIG not written in ISP
  const PartRow& flagA = catalogue.Row(40);     // CONFIG written in ISP
  struct {
    const PartRow& part;
    uint8_t type;
    bool data_flash, ldrom, config, preselected;
  } cases[] = {
      {cortex, kTypeIcp, true, true, true, true},        {cortex, kTypeIsp, true, false, false, false},
      {plain8051, kTypeIsp, false, false, false, false}, {plain8051, kTypeIcp, false, false, true, false},
      {flagA, kTypeComIsp, true, false, true, false},
  };
  for (const auto& c : cases) {
    const ItemSelection items = WritableItems(c.part, c.type);
    EXPECT_TRUE(items.aprom);
    EXPECT_EQ(items.data_flash, c.data_flash) << c.part.PartName;
    EXPECT_EQ(items.ldrom, c.ldrom) << c.part.PartName;
    EXPECT_EQ(items.config, c.config) << c.part.PartName;
    EXPECT_EQ(items.config_preselected, c.preselected) << c.part.PartName;
  }
}

}  // namespace
}  // namespace quillet
