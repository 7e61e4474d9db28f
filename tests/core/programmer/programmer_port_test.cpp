#include "core/programmer/programmer_port.h"

#include <gtest/gtest.h>

#include "sim/programmer_model.h"
#include "support/link_rig.h"

namespace quillet {
namespace {

using test_support::LinkRig;
using test_support::ReplyDevice;
using V = std::vector<uint8_t>;

std::unique_ptr<sim::ProgrammerModel> Programmer(uint8_t type = 0xAB, uint16_t version = 0x0710) {
  return std::make_unique<sim::ProgrammerModel>(type, version);
}

struct ProbeCase {
  const char* name;
  ProbeKind probe;
  V reply;  // what the device answers to any byte
  bool accepted;
};

class FindProgrammerPortProbe : public ::testing::TestWithParam<ProbeCase> {};

TEST_P(FindProgrammerPortProbe, AcceptsOnlyProgrammerAnswers) {
  const ProbeCase& c = GetParam();
  LinkRig rig;
  rig.Add(std::make_unique<ReplyDevice>(V{}, c.reply));
  EXPECT_EQ(FindProgrammerPort(rig.port, rig.job.ProgrammerPortName, c.probe), c.accepted ? 1 : 0);
  EXPECT_EQ(rig.port.IsOpen(), c.accepted);
  EXPECT_EQ(rig.job.PortName(), c.accepted ? "sim:1" : "");
  EXPECT_EQ(rig.Wire(0, WireDirection::ToDevice),
            V{c.probe == ProbeKind::Type ? uint8_t{0xC0} : uint8_t{0xC1}});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindProgrammerPortProbe,
    ::testing::Values(ProbeCase{"TypeA1PassedOver", ProbeKind::Type, {0xA1}, false},
                      ProbeCase{"TypeAFAccepted", ProbeKind::Type, {0xAF}, true},
                      ProbeCase{"TypeB5Accepted", ProbeKind::Type, {0xB5}, true},
                      ProbeCase{"TypeC1PassedOver", ProbeKind::Type, {0xC1}, false},
                      ProbeCase{"VersionA5AloneAccepted", ProbeKind::Version, {0xA5}, true},
                      ProbeCase{"VersionA5WithVersionAccepted", ProbeKind::Version, {0xA5, 0x07, 0x10}, true},
                      ProbeCase{"VersionAFPassedOver", ProbeKind::Version, {0xAF, 0x07, 0x10}, false},
                      ProbeCase{"SilentPassedOver", ProbeKind::Version, {}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProgrammerPort, FindSkipsSilentPortsAndLeavesTheFoundPortAtTwoStopBits) {
  LinkRig rig;
  rig.Add(std::make_unique<sim::SilentDevice>());
  rig.Add(std::make_unique<ReplyDevice>(V{}, V{0xA1}));
  rig.Add(Programmer());
  ASSERT_EQ(FindProgrammerPort(rig.port, rig.job.ProgrammerPortName, ProbeKind::Type), 1);
  EXPECT_EQ(rig.port.OpenPortName(), "sim:3");
  EXPECT_EQ(rig.job.PortName(), "sim:3");
  EXPECT_EQ(rig.port.Line().baud_rate, 115200u);
  EXPECT_EQ(rig.port.Line().stop_bits, StopBits::Two);
  EXPECT_EQ(rig.port.Timeouts(), kStandardTimeouts);
  // A silent port costs the 10 ms drain read and the 11 ms probe read.
  EXPECT_LT(rig.clock.Now(), Millis(60));
  EXPECT_EQ(OpenProgrammerPort(rig.port, rig.job.ProgrammerPortName), 1);
  EXPECT_EQ(rig.port.Line().stop_bits, StopBits::One);
}

TEST(ProgrammerPort, DrainHoldsAChattyPortUntilItFallsSilent) {
  LinkRig rig;
  // 400 bytes at power-up take about 35 ms on the wire; the port is opened while they still come.
  rig.Add(std::make_unique<ReplyDevice>(V(400, 0x55), V{0xAB}));
  rig.clock.Advance(Millis(5));
  ASSERT_EQ(FindProgrammerPort(rig.port, rig.job.ProgrammerPortName, ProbeKind::Type), 1);
  EXPECT_GT(rig.clock.Now(), Millis(34));
}

TEST(ProgrammerPort, FindFailsAndClosesWhenNoPortAnswers) {
  LinkRig rig;
  rig.Add(std::make_unique<sim::SilentDevice>());
  rig.Remember("sim:9");
  EXPECT_EQ(FindProgrammerPort(rig.port, rig.job.ProgrammerPortName, ProbeKind::Version), 0);
  EXPECT_FALSE(rig.port.IsOpen());
  EXPECT_EQ(rig.job.PortName(), "sim:9");
}

}  // namespace
}  // namespace quillet
