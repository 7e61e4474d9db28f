#include <gtest/gtest.h>

#include <numeric>

#include "core/programmer/programmer_link.h"
#include "sim/firmware_image.h"
#include "sim/gang_model.h"
#include "sim/programmer_model.h"
#include "support/link_rig.h"

namespace quillet {
namespace {

using test_support::Join;
using test_support::kRigFirmwareVersion;
using test_support::LinkRig;
using V = std::vector<uint8_t>;
using S = std::vector<std::string>;
using Kind = ReportEvent::Kind;
constexpr auto kToDevice = WireDirection::ToDevice;
constexpr auto kToHost = WireDirection::ToHost;
constexpr char kIcpFile[] = "v0710_MainMCU_ICP.DAT";
constexpr char kNote[] = "!!! Note: Don't disconnect the Programmer while updating is in process...";

// A rig with an ICP Programmer at firmware 0x0700 on an open port, its variant known.
struct UpdateRig : LinkRig {
  explicit UpdateRig(sim::FaultPlan faults = {})
      : device(Add(std::make_unique<sim::ProgrammerModel>(0xAB, 0x0700), std::move(faults))) {
    port.OpenPort("sim:1", 115200);
    link.Variant = FirmwareVariant::Icp;
  }
  void WriteFirmware(const std::string& file, const V& bytes) {
    ASSERT_TRUE(sim::WriteBytes(FirmwarePath(file), bytes));
  }
  int Count(Kind kind) const {
    int n = 0;
    for (const auto& event : reporter.Events()) n += event.kind == kind;
    return n;
  }
  sim::ProgrammerModel& device;
};

// The trace as runs of bytes going the same way: +n to the device, -n to the host.
std::vector<int> Runs(const std::vector<WireEvent>& events) {
  std::vector<int> runs;
  for (const auto& event : events) {
    const int sign = event.direction == kToDevice ? 1 : -1;
    if (runs.empty() || (runs.back() > 0) != (sign > 0)) runs.push_back(0);
    runs.back() += sign;
  }
  return runs;
}

V Sum24(const V& image) {
  const uint32_t sum = std::accumulate(image.begin(), image.end(), uint32_t{0});
  return {static_cast<uint8_t>(sum >> 16), static_cast<uint8_t>(sum >> 8), static_cast<uint8_t>(sum)};
}

TEST(FirmwareUpdate, TenThousandBytesGoAsThirtyNinePlusOneBlocksWithEightyAcknowledges) {
  UpdateRig rig;
  const V image = sim::MakeFirmwareImage({0xAB, 0x0710}, 10000);
  rig.WriteFirmware(kIcpFile, sim::ScrambledFile(image));
  EXPECT_EQ(rig.link.UpdateProgrammerFirmware(), 1);

  EXPECT_EQ(rig.Wire(0, kToDevice), Join({{0xC5, 0x27, 0x0F}, Sum24(image), image}));
  EXPECT_EQ(rig.Wire(0, kToHost), Join({V(82, 0xA5), Sum24(image)}));
  std::vector<int> runs = {1, -1, 5, -1};
  for (int block = 0; block < 39; ++block) runs.insert(runs.end(), {256, -1});
  runs.insert(runs.end(), {16, -(1 + 40 + 3)});
  EXPECT_EQ(Runs(rig.WireEvents(0)), runs);

  const auto events = rig.reporter.Events();
  EXPECT_NE(std::find(events.begin(), events.end(), ReportEvent{Kind::Range, "", 0, 80}), events.end());
  EXPECT_EQ(rig.Count(Kind::StepIt), 80);
  EXPECT_EQ(rig.reporter.Texts(Kind::Status), (S{kNote, "Ready..."}));
  EXPECT_EQ(rig.display.types, S{"ICP"});
  EXPECT_EQ(rig.device.version(), 0x0710);
  EXPECT_EQ(rig.device.last_image(), image);
  EXPECT_TRUE(rig.Failures().empty());
}

TEST(FirmwareUpdate, HeaderBytesArePacedAndTheEndWaitsTwoSeconds) {
  UpdateRig rig;
  rig.WriteFirmware(kIcpFile, V(600, 0x33));
  ASSERT_EQ(rig.link.UpdateProgrammerFirmware(), 1);
  std::vector<Micros> sent;
  for (const auto& event : rig.WireEvents(0)) {
    if (event.direction == kToDevice) sent.push_back(event.time);
  }
  for (int i = 2; i <= 5; ++i) EXPECT_GE(sent[i] - sent[i - 1], Millis(1)) << i;  // header bytes 1..5
  EXPECT_GE(sent[6] - sent[5], Millis(500));                                      // first block
  EXPECT_GE(rig.clock.NowMicros() - rig.WireEvents(0).back().time, Millis(2000));
}

TEST(FirmwareUpdate, ThreeRangesAreComplementedBeforeSending) {
  UpdateRig rig;
  rig.WriteFirmware(kIcpFile, V(10600, 0x00));
  ASSERT_EQ(rig.link.UpdateProgrammerFirmware(), 1);
  V expected(10600, 0x00);
  for (auto [first, last] : {std::pair{3, 255}, {2051, 2303}, {10243, 10495}}) {
    std::fill(expected.begin() + first, expected.begin() + last + 1, 0xFF);
  }
  // Last index 10599; sum 3 x 253 x 0xFF = 193545.
  EXPECT_EQ(rig.Wire(0, kToDevice), Join({{0xC5, 0x29, 0x67, 0x02, 0xF4, 0x09}, expected}));
}

TEST(FirmwareUpdate, RestoringStopsAtTheEndOfTheFile) {
  struct {
    std::size_t length;
    std::vector<std::size_t> complemented;  // first and last offsets of each complemented run
  } const cases[] = {{3, {}},
                     {4, {3, 3}},
                     {2051, {3, 255}},
                     {2052, {3, 255, 2051, 2051}},
                     {10244, {3, 255, 2051, 2303, 10243, 10243}}};
  for (const auto& c : cases) {
    std::vector<uint8_t> data(kFirmwareBufferSize, 0x00);
    RestoreScrambledRanges(data, c.length);
    V expected(kFirmwareBufferSize, 0x00);
    for (std::size_t i = 0; i < c.complemented.size(); i += 2) {
      std::fill(expected.begin() + c.complemented[i], expected.begin() + c.complemented[i + 1] + 1, 0xFF);
    }
    EXPECT_EQ(data, expected) << c.length;
  }
}

TEST(FirmwareUpdate, BlockCountFollowsTheLength) {
  struct {
    std::size_t size;
    int blocks;
  } const cases[] = {{1, 1}, {256, 1}, {257, 2}, {2048, 8}, {14336, 56}};
  for (const auto& c : cases) {
    UpdateRig rig;
    rig.WriteFirmware(kIcpFile, V(c.size, 0x5C));
    ASSERT_EQ(rig.link.UpdateProgrammerFirmware(), 1) << c.size;
    const auto events = rig.reporter.Events();
    EXPECT_NE(std::find(events.begin(), events.end(), ReportEvent{Kind::Range, "", 0, 2 * c.blocks}),
              events.end());
    EXPECT_EQ(rig.Wire(0, kToHost).size(), 2u + 2u * c.blocks + 3u) << c.size;
  }
}

TEST(FirmwareUpdate, FilesThatDoNotFitAreRefusedBeforeAnythingIsSent) {
  struct {
    std::size_t size;
    const char* message_end;
  } const cases[] = {{14337, " is larger than 14336 bytes !"},
                     {100000, " is larger than 14336 bytes !"},
                     {0, " is empty !"}};
  for (const auto& c : cases) {
    UpdateRig rig;
    rig.WriteFirmware(kIcpFile, V(c.size, 0x01));
    EXPECT_EQ(rig.link.UpdateProgrammerFirmware(), 0);
    EXPECT_EQ(rig.Failures(), S{rig.FirmwarePath(kIcpFile) + c.message_end});
    EXPECT_TRUE(rig.Wire(0, kToDevice).empty());
    EXPECT_EQ(rig.display.cancels, 0);
  }
}

TEST(FirmwareUpdate, MissingFileRunsTheCancelPathAndNothingMoreIsReported) {
  LinkRig rig;
  rig.Add(std::make_unique<sim::ProgrammerModel>(0xAB, 0x0710));  // ICP, needs switching to ISP
  rig.Remember("sim:1");
  rig.job.PartCode = 2;
  std::filesystem::remove(rig.FirmwarePath("v0710_MainMCU_ISP.DAT"));
  EXPECT_EQ(rig.link.SearchProgrammer(), 0);
  EXPECT_EQ(rig.Failures(), S{rig.FirmwarePath("v0710_MainMCU_ISP.DAT") + " cannot be opened !"});
  EXPECT_EQ(rig.display.cancels, 1);
  EXPECT_EQ(rig.Wire(0, kToDevice), (V{0xC1, 0xC0}));
}

TEST(FirmwareUpdate, WithoutAVariantThePathIsEmpty) {
  UpdateRig rig;
  rig.link.Variant.reset();
  EXPECT_EQ(rig.link.UpdateProgrammerFirmware(), 0);
  EXPECT_EQ(rig.Failures(), S{" cannot be opened !"});
}

TEST(FirmwareUpdate, ReturnedSumThatDiffersFails) {
  // To the host: 0xA5 for 0xC5, for the header, 3 + 3 block acknowledges, then the sum: byte 9.
  UpdateRig rig({{{sim::FaultKind::CorruptToHost, 9}}});
  rig.WriteFirmware(kIcpFile, V(600, 0x21));
  EXPECT_EQ(rig.link.UpdateProgrammerFirmware(), 0);
  EXPECT_EQ(rig.Failures(), S{"Programmer's storage checksum error !"});
}

TEST(FirmwareUpdate, FwUpdateSendsTheSameVariantAgain) {
  LinkRig rig;
  auto& device = rig.Add(std::make_unique<sim::ProgrammerModel>(0xAB, 0x0710));
  rig.Remember("sim:1");
  rig.job.PartCode = 110;
  rig.link.OnFwUpdate();
  EXPECT_EQ(rig.StrictRefusals(0), 0u);  // every pause kept, on the wire
  EXPECT_EQ(device.transfers(), 1);
  EXPECT_EQ(sim::ReadFirmwareIdentity(device.last_image())->type_code, 0xAB);
  EXPECT_FALSE(rig.link.ForceFirmwareUpdate);
  EXPECT_EQ(rig.reporter.Texts(Kind::Pass), S{"Programmer's firmware is successfully updated !"});
}

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

TEST(FirmwareUpdate, FwUpdateThatFailsShowsNoPass) {
  LinkRig rig;
  rig.Add(std::make_unique<sim::ProgrammerModel>(0xA5, 0x0710));  // ISP only refuses an ICP part
  rig.Remember("sim:1");
  rig.job.PartCode = 110;
  rig.link.OnFwUpdate();
  EXPECT_TRUE(rig.reporter.Texts(Kind::Pass).empty());
  EXPECT_EQ(rig.Failures(), S{"This programmer cannot support ICP device !"});
}

TEST(FirmwareUpdate, GangControllerGetsSixteenPaddedBlocksAndTheMarkerAfterTheEighth) {
  LinkRig rig;
  auto& gang = rig.Add(std::make_unique<sim::GangModel>(0x0700));
  ASSERT_EQ(rig.port.OpenPort("sim:1", 115200), 1);
  ASSERT_TRUE(sim::WriteBytes(rig.FirmwarePath("v0710_GangMCU.DAT"), V(1000, 0x11)));
  EXPECT_EQ(rig.link.UpdateGangFirmware(), 1);

  V image(1000, 0x11);
  image.resize(4096, 0xFF);
  EXPECT_EQ(
      rig.Wire(0, kToDevice),
      Join({{0xC5}, V(image.begin(), image.begin() + 2048), {0x5A}, V(image.begin() + 2048, image.end())}));
  EXPECT_EQ(rig.Wire(0, kToHost), V(17, 0xAF));
  EXPECT_EQ(gang.last_image(), image);
  EXPECT_EQ(rig.StrictRefusals(0), 0u);
  std::vector<Micros> sent;
  for (const auto& event : rig.WireEvents(0)) {
    if (event.direction == kToDevice) sent.push_back(event.time);
  }
  EXPECT_GE(sent[2050] - sent[2049], Millis(251));  // the marker, then block 8
  const auto events = rig.reporter.Events();
  EXPECT_NE(std::find(events.begin(), events.end(), ReportEvent{Kind::Range, "", 0, 16}), events.end());
  EXPECT_GE(rig.clock.NowMicros() - rig.WireEvents(0).back().time, Millis(2000));
}

TEST(FirmwareUpdate, AnyFileSizeStaysInsideTheBuffer) {
  const std::size_t sizes[] = {0,    1,    2,    3,    4,     5,     255,   256,   257,   2051,  2052,
                               2303, 2304, 4096, 4097, 10243, 10495, 10496, 14335, 14336, 14337, 30000};
  uint32_t state = 12345;
  for (std::size_t size : sizes) {
    V content(size);
    for (auto& byte : content) byte = static_cast<uint8_t>((state = state * 1103515245u + 12345u) >> 16);
    const bool fits = size <= kFirmwareBufferSize;
    {
      UpdateRig rig;
      rig.WriteFirmware(kIcpFile, content);
      EXPECT_EQ(rig.link.UpdateProgrammerFirmware(), fits && size > 0 ? 1 : 0) << size;
    }
    {
      LinkRig rig;
      rig.Add(std::make_unique<sim::GangModel>(0x0700));
      rig.port.OpenPort("sim:1", 115200);
      ASSERT_TRUE(sim::WriteBytes(rig.FirmwarePath("v0710_GangMCU.DAT"), content));
      EXPECT_EQ(rig.link.UpdateGangFirmware(), fits ? 1 : 0) << size;
    }
  }
}

}  // namespace
}  // namespace quillet
