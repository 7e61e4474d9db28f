#include <gtest/gtest.h>

#include "core/programmer/programmer_link.h"
#include "sim/programmer_model.h"
#include "support/link_rig.h"

namespace quillet {
namespace {

using test_support::kRigFirmwareVersion;
using test_support::LinkRig;
using Kind = ReportEvent::Kind;
using V = std::vector<uint8_t>;

// A program that dies inside a transfer leaves the Programmer waiting for the rest. After its
// stall time of silence the Programmer gives the transfer up and answers again with its old
// firmware, and FwUpdate reflashes it; back sooner, the program's bytes are taken as image data.
TEST(FirmwareUpdate, AProgrammerCutOffMidTransferRecoversAfterItsStallTime) {
  struct {
    Millis away;
    std::size_t passes;
    int abandoned;
  } const cases[] = {{Millis(2500), 1, 1}, {Millis(1000), 0, 0}};
  for (const auto& c : cases) {
    LinkRig rig;
    auto& device = rig.Add(std::make_unique<sim::ProgrammerModel>(0xAB, 0x0700));
    rig.Remember("sim:1");
    rig.job.PartCode = 110;
    ASSERT_EQ(rig.port.OpenPort("sim:1", 115200), 1);
    uint8_t ack = 0;
    for (const uint8_t byte : {0xC5, 0x02, 0x57, 0x00, 0x12, 0x34}) {  // command and header, paced
      rig.port.WriteByte(byte);
      rig.port.Drain();
      rig.clock.Sleep(Millis(byte == 0x34 ? 500 : 1));
      if (byte == 0xC5) rig.port.ReadByte(ack);
    }
    rig.port.ReadByte(ack);
    rig.port.WriteBlock(V(100, 0x00));  // the program dies in the first block
    rig.port.ClosePort();
    rig.clock.Sleep(c.away);

    rig.link.OnFwUpdate();
    EXPECT_EQ(rig.reporter.Texts(Kind::Pass).size(), c.passes) << c.away.count();
    EXPECT_EQ(device.abandoned(), c.abandoned) << c.away.count();
    EXPECT_EQ(device.version(), c.passes ? kRigFirmwareVersion : 0x0700) << c.away.count();
    EXPECT_EQ(rig.StrictRefusals(0), 0u);
  }
}

}  // namespace
}  // namespace quillet
