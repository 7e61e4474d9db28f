#include "core/programmer/programmer_link.h"

#include <gtest/gtest.h>

#include "sim/gang_model.h"
#include "sim/programmer_model.h"
#include "support/link_rig.h"

namespace quillet {
namespace {

using test_support::LinkRig;
using test_support::ReplyDevice;
using V = std::vector<uint8_t>;
using S = std::vector<std::string>;
constexpr auto kToDevice = WireDirection::ToDevice;
constexpr auto kToHost = WireDirection::ToHost;
constexpr uint32_t kIcpPart = 110;

std::unique_ptr<sim::ProgrammerModel> Programmer(uint8_t type = 0xAB, uint16_t version = 0x0710) {
  return std::make_unique<sim::ProgrammerModel>(type, version);
}

void SetGang(LinkRig& rig) {
  rig.job.ProgrammerMode = kModeGang;
  DeriveModeFlags(rig.job);
}

TEST(ProgrammerLink, SearchOnTheRememberedPortAsksVersionThenType) {
  LinkRig rig;
  rig.Add(Programmer(0xAB));
  rig.Remember("sim:1");
  rig.job.PartCode = kIcpPart;
  EXPECT_EQ(rig.link.SearchProgrammer(), 1);
  EXPECT_EQ(rig.Wire(0, kToDevice), (V{0xC1, 0xC0}));
  EXPECT_EQ(rig.Wire(0, kToHost), (V{0xA5, 0x07, 0x10, 0xAB}));
  EXPECT_EQ(rig.link.ProgrammerTypeCode, 0xAB);
  EXPECT_EQ(rig.link.Variant, FirmwareVariant::Icp);
  EXPECT_EQ(rig.display.port_fields, S{"sim:1"});
  EXPECT_EQ(rig.display.types, S{"ICP"});
  EXPECT_EQ(rig.reporter.Texts(ReportEvent::Kind::Status), S{"Search Programmer..."});
  EXPECT_TRUE(rig.Failures().empty());
}

TEST(ProgrammerLink, SearchScansWhenTheRememberedPortFailsAndRemembersTheNewOne) {
  LinkRig rig;
  rig.Add(std::make_unique<sim::SilentDevice>());
  rig.Add(Programmer(0xAB));
  rig.Remember("/dev/quillet-none");
  rig.job.PartCode = kIcpPart;
  EXPECT_EQ(rig.link.SearchProgrammer(), 1);
  EXPECT_EQ(rig.Wire(0, kToDevice), V{0xC1});                // probed, silent
  EXPECT_EQ(rig.Wire(1, kToDevice), (V{0xC1, 0xC1, 0xC0}));  // probe, then the connection
  EXPECT_EQ(rig.job.PortName(), "sim:2");
  EXPECT_EQ(rig.display.port_fields, (S{"COM???", "sim:2", "sim:2"}));
  // 500 ms before the scan and 100 ms after it.
  EXPECT_GE(rig.clock.Now(), Millis(600));
}

TEST(ProgrammerLink, GangProgrammerIsNotFoundInSingleMode) {
  LinkRig rig;
  rig.Add(std::make_unique<sim::GangModel>(0x0710));
  rig.Remember("sim:1");
  EXPECT_EQ(rig.link.SearchProgrammer(), 0);
  EXPECT_EQ(rig.Failures(), S{"Programmer is not found !"});
  // Its 0xAF answer to 0xC1 fails the connection and both scans.
  EXPECT_EQ(rig.Wire(0, kToDevice), (V{0xC1, 0xC1, 0xC1}));
  EXPECT_FALSE(rig.port.IsOpen());
}

struct TypeCodeCase {
  const char* name;
  uint8_t type_code;
  uint32_t part_code;
  int result;
  const char* failure;  // "" for none
  const char* word;     // "" when the field is not set
};

class SearchTypeCode : public ::testing::TestWithParam<TypeCodeCase> {};

TEST_P(SearchTypeCode, MapsTheAnswerToAVariantOrAMessage) {
  const TypeCodeCase& c = GetParam();
  LinkRig rig;
  rig.Add(Programmer(c.type_code));
  rig.Remember("sim:1");
  rig.job.PartCode = c.part_code;
  EXPECT_EQ(rig.link.SearchProgrammer(), c.result);
  EXPECT_EQ(rig.Failures(), std::string(c.failure).empty() ? S{} : S{c.failure});
  EXPECT_EQ(rig.display.types, std::string(c.word).empty() ? S{} : S{c.word});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SearchTypeCode,
    ::testing::Values(TypeCodeCase{"GangCodeAskSelectGang", 0xAF, kIcpPart, 0,
                                   "Please select 'Gang' mode for Programmer Type !", ""},
                      TypeCodeCase{"UnknownCodeNotFound", 0xA1, kIcpPart, 0, "Programmer is not found !", ""},
                      TypeCodeCase{"C1IsIcpTessel", 0xC1, 136, 1, "", "ICP"},
                      TypeCodeCase{"C0IsIcpTessel", 0xC0, 136, 1, "", "ICP"},
                      TypeCodeCase{"C2IsIcpTessel", 0xC2, 136, 1, "", "ICP"},
                      TypeCodeCase{"HalvardRefusesIsp", 0xAE, 2, 0,
                                   "This programmer cannot support ISP device !", "ICP_Halvard"},
                      TypeCodeCase{"HalvardRefusesVelmari", 0xAE, 200, 0,
                                   "This programmer cannot support Velmari device !", "ICP_Halvard"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProgrammerLink, InfoOnlySearchIdentifiesWithoutCheckingThePart) {
  LinkRig rig;
  rig.Add(Programmer(0xA5));  // ISP only: refuses an ICP part
  rig.Remember("sim:1");
  rig.job.PartCode = kIcpPart;
  rig.link.InfoOnlySearch = true;
  EXPECT_EQ(rig.link.SearchProgrammer(), 1);
  EXPECT_EQ(rig.display.types, S{"ISP_only"});
  EXPECT_TRUE(rig.Failures().empty());
}

TEST(ProgrammerLink, GangSearchSendsOnlyTheTypeQuery) {
  LinkRig rig;
  SetGang(rig);
  rig.Add(std::make_unique<sim::GangModel>(0x0710));
  rig.Remember("sim:1");
  EXPECT_EQ(rig.link.SearchGangProgrammer(), 1);
  EXPECT_EQ(rig.Wire(0, kToDevice), V{0xC0});
  EXPECT_EQ(rig.reporter.Texts(ReportEvent::Kind::Status), S{"Search Gang Programmer..."});
}

TEST(ProgrammerLink, GangSearchScansWithTheTypeQuery) {
  LinkRig rig;
  SetGang(rig);
  rig.Add(std::make_unique<ReplyDevice>(V{}, V{0xA1}));
  rig.Add(std::make_unique<sim::GangModel>(0x0710));
  EXPECT_EQ(rig.link.SearchGangProgrammer(), 1);
  EXPECT_EQ(rig.Wire(0, kToDevice), V{0xC0});
  EXPECT_EQ(rig.Wire(1, kToDevice), (V{0xC0, 0xC0}));
  EXPECT_EQ(rig.job.PortName(), "sim:2");
}

TEST(ProgrammerLink, GangSearchRefusesASingleProgrammer) {
  LinkRig rig;
  SetGang(rig);
  rig.Add(Programmer(0xAB));
  rig.Remember("sim:1");
  EXPECT_EQ(rig.link.SearchGangProgrammer(), 0);
  EXPECT_EQ(rig.Failures(), S{"Please disable 'Gang' mode for Programmer Type !"});
}

TEST(ProgrammerLink, GangSearchWithoutAnyDevice) {
  LinkRig rig;
  SetGang(rig);
  rig.Add(std::make_unique<sim::SilentDevice>());
  EXPECT_EQ(rig.link.SearchGangProgrammer(), 0);
  EXPECT_EQ(rig.Failures(), S{"Gang Programmer is not found !"});
}

TEST(ProgrammerLink, SearchStatusNamesTheGangSocket) {
  EXPECT_EQ(SearchStatusText(false, 3), "Search Programmer...");
  EXPECT_EQ(SearchStatusText(true, 1), "Search Programmer <1 of 4>...");
  EXPECT_EQ(SearchStatusText(true, 4), "Search Programmer <4 of 4>...");
  EXPECT_EQ(SearchStatusText(true, 0), std::nullopt);
  EXPECT_EQ(SearchStatusText(true, 5), std::nullopt);
}

struct VersionCase {
  uint16_t version;
  VersionFlags single;  // flags after a single query, starting from all set
};

class VersionQuery : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionQuery, SetsEachFlagBelowItsThreshold) {
  const VersionCase& c = GetParam();
  LinkRig rig;
  rig.Add(Programmer(0xAB, c.version));
  ASSERT_EQ(rig.port.OpenPort("sim:1", 115200), 1);
  rig.link.Flags = {true, true, true, true, true, true, true};
  EXPECT_EQ(rig.link.QueryProgrammerVersion(), 1);
  EXPECT_EQ(rig.link.ProgrammerFirmwareVersion, c.version);
  EXPECT_EQ(rig.link.Flags, c.single);
  EXPECT_EQ(rig.Wire(0, kToDevice), V{0xC1});
  EXPECT_EQ(rig.Wire(0, kToHost),
            (V{0xA5, static_cast<uint8_t>(c.version >> 8), static_cast<uint8_t>(c.version)}));
}

// Columns: below 0490, 0501, 0505, 0524, 0601, 0614, and the gang flag 0119 (untouched: stays set).
INSTANTIATE_TEST_SUITE_P(
    Thresholds, VersionQuery,
    ::testing::Values(VersionCase{0x0489, {true, true, true, true, true, true, true}},
                      VersionCase{0x0490, {false, true, true, true, true, true, true}},
                      VersionCase{0x0500, {false, true, true, true, true, true, true}},
                      VersionCase{0x0501, {false, false, true, true, true, true, true}},
                      VersionCase{0x0505, {false, false, false, true, true, true, true}},
                      VersionCase{0x0523, {false, false, false, true, true, true, true}},
                      VersionCase{0x0524, {false, false, false, false, true, true, true}},
                      VersionCase{0x0601, {false, false, false, false, false, true, true}},
                      VersionCase{0x0613, {false, false, false, false, false, true, true}},
                      VersionCase{0x0614, {false, false, false, false, false, false, true}},
                      VersionCase{0x0710, {false, false, false, false, false, false, true}}));

TEST(ProgrammerLink, GangVersionSetsOnlyTheGangFlags) {
  struct {
    uint16_t version;
    bool below0601, below0119;
  } const cases[] = {
      {0x0118, true, true}, {0x0119, true, false}, {0x0600, true, false}, {0x0601, false, false}};
  for (const auto& c : cases) {
    LinkRig rig;
    rig.Add(std::make_unique<sim::GangModel>(c.version));
    ASSERT_EQ(rig.port.OpenPort("sim:1", 115200), 1);
    rig.link.Flags = {true, true, true, true, false, true, false};
    EXPECT_EQ(rig.link.QueryGangVersion(), 1);
    const VersionFlags expected{true, true, true, true, c.below0601, true, c.below0119};
    EXPECT_EQ(rig.link.Flags, expected) << std::hex << c.version;
    EXPECT_EQ(rig.Wire(0, kToHost)[0], 0xAF);
  }
}

TEST(ProgrammerLink, FailedVersionQueryKeepsTheOldVersionAndFlags) {
  LinkRig rig;
  rig.Add(std::make_unique<sim::SilentDevice>());
  ASSERT_EQ(rig.port.OpenPort("sim:1", 115200), 1);
  rig.link.ProgrammerFirmwareVersion = 0x0614;
  rig.link.Flags.FwBelow0490 = true;
  EXPECT_EQ(rig.link.QueryProgrammerVersion(), 0);
  EXPECT_EQ(rig.Failures(), S{"No response from Programmer !"});
  EXPECT_EQ(rig.link.ProgrammerFirmwareVersion, 0x0614);
  EXPECT_TRUE(rig.link.Flags.FwBelow0490);
}

TEST(ProgrammerLink, CheckFirmwareAtTheExpectedVersionChangesNothing) {
  LinkRig rig;
  auto& device = rig.Add(Programmer(0xAB, 0x0710));
  rig.Remember("sim:1");
  rig.job.PartCode = kIcpPart;
  ASSERT_EQ(rig.link.SearchProgrammer(), 1);
  EXPECT_EQ(rig.link.CheckProgrammerFirmware(), 0);
  EXPECT_EQ(rig.Wire(0, kToDevice), (V{0xC1, 0xC0, 0xC1}));
  EXPECT_EQ(device.transfers(), 0);
}

TEST(ProgrammerLink, CheckFirmwareUpdatesAnOlderVersionWithTheSameVariant) {
  LinkRig rig;
  auto& device = rig.Add(Programmer(0xAB, 0x0700));
  rig.Remember("sim:1");
  rig.job.PartCode = kIcpPart;
  ASSERT_EQ(rig.link.SearchProgrammer(), 1);
  EXPECT_EQ(rig.link.CheckProgrammerFirmware(), 1);
  EXPECT_TRUE(rig.Failures().empty());
  EXPECT_EQ(device.transfers(), 1);
  EXPECT_EQ(device.type_code(), 0xAB);
  EXPECT_EQ(device.version(), 0x0710);
}

TEST(ProgrammerLink, CheckFirmwareReturnsOneEvenWhenTheUpdateFails) {
  LinkRig rig;
  rig.Add(Programmer(0xAB, 0x0700), {{{sim::FaultKind::WrongAck, 2}}});  // the 0xC5 acknowledge
  ASSERT_EQ(rig.port.OpenPort("sim:1", 115200), 1);
  rig.link.Variant = FirmwareVariant::Icp;
  EXPECT_EQ(rig.link.CheckProgrammerFirmware(), 1);
  EXPECT_EQ(rig.Failures(), (S{"Response error !", "Update programmer error !"}));
}

TEST(ProgrammerLink, CheckGangFirmwareLeavesOldAndCurrentControllersAlone) {
  for (uint16_t version : {uint16_t{0x0118}, uint16_t{0x0710}}) {
    LinkRig rig;
    auto& gang = rig.Add(std::make_unique<sim::GangModel>(version));
    ASSERT_EQ(rig.port.OpenPort("sim:1", 115200), 1);
    EXPECT_EQ(rig.link.CheckGangFirmware(), 0);
    EXPECT_EQ(rig.Wire(0, kToDevice), V{0xC1});
    EXPECT_EQ(gang.transfers(), 0);
  }
}

TEST(ProgrammerLink, CheckGangFirmwareUpdatesTheController) {
  LinkRig rig;
  auto& gang = rig.Add(std::make_unique<sim::GangModel>(0x0700));
  ASSERT_EQ(rig.port.OpenPort("sim:1", 115200), 1);
  EXPECT_EQ(rig.link.CheckGangFirmware(), 1);
  EXPECT_TRUE(rig.Failures().empty());
  EXPECT_EQ(gang.transfers(), 1);
  EXPECT_EQ(gang.version(), 0x0710);
}

}  // namespace
}  // namespace quillet
