#include "dialogs/advanced/advanced_functions.h"

#include <gtest/gtest.h>

#include <functional>

#include "dialogs/advanced/advanced_layout.h"
#include "core/storage/settings_record.h"

namespace quillet {
namespace {

JobSettings Job(uint8_t mode) {
  JobSettings job;
  job.ProgrammerMode = mode;
  DeriveModeFlags(job);
  job.UsageLimit = {0x04, 0xD2};  // 1234
  job.SnAddress = 0x100;
  job.SnIncrement = {0, 1};
  job.SnValue = {0, 42};
  job.ChipCounter = 77;
  return job;
}

struct EditCase {
  const char* name;
  int id;
  const char* typed;
  const char* error;  // "" when accepted
  const char* shown;  // the field's text afterwards
  std::function<void(const JobSettings&)> check_stored;
  const char* end_shown = nullptr;  // the S/N end address field, where the case touches it
};

class AdvancedEditTest : public testing::TestWithParam<EditCase> {};

TEST_P(AdvancedEditTest, StoresOrRefusesWithTheExactMessage) {
  const EditCase& c = GetParam();
  JobSettings job = Job(0x01);
  AdvancedFunctions dialog(job);
  EXPECT_EQ(dialog.OnEditChange(c.id, c.typed), c.error);
  EXPECT_EQ(dialog.states().text(c.id), c.shown);
  c.check_stored(job);
  if (c.end_shown) {
    EXPECT_EQ(dialog.states().text(kIdSnEndEdit), c.end_shown);
  }
  // Whatever the field shows now is accepted as it stands.
  const JobSettings before = job;
  EXPECT_EQ(dialog.OnEditChange(c.id, dialog.states().text(c.id)), "");
  EXPECT_EQ(EncodeSettingsRecord(before), EncodeSettingsRecord(job));
}

INSTANTIATE_TEST_SUITE_P(
    Edits, AdvancedEditTest,
    testing::Values(EditCase{"UsageAboveRange", kIdUsageEdit, "60001", "Usage Times should be 1 ~ 60000 !",
                             "1234",
                             [](const JobSettings& j) {
                               EXPECT_EQ(j.UsageLimit, (UsageLimitBytes{0x04, 0xD2}));
                             }},
                    EditCase{"UsageZero", kIdUsageEdit, "0", "Usage Times should be 1 ~ 60000 !", "1234",
                             [](const JobSettings& j) {
                               EXPECT_EQ(j.UsageLimit, (UsageLimitBytes{0x04, 0xD2}));
                             }},
                    EditCase{"UsageEmptyMeansOne", kIdUsageEdit, "", "", "",
                             [](const JobSettings& j) {
                               EXPECT_EQ(j.UsageLimit, (UsageLimitBytes{0x00, 0x01}));
                             }},
                    EditCase{"UsageMaximum", kIdUsageEdit, "60000", "", "60000",
                             [](const JobSettings& j) {
                               EXPECT_EQ(j.UsageLimit, (UsageLimitBytes{0xEA, 0x60}));
                             }},
                    EditCase{"UsageLetter", kIdUsageEdit, "12a", "12a is not a decimal number !", "1234",
                             [](const JobSettings& j) {
                               EXPECT_EQ(j.UsageLimit, (UsageLimitBytes{0x04, 0xD2}));
                             }},
                    EditCase{"AddressAboveRangeIsClamped", kIdSnAddressEdit, "1fff9",
                             "SerialNumber starting address should be 0x00000 ~ 0x1FFF8 !", "1FFF8",
                             [](const JobSettings& j) { EXPECT_EQ(j.SnAddress, 0x1FFF8u); }, "1FFFF"},
                    EditCase{"AddressNotHex", kIdSnAddressEdit, "12g", "12g is not a hexadecimal number !",
                             "100", [](const JobSettings& j) { EXPECT_EQ(j.SnAddress, 0x100u); }, "107"},
                    EditCase{"AddressLowerCase", kIdSnAddressEdit, "1fff0", "", "1fff0",
                             [](const JobSettings& j) { EXPECT_EQ(j.SnAddress, 0x1FFF0u); }, "1FFF7"},
                    EditCase{"AddressEmptyMeansZero", kIdSnAddressEdit, "", "", "",
                             [](const JobSettings& j) { EXPECT_EQ(j.SnAddress, 0u); }, "7"},
                    EditCase{"IncrementEightDigits", kIdIncrementEdit, "12345678", "", "12345678",
                             [](const JobSettings& j) {
                               EXPECT_EQ(j.SnIncrement, (SplitDecimal{0, 12345678}));
                             }},
                    EditCase{"IncrementNineDigits", kIdIncrementEdit, "100000002", "", "100000002",
                             [](const JobSettings& j) {
                               EXPECT_EQ(j.SnIncrement, (SplitDecimal{1, 2}));
                             }},
                    EditCase{"IncrementEmptyMeansZero", kIdIncrementEdit, "", "", "",
                             [](const JobSettings& j) {
                               EXPECT_EQ(j.SnIncrement, (SplitDecimal{0, 0}));
                             }},
                    EditCase{"IncrementSign", kIdIncrementEdit, "+5", "+5 is not a decimal number !", "1",
                             [](const JobSettings& j) {
                               EXPECT_EQ(j.SnIncrement, (SplitDecimal{0, 1}));
                             }},
                    EditCase{"SnNineDigits", kIdSnValueEdit, "123456789", "", "123456789",
                             [](const JobSettings& j) {
                               EXPECT_EQ(j.SnValue, (SplitDecimal{1, 23456789}));
                             }},
                    EditCase{"SnSixteenDigits", kIdSnValueEdit, "9999999999999999", "", "9999999999999999",
                             [](const JobSettings& j) {
                               EXPECT_EQ(j.SnValue, (SplitDecimal{99999999, 99999999}));
                             }},
                    EditCase{"SnMinus", kIdSnValueEdit, "-5", "-5 is not a decimal number !",
                             "0000000000000042",
                             [](const JobSettings& j) {
                               EXPECT_EQ(j.SnValue, (SplitDecimal{0, 42}));
                             }},
                    EditCase{"CounterDigits", kIdCounterEdit, "999999", "", "999999",
                             [](const JobSettings& j) { EXPECT_EQ(j.ChipCounter, 999999u); }},
                    EditCase{"CounterEmptyMeansZero", kIdCounterEdit, "", "", "",
                             [](const JobSettings& j) { EXPECT_EQ(j.ChipCounter, 0u); }},
                    EditCase{"CounterDecimalPoint", kIdCounterEdit, "12.5", "12.5 is not a decimal number !",
                             "000077", [](const JobSettings& j) { EXPECT_EQ(j.ChipCounter, 77u); }}),
    [](const testing::TestParamInfo<EditCase>& info) { return info.param.name; });

struct GroupCase {
  uint8_t mode;
  bool usage_radios, sn_group, protocol, gang;
};

class AdvancedGroupTest : public testing::TestWithParam<GroupCase> {};

TEST_P(AdvancedGroupTest, GroupsFollowTheProgrammerTypeAndGang) {
  const GroupCase& c = GetParam();
  JobSettings job = Job(c.mode);
  job.UsageLimitEnabled = true;
  job.SnProgrammingEnabled = true;
  job.ChipCounterEnabled = true;
  AdvancedFunctions dialog(job);
  const ControlStates& s = dialog.states();
  for (int id : {kIdUsageGroup, kIdUsageDisable, kIdUsageEnable})
    EXPECT_EQ(s.enabled(id), c.usage_radios) << id;
  // The Enable radio's own action is not undone by the group: the field stays usable.
  EXPECT_TRUE(s.enabled(kIdUsageEdit));
  for (int id : {kIdSnGroup, kIdSnDisable, kIdSnEnable, kIdSnAddressLabel, kIdIncrementLabel, kIdSnValueLabel,
                 kIdIncrementEdit, kIdSnValueEdit, kIdSnAddressEdit, kIdSnEndEdit}) {
    EXPECT_EQ(s.enabled(id), c.sn_group) << id;
  }
  for (int id : {kIdProtocolGroup, kIdFastProtocol, kIdNormalProtocol})
    EXPECT_EQ(s.enabled(id), c.protocol) << id;
  for (int id : {kIdGangGroup, kIdGangNormal, kIdGangVerifyOnly}) EXPECT_EQ(s.enabled(id), c.gang) << id;
  for (int id : {kIdCounterGroup, kIdCounterDisable, kIdCounterEnable, kIdCountDirection, kIdCounterEdit}) {
    EXPECT_TRUE(s.enabled(id)) << id;
  }
  // A disabled group keeps its stored values.
  EXPECT_EQ(job.SnValue, (SplitDecimal{0, 42}));
  EXPECT_EQ(job.SnAddress, 0x100u);
}

INSTANTIATE_TEST_SUITE_P(
    Types, AdvancedGroupTest,
    testing::Values(GroupCase{0x00, true, false, false, false}, GroupCase{0x01, true, true, false, false},
                    GroupCase{0x02, false, true, true, false}, GroupCase{0x82, false, true, true, false},
                    GroupCase{0x40, false, false, false, true}, GroupCase{0x41, false, true, false, true}));

TEST(AdvancedFunctionsTest, OpeningShowsEveryFieldByItsDisplayRule) {
  JobSettings job = Job(0x02);
  job.SnValue = {1, 23456789};
  job.SnIncrement = {1, 2};
  job.ChipCounter = 1234;
  job.SnAddress = 0x1FFF0;
  job.UsageLimit = {0xFF, 0xFF};
  job.CountDown = true;
  job.FastProtocol = true;
  job.GangVerifyOnly = true;
  AdvancedFunctions dialog(job);
  const ControlStates& s = dialog.states();
  EXPECT_EQ(s.text(kIdSnValueEdit), "0000000123456789");
  EXPECT_EQ(s.text(kIdIncrementEdit), "100000002");
  EXPECT_EQ(s.text(kIdCounterEdit), "001234");
  EXPECT_EQ(s.text(kIdSnAddressEdit), "1FFF0");
  EXPECT_EQ(s.text(kIdSnEndEdit), "1FFF7");
  EXPECT_EQ(s.text(kIdUsageEdit), "60000");
  EXPECT_EQ(s.text(kIdCountDirection), "Count Down");
  EXPECT_TRUE(s.checked(kIdFastProtocol));
  EXPECT_FALSE(s.checked(kIdNormalProtocol));
  EXPECT_TRUE(s.checked(kIdGangVerifyOnly));
  EXPECT_FALSE(s.checked(kIdGangNormal));
  EXPECT_TRUE(s.checked(kIdUsageDisable));
  EXPECT_FALSE(s.enabled(kIdUsageEdit));
  EXPECT_FALSE(s.enabled(kIdUsageLabel));
}

TEST(AdvancedFunctionsTest, SmallIncrementShowsWithoutLeadingZeros) {
  JobSettings job = Job(0x01);
  job.SnIncrement = {0, 5};
  EXPECT_EQ(AdvancedFunctions(job).states().text(kIdIncrementEdit), "5");
}

TEST(AdvancedFunctionsTest, OpeningReducesTheHighHalvesAndBringsDamagedValuesIntoRange) {
  JobSettings job = Job(0x01);
  job.SnValue = {123456789, 5};
  job.SnIncrement = {100000001, 0};
  job.UsageLimit = {0xFF, 0xFE};
  job.SnAddress = 0xFFFFFFFF;
  job.ChipCounter = 0xFFFFFFFF;
  AdvancedFunctions dialog(job);
  EXPECT_EQ(job.SnValue, (SplitDecimal{23456789, 5}));
  EXPECT_EQ(job.SnIncrement, (SplitDecimal{1, 0}));
  EXPECT_EQ(dialog.states().text(kIdUsageEdit), "60000");
  EXPECT_EQ(dialog.states().text(kIdSnAddressEdit), "1FFF8");
  EXPECT_EQ(dialog.states().text(kIdCounterEdit), "999999");
  EXPECT_EQ(job.ChipCounter, 999999u);
}

TEST(AdvancedFunctionsTest, ZeroLimitOfAFirstRunOpensAsTheMaximum) {
  JobSettings job = Job(0x01);
  job.UsageLimit = {0, 0};
  AdvancedFunctions dialog(job);
  EXPECT_EQ(dialog.states().text(kIdUsageEdit), "60000");
  EXPECT_EQ(UsageLimitForDisplay(job.UsageLimit), 60000u);
}

struct ClickCase {
  int id;
  std::function<bool(const JobSettings&)> setting;
  bool expected;
  std::vector<int> enabled_after;
  std::vector<int> disabled_after;
};

TEST(AdvancedFunctionsTest, ClicksStoreAtOnceAndEnableTheirControls) {
  const std::vector<ClickCase> cases = {
      {kIdUsageEnable,
       [](const JobSettings& j) { return j.UsageLimitEnabled; },
       true,
       {kIdUsageLabel, kIdUsageEdit},
       {}},
      {kIdUsageDisable,
       [](const JobSettings& j) { return j.UsageLimitEnabled; },
       false,
       {},
       {kIdUsageLabel, kIdUsageEdit}},
      {kIdSnEnable,
       [](const JobSettings& j) { return j.SnProgrammingEnabled; },
       true,
       {kIdSnAddressLabel, kIdIncrementLabel, kIdIncrementEdit, kIdSnValueLabel, kIdSnValueEdit,
        kIdSnAddressEdit, kIdSnEndEdit},
       {}},
      {kIdSnDisable,
       [](const JobSettings& j) { return j.SnProgrammingEnabled; },
       false,
       {},
       {kIdSnAddressLabel, kIdIncrementLabel, kIdIncrementEdit, kIdSnValueLabel, kIdSnValueEdit,
        kIdSnAddressEdit, kIdSnEndEdit}},
      {kIdCounterEnable,
       [](const JobSettings& j) { return j.ChipCounterEnabled; },
       true,
       {kIdCountDirection, kIdCounterEdit, kIdCounterSpin},
       {}},
      {kIdCounterDisable,
       [](const JobSettings& j) { return j.ChipCounterEnabled; },
       false,
       {},
       {kIdCountDirection, kIdCounterEdit, kIdCounterSpin}},
      {kIdFastProtocol, [](const JobSettings& j) { return j.FastProtocol; }, true, {}, {}},
      {kIdNormalProtocol, [](const JobSettings& j) { return j.FastProtocol; }, false, {}, {}},
      {kIdGangVerifyOnly, [](const JobSettings& j) { return j.GangVerifyOnly; }, true, {}, {}},
      {kIdGangNormal, [](const JobSettings& j) { return j.GangVerifyOnly; }, false, {}, {}},
  };
  JobSettings job = Job(0x41);
  AdvancedFunctions dialog(job);
  for (const ClickCase& c : cases) {
    dialog.OnClick(c.id);
    EXPECT_EQ(c.setting(job), c.expected) << c.id;
    EXPECT_TRUE(dialog.states().checked(c.id)) << c.id;
    for (int id : c.enabled_after) EXPECT_TRUE(dialog.states().enabled(id)) << c.id << " " << id;
    for (int id : c.disabled_after) EXPECT_FALSE(dialog.states().enabled(id)) << c.id << " " << id;
  }
  EXPECT_FALSE(dialog.states().checked(kIdGangVerifyOnly));
  EXPECT_FALSE(dialog.states().checked(kIdFastProtocol));
}

TEST(AdvancedFunctionsTest, CountButtonTogglesDirectionAndCaption) {
  JobSettings job = Job(0x01);
  AdvancedFunctions dialog(job);
  EXPECT_EQ(dialog.states().text(kIdCountDirection), "Count Up");
  dialog.OnClick(kIdCountDirection);
  EXPECT_TRUE(job.CountDown);
  EXPECT_EQ(dialog.states().text(kIdCountDirection), "Count Down");
  dialog.OnClick(kIdCountDirection);
  EXPECT_FALSE(job.CountDown);
  EXPECT_EQ(dialog.states().text(kIdCountDirection), "Count Up");
}

TEST(AdvancedFunctionsTest, OnlyTheFirstCharactersOfAnOverlongTextAreExamined) {
  JobSettings job = Job(0x01);
  AdvancedFunctions dialog(job);
  EXPECT_EQ(dialog.OnEditChange(kIdCounterEdit, "123456x"), "");
  EXPECT_EQ(job.ChipCounter, 123456u);
}

}  // namespace
}  // namespace quillet
