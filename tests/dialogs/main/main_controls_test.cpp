// What the main window's handlers do to the settings and the controls, in sequence.
#include "dialogs/main/main_controls.h"

#include <gtest/gtest.h>

#include "dialogs/main/main_layout.h"
#include "core/report/recording_reporter.h"

namespace quillet {
namespace {

class MainControlsTest : public testing::Test {
 protected:
  void Start(uint8_t mode, uint32_t part) {
    job.ProgrammerMode = mode;
    job.PartCode = part;
    controls.StartUp();
  }
  const ControlStates& s() const { return controls.states(); }

  JobSettings job;
  PartCatalogue catalogue;
  SharedValue<bool> running = false;
  VirtualClock clock;
  RecordingReporter reporter{clock};
  ImagePresence images;
  int reloads = 0;
  int searches = 0;
  MainControls controls{
      job, catalogue, running, reporter,
      MainControlHooks{[this] { return images; }, [this] { ++reloads; }, [this] { ++searches; }}};
};

TEST_F(MainControlsTest, StartUpFillsTheBoxesAndHidesTheComOnlyNames) {
  job.SetPortName("/dev/ttyUSB3");
  job.SnValue = {12, 34};
  job.ChipCounter = 1234;
  job.ChipCounterEnabled = true;
  Start(0x00, 2);
  EXPECT_EQ(s().text(kIdComPortName), "ttyUSB3");
  EXPECT_EQ(s().text(kIdProgType), "Prog. Type");
  EXPECT_EQ(s().text(kIdSnBox), "00000012,00000034");
  EXPECT_EQ(s().text(kIdCounterBox), "001,234");
  EXPECT_TRUE(s().enabled(kIdCounterBox));
  EXPECT_TRUE(s().enabled(kIdCounterLabel));
  EXPECT_FALSE(s().enabled(kIdSnBox));
  EXPECT_EQ(controls.saved_part_codes().SavedIspPartCode, 2u);
  EXPECT_EQ(controls.saved_part_codes().SavedIcpPartCode, 110u);
  EXPECT_EQ(controls.socket_choice(), kSocketOne);
  for (uint32_t code = 40; code <= 52; ++code) EXPECT_EQ(catalogue.PartName(code), "-") << code;
  EXPECT_EQ(catalogue.ComOnlyPartNames()[40], "QLU16A");
  EXPECT_EQ(controls.part_list().entries.size(), 48u);
  EXPECT_EQ(controls.part_list().selected, 2);
  EXPECT_EQ(controls.category_list().selected, 0);
  EXPECT_EQ(controls.category_list().entries.front(), "8051 Family");
}

TEST_F(MainControlsTest, StartUpInComIspKeepsTheComOnlyNames) {
  Start(0x02, 40);
  EXPECT_EQ(catalogue.PartName(40), "QLU16A");
  EXPECT_NE(catalogue.PartName(49), "-");
}

TEST_F(MainControlsTest, SnBoxIsEnabledOnlyWithSnProgrammingInIcpOrComIsp) {
  const struct {
    uint8_t mode;
    bool enabled;
  } cases[] = {{0x00, false}, {0x40, false}, {0x01, true}, {0x41, true}, {0x02, true}, {0x82, true}};
  for (const auto& c : cases) {
    job.SnProgrammingEnabled = true;
    Start(c.mode, c.mode & 1 ? 110 : 2);
    EXPECT_EQ(s().enabled(kIdSnBox), c.enabled) << int(c.mode);
    EXPECT_EQ(s().enabled(kIdSnLabel), c.enabled) << int(c.mode);
  }
}

TEST_F(MainControlsTest, TypeSwitchesReturnToTheRememberedPartOfEachList) {
  Start(0x00, 5);
  controls.OnIcpRadio();
  EXPECT_EQ(job.PartCode, 110u);
  EXPECT_TRUE(s().checked(kIdIcpRadio));
  EXPECT_FALSE(s().checked(kIdIspRadio));
  EXPECT_EQ(controls.part_list().entries.size(), 34u);  // codes 110..143
  controls.OnPartChange(5);
  EXPECT_EQ(job.PartCode, 115u);
  controls.OnIspRadio();
  EXPECT_EQ(job.PartCode, 5u);
  EXPECT_EQ(controls.part_list().selected, 5);
  controls.OnPartChange(7);
  controls.OnIcpRadio();
  EXPECT_EQ(job.PartCode, 115u);
  controls.OnComIspRadio();
  EXPECT_EQ(job.PartCode, 7u);
  EXPECT_EQ(controls.saved_part_codes().SavedIcpPartCode, 115u);
  controls.OnIcpRadio();
  EXPECT_EQ(job.PartCode, 115u);
  EXPECT_EQ(job.ProgrammerMode, 0x01);
}

TEST_F(MainControlsTest, IcpListFollowsTheCategoryOfTheRestoredPart) {
  Start(0x01, 905);
  EXPECT_EQ(controls.category_list().selected, 4);
  EXPECT_EQ(job.CategoryStr, "Velmari_Dune");
  EXPECT_EQ(controls.part_list().selected, 5);
  EXPECT_EQ(controls.part_list().entries.size(), 70u);
}

TEST_F(MainControlsTest, ComIspDropsGangAndPmAndSearchesPorts) {
  images.aprom = true;
  Start(0x40, 2);
  controls.OnComIspRadio();
  EXPECT_EQ(job.ProgrammerMode, 0x02);
  EXPECT_FALSE(job.GangMode);
  EXPECT_FALSE(s().checked(kIdGangCheck));
  EXPECT_FALSE(s().enabled(kIdGangCheck));
  EXPECT_TRUE(s().enabled(kIdPmCheck));
  EXPECT_EQ(s().text(kIdVerifyChip), "Verify\nAPROM");
  EXPECT_EQ(s().text(kIdReadChip), "Read\nCONFIG");
  EXPECT_FALSE(s().enabled(kIdVerifyChip));
  EXPECT_FALSE(s().enabled(kIdReadChip));
  EXPECT_EQ(searches, 1);
  EXPECT_EQ(catalogue.PartName(40), "QLU16A");
  EXPECT_EQ(reporter.Texts(ReportEvent::Kind::Status),
            (std::vector<std::string>{"Search available COM Port...", "Ready..."}));
}

TEST_F(MainControlsTest, LeavingComIspKeepsAComOnlyPartWhichThenBlocksEverything) {
  images = {true, true, true};
  Start(0x02, 41);
  EXPECT_TRUE(s().enabled(kIdUpdateChip));
  controls.OnIspRadio();
  EXPECT_EQ(job.PartCode, 41u);
  EXPECT_EQ(catalogue.PartName(41), "-");
  for (int id : {kIdUpdateChip, kIdDownloadProgrammer, kIdVerifyChip, kIdReadChip, kIdApromCheck,
                 kIdDataFlashCheck, kIdLdromCheck, kIdConfigCheck, kIdConfigSetting}) {
    EXPECT_FALSE(s().enabled(id)) << id;
  }
  controls.OnPartChange(2);
  EXPECT_TRUE(s().enabled(kIdUpdateChip));
}

TEST_F(MainControlsTest, LeavingIspTypesForgetsAPortNameTakenFromComIsp) {
  Start(0x02, 2);
  job.SetPortName("/dev/ttyUSB1");
  controls.SetPortNameFromComIsp(true);
  controls.OnIspRadio();
  EXPECT_EQ(job.PortName(), "");
  job.SetPortName("/dev/ttyUSB2");
  controls.OnIcpRadio();
  EXPECT_EQ(job.PortName(), "/dev/ttyUSB2");
}

TEST_F(MainControlsTest, GangKeepsTheItemsTheOperatorUnchecked) {
  images = {true, true, true};
  Start(0x01, 200);
  controls.OnItemCheck(kIdDataFlashCheck, false);
  controls.OnConfigCheck(false);
  controls.OnGangCheck(true);
  EXPECT_EQ(job.ProgrammerMode, 0x41);
  EXPECT_TRUE(job.ApromSelected);
  EXPECT_FALSE(job.DataFlashSelected);
  EXPECT_TRUE(job.LdromSelected);
  EXPECT_FALSE(job.ConfigSelected);
  EXPECT_TRUE(s().checked(kIdApromCheck));
  EXPECT_FALSE(s().checked(kIdDataFlashCheck));
  EXPECT_TRUE(s().enabled(kIdDataFlashCheck));
  EXPECT_FALSE(s().checked(kIdConfigCheck));
  EXPECT_FALSE(s().enabled(kIdConfigSetting));
  EXPECT_EQ(s().text(kIdUpdateChip), "Update Chips");
  EXPECT_EQ(job.PartCode, 200u);
  controls.OnGangCheck(false);
  EXPECT_EQ(job.ProgrammerMode, 0x01);
  EXPECT_FALSE(s().checked(kIdDataFlashCheck));
  EXPECT_EQ(s().text(kIdUpdateChip), "Update Chip");
}

TEST_F(MainControlsTest, GangClearsTheUsageLimit) {
  job.UsageLimitEnabled = true;
  Start(0x00, 2);
  controls.OnGangCheck(true);
  EXPECT_FALSE(job.UsageLimitEnabled);
}

TEST_F(MainControlsTest, ItemChecksDriveTheOperationButtons) {
  images.aprom = true;
  Start(0x00, 2);
  EXPECT_TRUE(s().enabled(kIdUpdateChip));
  controls.OnItemCheck(kIdApromCheck, false);
  EXPECT_FALSE(job.ApromSelected);
  EXPECT_FALSE(s().enabled(kIdUpdateChip));
  EXPECT_FALSE(s().enabled(kIdDownloadProgrammer));
  controls.OnConfigCheck(true);
  EXPECT_TRUE(job.ConfigSelected);
  EXPECT_TRUE(s().enabled(kIdConfigSetting));
}

TEST_F(MainControlsTest, ClicksDuringAnOperationChangeNothing) {
  images = {true, true, true};
  Start(0x01, 200);
  running = true;
  const ControlStates before = s();
  controls.OnIspRadio();
  controls.OnComIspRadio();
  controls.OnGangCheck(true);
  controls.OnItemCheck(kIdApromCheck, false);
  controls.OnConfigCheck(false);
  controls.OnTabChange(2);
  controls.OnPartChange(3);
  controls.OnPmCheck(true);
  EXPECT_EQ(job.ProgrammerMode, 0x01);
  EXPECT_EQ(job.PartCode, 200u);
  EXPECT_TRUE(job.ApromSelected);
  EXPECT_TRUE(job.ConfigSelected);
  EXPECT_EQ(controls.tab_index(), 0);
  EXPECT_EQ(controls.part_list().selected, 0);
  EXPECT_EQ(s().all(), before.all());
}

TEST_F(MainControlsTest, PmBoxDuringProductionLeavesProductionMode) {
  Start(0x02, 2);
  controls.OnPmCheck(true);
  EXPECT_EQ(job.ProgrammerMode, 0x82);
  EXPECT_TRUE(job.ProductionMode);
  running = true;
  controls.OnPmCheck(false);
  EXPECT_EQ(job.ProgrammerMode, 0x02);
  EXPECT_FALSE(job.ProductionMode);
  EXPECT_FALSE(s().checked(kIdPmCheck));
}

TEST_F(MainControlsTest, ExitCloseStaysOrLeavesProductionMode) {
  Start(0x82, 2);
  EXPECT_EQ(controls.OnExit(), ExitAction::Close);
  running = true;
  EXPECT_EQ(controls.OnExit(), ExitAction::Stay);
  EXPECT_EQ(job.ProgrammerMode, 0x02);
  EXPECT_FALSE(job.ProductionMode);
  EXPECT_FALSE(s().checked(kIdPmCheck));
  EXPECT_EQ(controls.OnExit(), ExitAction::Stay);
}

TEST_F(MainControlsTest, HotKeyRunsOnlyForTesselPartsAndNotDuringAnOperation) {
  const struct {
    uint32_t part;
    bool running;
    HotKeyAction action;
  } cases[] = {{136, false, HotKeyAction::StartTrimRead}, {144, false, HotKeyAction::StartTrimRead},
               {136, true, HotKeyAction::Ignore},         {135, false, HotKeyAction::NotTesselPart},
               {145, false, HotKeyAction::NotTesselPart}, {2, true, HotKeyAction::NotTesselPart}};
  for (const auto& c : cases) {
    job.PartCode = c.part;
    running = c.running;
    EXPECT_EQ(controls.OnHotKey(), c.action) << c.part;
  }
}

TEST_F(MainControlsTest, TabsNameTheSizeLabelAndReloadTheImage) {
  Start(0x01, 200);
  const int reloads_before = reloads;
  controls.OnTabChange(1);
  EXPECT_EQ(s().text(kIdSizeLabel), "Data Size:");
  EXPECT_EQ(reloads, reloads_before + 1);
  controls.OnTabChange(2);
  EXPECT_EQ(s().text(kIdSizeLabel), "Code Size:");
  controls.OnPartChange(1);  // a refresh goes back to the APROM tab
  EXPECT_EQ(controls.tab_index(), 0);
  EXPECT_EQ(s().text(kIdSizeLabel), "Code Size:");
}

TEST_F(MainControlsTest, SecondTabOfAPartWithoutDataFlashIsLdromWithCodeSize) {
  Start(0x01, 144);
  ASSERT_EQ(controls.tabs(), (std::vector<std::string>{"APROM Buffer", "LDROM Buffer"}));
  controls.OnTabChange(1);
  EXPECT_EQ(controls.tab_index(), 1);
  EXPECT_EQ(s().text(kIdSizeLabel), "Code Size:");
}

TEST_F(MainControlsTest, ClosingAdvancedFunctionsSetsTheGangCaptions) {
  images.aprom = true;
  Start(0x40, 2);
  job.GangVerifyOnly = true;
  controls.AfterAdvancedFunctions();
  EXPECT_EQ(s().text(kIdItemsGroup), "Items to be Verified");
  EXPECT_EQ(s().text(kIdUpdateChip), "Verify Chips");
  EXPECT_FALSE(s().enabled(kIdVerifyChip));
  EXPECT_FALSE(s().enabled(kIdReadChip));
  job.GangVerifyOnly = false;
  controls.AfterAdvancedFunctions();
  EXPECT_EQ(s().text(kIdItemsGroup), "Items to be Updated");
  EXPECT_EQ(s().text(kIdUpdateChip), "Update Chips");
  EXPECT_TRUE(s().enabled(kIdVerifyChip));
  EXPECT_TRUE(s().enabled(kIdReadChip));
}

TEST_F(MainControlsTest, ClosingAdvancedFunctionsWithoutGangOnlyShowsTheBoxes) {
  Start(0x01, 110);
  job.SnProgrammingEnabled = true;
  job.SnValue = {1, 2};
  job.ChipCounter = 999999;
  job.GangVerifyOnly = true;
  controls.AfterAdvancedFunctions();
  EXPECT_EQ(s().text(kIdSnBox), "00000001,00000002");
  EXPECT_TRUE(s().enabled(kIdSnBox));
  EXPECT_EQ(s().text(kIdCounterBox), "999,999");
  EXPECT_FALSE(s().enabled(kIdCounterBox));
  EXPECT_EQ(s().text(kIdUpdateChip), "Update Chip");
}

TEST_F(MainControlsTest, AfterAProjectLoadTheListsFollowTheLoadedPartAndConfigIsKept) {
  images.aprom = true;
  Start(0x00, 2);
  // What a project load leaves in the settings: ICP on a gang, a Dune part, CONFIG not selected.
  job.ProgrammerMode = 0x41;
  DeriveModeFlags(job);
  job.PartCode = 905;
  job.ConfigSelected = false;
  job.SetPortName("");
  controls.AfterProjectLoad();
  EXPECT_TRUE(s().checked(kIdIcpRadio));
  EXPECT_TRUE(s().checked(kIdGangCheck));
  EXPECT_TRUE(s().enabled(kIdGangCheck));
  EXPECT_EQ(controls.category_list().selected, 4);
  EXPECT_EQ(controls.part_list().selected, 5);
  EXPECT_FALSE(job.ConfigSelected);  // a Cortex-M0 refresh would have selected it
  EXPECT_FALSE(s().checked(kIdConfigCheck));
  EXPECT_FALSE(s().enabled(kIdConfigSetting));
  EXPECT_TRUE(s().checked(kIdApromCheck));
  EXPECT_EQ(s().text(kIdComPortName), "");
  EXPECT_EQ(s().text(kIdUpdateChip), "Update Chips");
}

TEST_F(MainControlsTest, LoadFileChecksTheBoxOfTheLoadedArea) {
  Start(0x01, 200);
  EXPECT_FALSE(s().enabled(kIdLdromCheck));
  controls.CheckItemBox(kIdLdromCheck);
  EXPECT_TRUE(s().enabled(kIdLdromCheck));
  EXPECT_TRUE(s().checked(kIdLdromCheck));
}

}  // namespace
}  // namespace quillet
