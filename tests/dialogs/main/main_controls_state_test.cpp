// The main window's control states after start-up, across programmer types, Gang, P.M., gang
// verify-only, part kinds, placeholders and loaded images.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "dialogs/main/main_controls.h"
#include "dialogs/main/main_layout.h"
#include "core/report/recording_reporter.h"

namespace quillet {
namespace {

constexpr ImagePresence kNoImages{};
constexpr ImagePresence kAllImages{true, true, true};
constexpr ImagePresence kApromOnly{true, false, false};
constexpr ImagePresence kLdromOnly{false, false, true};

// Download Programmer, Update Chip, Verify Chip, Read Chip, Programmer Information.
constexpr std::array kButtons{kIdDownloadProgrammer, kIdUpdateChip, kIdVerifyChip, kIdReadChip,
                              kIdProgrammerInfo};
// APROM, DataFlash, LDROM, CONFIG boxes.
constexpr std::array kItems{kIdApromCheck, kIdDataFlashCheck, kIdLdromCheck, kIdConfigCheck};

struct StateCase {
  const char* name;
  uint8_t mode;
  uint32_t part;
  ImagePresence images;
  bool verify_only;
  std::array<bool, 5> buttons_enabled;
  std::array<bool, 4> items_enabled;
  std::array<bool, 4> items_checked;
  bool config_setting;
  const char* update_caption;
  const char* verify_caption;
  const char* read_caption;
  const char* items_group;
  std::vector<std::string> tabs;
};

const char* const kUpd = "Update Chip";
const char* const kVerA = "Verify\nAPROM";
const char* const kReadC = "Read\nCONFIG";
const char* const kVer = "Verify Chip";
const char* const kRead = "Read Chip";
const char* const kItemsU = "Items to be Updated";
const std::vector<std::string> kApromTab{"APROM Buffer"};
const std::vector<std::string> kTwoTabs{"APROM Buffer", "DataFlash Buffer"};
const std::vector<std::string> kThreeTabs{"APROM Buffer", "DataFlash Buffer", "LDROM Buffer"};

class MainControlsStateTest : public testing::TestWithParam<StateCase> {};

TEST_P(MainControlsStateTest, ControlsFollowTheSettings) {
  const StateCase& c = GetParam();
  JobSettings job;
  job.ProgrammerMode = c.mode;
  job.PartCode = c.part;
  job.GangVerifyOnly = c.verify_only;
  PartCatalogue catalogue;
  SharedValue<bool> running = false;
  VirtualClock clock;
  RecordingReporter reporter(clock);
  MainControls controls(job, catalogue, running, reporter, {[&] { return c.images; }, {}, {}});
  controls.StartUp();
  const ControlStates& s = controls.states();

  for (std::size_t i = 0; i < kButtons.size(); ++i)
    EXPECT_EQ(s.enabled(kButtons[i]), c.buttons_enabled[i]) << kButtons[i];
  for (std::size_t i = 0; i < kItems.size(); ++i) {
    EXPECT_EQ(s.enabled(kItems[i]), c.items_enabled[i]) << kItems[i];
    EXPECT_EQ(s.checked(kItems[i]), c.items_checked[i]) << kItems[i];
  }
  EXPECT_EQ(job.ApromSelected, c.items_checked[0]);
  EXPECT_EQ(job.DataFlashSelected, c.items_checked[1]);
  EXPECT_EQ(job.LdromSelected, c.items_checked[2]);
  EXPECT_EQ(job.ConfigSelected, c.items_checked[3]);
  EXPECT_EQ(s.enabled(kIdConfigSetting), c.config_setting);
  EXPECT_EQ(s.text(kIdUpdateChip), c.update_caption);
  EXPECT_EQ(s.text(kIdVerifyChip), c.verify_caption);
  EXPECT_EQ(s.text(kIdReadChip), c.read_caption);
  EXPECT_EQ(s.text(kIdItemsGroup), c.items_group);
  EXPECT_EQ(controls.tabs(), c.tabs);
  EXPECT_EQ(controls.tab_index(), 0);

  // Type controls.
  const uint8_t type = c.mode & 0x0F;
  EXPECT_EQ(s.checked(kIdIspRadio), type == kTypeIsp);
  EXPECT_EQ(s.checked(kIdIcpRadio), type == kTypeIcp);
  EXPECT_EQ(s.checked(kIdComIspRadio), type == kTypeComIsp);
  EXPECT_EQ(s.checked(kIdGangCheck), (c.mode & 0xF0) == kModeGang);
  EXPECT_EQ(s.enabled(kIdGangCheck), type != kTypeComIsp);
  EXPECT_EQ(s.checked(kIdPmCheck), (c.mode & 0xF0) == kModeProduction && type == kTypeComIsp);
  EXPECT_EQ(s.enabled(kIdPmCheck), type == kTypeComIsp);
  EXPECT_EQ(s.enabled(kIdComPortList), type == kTypeComIsp);
  EXPECT_FALSE(s.enabled(kIdCategoryList));
  // Hidden controls stay hidden.
  for (int id : {kIdComPortName, kIdCancel, kIdFwUpdate, kIdDownloadUpdateIsp, kIdTestDump}) {
    EXPECT_FALSE(s.at(id).visible) << id;
  }
  EXPECT_EQ(s.enabled(kIdDownloadUpdateIsp), c.images.aprom && c.items_checked[0]);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, MainControlsStateTest, testing::Values(
    StateCase{"IspNoImage", 0x00, 2, kNoImages, false,
              {false, false, false, false, true}, {false, false, false, false}, {false, false, false, false}, false,
              kUpd, kVerA, kReadC, kItemsU, kApromTab},
    StateCase{"IspAllImagesPartWithoutDataFlash", 0x00, 2, kAllImages, false,
              {true, true, true, false, true}, {true, false, false, false}, {true, false, false, false}, false,
              kUpd, kVerA, kReadC, kItemsU, kApromTab},
    StateCase{"IspFamilyAPartReadsConfigAndIgnoresLdrom", 0x00, 37, kAllImages, false,
              {true, true, true, true, true}, {true, true, false, true}, {true, true, false, false}, false,
              kUpd, kVerA, kReadC, kItemsU, kTwoTabs},
    StateCase{"Icp8051NoImage", 0x01, 110, kNoImages, false,
              {false, false, false, true, true}, {false, false, false, true}, {false, false, false, false}, false,
              kUpd, kVer, kRead, kItemsU, kTwoTabs},
    StateCase{"IcpCortexPreselectsConfig", 0x01, 200, kNoImages, false,
              {false, false, false, true, true}, {false, false, false, true}, {false, false, false, true}, true,
              kUpd, kVer, kRead, kItemsU, kThreeTabs},
    StateCase{"IcpLdromImageAlone", 0x01, 200, kLdromOnly, false,
              {true, true, true, true, true}, {false, false, true, true}, {false, false, true, true}, true,
              kUpd, kVer, kRead, kItemsU, kThreeTabs},
    StateCase{"IcpLdromPartWithoutDataFlash", 0x01, 144, kAllImages, false,
              {true, true, true, true, true}, {true, false, true, true}, {true, false, true, false}, false,
              kUpd, kVer, kRead, kItemsU, {"APROM Buffer", "LDROM Buffer"}},
    StateCase{"ComIsp", 0x02, 2, kApromOnly, false,
              {false, true, false, false, false}, {true, false, false, false}, {true, false, false, false}, false,
              kUpd, kVerA, kReadC, kItemsU, kApromTab},
    StateCase{"ComIspProduction", 0x82, 2, kApromOnly, false,
              {false, true, false, false, false}, {true, false, false, false}, {true, false, false, false}, false,
              kUpd, kVerA, kReadC, kItemsU, kApromTab},
    StateCase{"ComIspNamesTheComOnlyPart", 0x02, 40, kApromOnly, false,
              {false, true, false, false, false}, {true, false, false, true}, {true, false, false, false}, false,
              kUpd, kVerA, kReadC, kItemsU, kTwoTabs},
    StateCase{"IspHidesTheComOnlyPart", 0x00, 40, kAllImages, false,
              {false, false, false, false, true}, {false, false, false, false}, {true, true, false, false}, false,
              kUpd, kVerA, kReadC, kItemsU, kTwoTabs},
    StateCase{"IspGangNeitherVerifiesNorReads", 0x40, 2, kApromOnly, false,
              {true, true, false, false, true}, {true, false, false, false}, {true, false, false, false}, false,
              "Update Chips", kVerA, kReadC, kItemsU, kApromTab},
    StateCase{"IcpGang", 0x41, 200, kApromOnly, false,
              {true, true, true, true, true}, {true, false, false, true}, {true, false, false, true}, true,
              "Update Chips", kVer, kRead, kItemsU, kThreeTabs},
    StateCase{"IcpGangVerifiesWithAnyImage", 0x41, 200, kLdromOnly, false,
              {true, true, true, true, true}, {false, false, true, true}, {false, false, true, true}, true,
              "Update Chips", kVer, kRead, kItemsU, kThreeTabs},
    StateCase{"IcpGangNoImage", 0x41, 200, kNoImages, false,
              {false, false, false, true, true}, {false, false, false, true}, {false, false, false, true}, true,
              "Update Chips", kVer, kRead, kItemsU, kThreeTabs},
    StateCase{"IcpGangVerifyOnly", 0x41, 200, kApromOnly, true,
              {true, true, false, false, true}, {true, false, false, true}, {true, false, false, true}, true,
              "Verify Chips", kVer, kRead, "Items to be Verified", kThreeTabs},
    StateCase{"VerifyOnlyWithoutGangChangesNothing", 0x01, 200, kApromOnly, true,
              {true, true, true, true, true}, {true, false, false, true}, {true, false, false, true}, true,
              kUpd, kVer, kRead, kItemsU, kThreeTabs},
    StateCase{"IspPlaceholder", 0x00, 18, kAllImages, false,
              {false, false, false, false, true}, {false, false, false, false}, {true, false, false, false}, false,
              kUpd, kVerA, kReadC, kItemsU, kApromTab},
    StateCase{"IcpPlaceholder8051", 0x01, 116, kAllImages, false,
              {false, false, false, false, true}, {false, false, false, false}, {true, false, false, false}, false,
              kUpd, kVer, kRead, kItemsU, kApromTab},
    StateCase{"IcpPlaceholderCortex", 0x01, 232, kAllImages, false,
              {false, false, false, false, true}, {false, false, false, false}, {true, true, true, true}, false,
              kUpd, kVer, kRead, kItemsU, kThreeTabs}),
    [](const testing::TestParamInfo<StateCase>& info) { return info.param.name; });
// clang-format on

}  // namespace
}  // namespace quillet
