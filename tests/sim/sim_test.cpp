// The simulator: byte times and queueing on the line, lost bytes at another rate, a cut line;
// firmware images, their files and identity; fault plans as text. A transfer given up after a
// silence is in tests/core/programmer/stalled_transfer_test.cpp.
#include <gtest/gtest.h>

#include "sim/fault_plan.h"
#include "sim/firmware_image.h"
#include "sim/programmer_model.h"
#include "sim/sim_engine.h"

namespace quillet::sim {
namespace {

using V = std::vector<uint8_t>;

LineSettings Line(uint32_t baud, Parity parity = Parity::None, StopBits stop = StopBits::One) {
  LineSettings line = ProgrammerLine();
  line.baud_rate = baud;
  line.parity = parity;
  line.stop_bits = stop;
  return line;
}

// Everything the host receives by `limit`, with arrival times.
std::vector<std::pair<long long, uint8_t>> Received(SimEngine& engine, Micros limit = Millis(100)) {
  std::vector<std::pair<long long, uint8_t>> got;
  while (const auto at = engine.NextOutput(limit)) got.emplace_back(at->count(), engine.PopOutput());
  return got;
}

V Values(const std::vector<std::pair<long long, uint8_t>>& received) {
  V values;
  for (const auto& [at, value] : received) values.push_back(value);
  return values;
}

TEST(SimEngine, ByteTimeCountsStartDataParityAndStopBits) {
  EXPECT_EQ(ByteTime(Line(115200)), Micros(87));                               // 10 bits: 86.8 us
  EXPECT_EQ(ByteTime(Line(115200, Parity::None, StopBits::Two)), Micros(96));  // 11 bits
  EXPECT_EQ(ByteTime(Line(115200, Parity::Even)), Micros(96));
  EXPECT_EQ(ByteTime(Line(9600)), Micros(1042));
}

TEST(SimEngine, RepliesLeaveAfterTheCommandArrivedAndTakeTheirWireTime) {
  ProgrammerModel device(0xAB, 0x0710);
  WireTrace trace;
  SimEngine engine(device, {}, &trace);
  const V command = {0xC1};
  engine.HostWrite(command, Micros(1000));
  const auto got = Received(engine);
  const std::vector<std::pair<long long, uint8_t>> expected = {{1174, 0xA5}, {1261, 0x07}, {1348, 0x10}};
  EXPECT_EQ(got, expected);
  EXPECT_EQ(trace.Events().front(), (WireEvent{Micros(1087), WireDirection::ToDevice, 0xC1}));
  EXPECT_FALSE(engine.NextOutput(Millis(1)));  // nothing is due before it arrives
}

TEST(SimEngine, BytesQueueBehindEachOtherOnTheLine) {
  ProgrammerModel device(0xAB, 0x0710);
  SimEngine engine(device);
  const V commands = {0xC0, 0xC0};
  engine.HostWrite(commands, Micros(0));
  // The second command arrives at 174 us, while the first answer is on the line (87..174).
  const std::vector<std::pair<long long, uint8_t>> expected = {{174, 0xAB}, {261, 0xAB}};
  EXPECT_EQ(Received(engine), expected);
}

TEST(SimEngine, AByteAtAnotherRateIsLost) {
  ProgrammerModel device(0xAB, 0x0710);
  SimEngine engine(device);
  engine.SetHostLine(Line(9600));
  const V command = {0xC0};
  engine.HostWrite(command, Micros(0));
  engine.SetHostLine(Line(115200));
  EXPECT_TRUE(Received(engine).empty());
  engine.HostWrite(command, Millis(5));
  EXPECT_EQ(Values(Received(engine)), V{0xAB});
  // An answer sent while the host listens at another rate is lost as well.
  engine.HostWrite(command, Millis(10));
  engine.SetHostLine(Line(9600));
  EXPECT_TRUE(Received(engine).empty());
}

// Every fault kind is injected in the link scenarios (tests/core/programmer), whose transcripts
// show exactly which byte each one changes.
TEST(SimEngine, ACutLineRefusesEverythingAfterwards) {
  ProgrammerModel device(0xAB, 0x0710);
  SimEngine engine(device, {{{FaultKind::DisconnectAfter, 1}}});
  const V command = {0xC0};
  engine.HostWrite(command, Micros(0));
  EXPECT_FALSE(engine.Disconnected());  // not yet arrived
  engine.RunUntil(Millis(1));
  EXPECT_TRUE(engine.Disconnected());
  engine.HostWrite(command, Millis(2));
  EXPECT_TRUE(Received(engine).empty());
  EXPECT_EQ(engine.BytesToDevice(), 1u);
}

// Host bytes written at given times (microseconds).
struct Write {
  long long at;
  V bytes;
};

void HostWrites(SimEngine& engine, const std::vector<Write>& writes) {
  for (const Write& write : writes) engine.HostWrite(write.bytes, Micros(write.at));
}

// At 115200 baud 8N1 a byte takes 87 us: a byte written at t ends at t + 87.
struct StrictCase {
  const char* name;
  long long slack;
  std::vector<Write> writes;
  uint64_t refused;
  V replies;
};

class Strictness : public ::testing::TestWithParam<StrictCase> {};

TEST_P(Strictness, RefusesABytePastTheSlackInsideAPause) {
  const StrictCase& c = GetParam();
  ProgrammerModel device(0xAB, 0x0710);
  SimEngine engine(device);
  engine.SetStrict(true, Micros(c.slack));
  HostWrites(engine, c.writes);
  EXPECT_EQ(Values(Received(engine, Millis(2000))), c.replies);
  EXPECT_EQ(engine.StrictRefusals(), c.refused);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Strictness,
    ::testing::Values(
        // 0xC1 ends at 87; the next byte may start 1 ms later.
        StrictCase{"AfterTheVersionQuery", 0, {{0, {0xC1}}, {1087, {0xC0}}}, 0, {0xA5, 0x07, 0x10, 0xAB}},
        StrictCase{"InsideThePauseAfterIt", 0, {{0, {0xC1}}, {1086, {0xC0}}}, 1, {0xA5, 0x07, 0x10}},
        StrictCase{"InsideButWithinTheSlack", 300, {{0, {0xC1}}, {800, {0xC0}}}, 0, {0xA5, 0x07, 0x10, 0xAB}},
        StrictCase{"NoPauseAfterTheTypeQuery", 0, {{0, {0xC0, 0xC0}}}, 0, {0xAB, 0xAB}},
        // Header bytes 1 ms apart and 500 ms before the first block: the second header byte comes
        // too soon and is refused, so the rest of the header is taken out of place.
        StrictCase{"HeaderUnpaced", 0, {{0, {0xC5}}, {1087, {0x00, 0x01, 0x00, 0x00, 0x01}}}, 4, {0xA5}},
        // clang-format off
        StrictCase{"HeaderPaced", 0,
                   {{0, {0xC5}}, {1087, {0x00}}, {2174, {0x01}}, {3261, {0x00}}, {4348, {0x00}},
                    {5435, {0x01}}, {505522, {0x01, 0x00}}},
                   0, {0xA5, 0xA5, 0xA5, 0xA5, 0x00, 0x00, 0x01}}),
    // clang-format on
    [](const auto& info) { return std::string(info.param.name); });

TEST(SimEngine, TheDeviceTakesItsTimeToAnswer) {
  ProgrammerModel device(0xAB, 0x0710);
  device.SetTiming({Millis(5)});
  SimEngine engine(device);
  engine.HostWrite(V{0xC0}, Micros(0));
  const std::vector<std::pair<long long, uint8_t>> expected = {{87 + 5000 + 87, 0xAB}};
  EXPECT_EQ(Received(engine), expected);
}

// After a transfer the Programmer restarts as the new firmware and hears nothing meanwhile.
TEST(SimEngine, BytesWhileTheDeviceRestartsAreLost) {
  ProgrammerModel device(0xAB, 0x0700);
  device.SetTiming({Micros(0), Millis(1000)});
  SimEngine engine(device);
  const V image = MakeFirmwareImage({0xAB, 0x0710}, 100);
  uint32_t sum = 0;
  for (uint8_t byte : image) sum += byte;
  const V header = {0xC5,
                    0x00,
                    99,
                    static_cast<uint8_t>(sum >> 16),
                    static_cast<uint8_t>(sum >> 8),
                    static_cast<uint8_t>(sum)};
  engine.HostWrite(header, Micros(0));
  engine.HostWrite(image, Millis(1));
  EXPECT_EQ(Received(engine, Millis(100)).size(), 2u + 2u + 3u);
  const V query = {0xC1};
  engine.HostWrite(query, Millis(500));  // the restart ends about 1010 ms in
  EXPECT_TRUE(Received(engine, Millis(1000)).empty());
  engine.HostWrite(query, Millis(1100));
  EXPECT_EQ(Values(Received(engine, Millis(2000))), (V{0xA5, 0x07, 0x10}));
}

TEST(FirmwareImage, CarriesItsIdentityAtOffsetSixteen) {
  const V image = MakeFirmwareImage({0xB4, 0x0710}, 100);
  EXPECT_EQ(V(image.begin() + 16, image.begin() + 22), (V{'Q', 'F', 'W', 0xB4, 0x07, 0x10}));
  EXPECT_EQ(ReadFirmwareIdentity(image), (FirmwareIdentity{0xB4, 0x0710}));
  EXPECT_FALSE(ReadFirmwareIdentity(MakeFirmwareImage({0xB4, 0x0710}, 21)));
  V damaged = image;
  damaged[17] = 'X';
  EXPECT_FALSE(ReadFirmwareIdentity(damaged));
}

TEST(FirmwareImage, FilesStoreTheThreeRangesComplemented) {
  const V image = MakeFirmwareImage({0xAB, 0x0700}, 10400);
  const V file = ScrambledFile(image);
  for (std::size_t i = 0; i < image.size(); ++i) {
    const bool scrambled = (i >= 3 && i <= 255) || (i >= 2051 && i <= 2303) || (i >= 10243 && i <= 10399);
    ASSERT_EQ(file[i], scrambled ? static_cast<uint8_t>(~image[i]) : image[i]) << i;
  }
}

TEST(FaultPlan, ParsesKindAndCount) {
  EXPECT_EQ(ParseFault("drop-to-device:5"), (Fault{FaultKind::DropToDevice, 5}));
  EXPECT_EQ(ParseFault("silent-after:0"), (Fault{FaultKind::SilentAfter, 0}));
  EXPECT_EQ(ParseFault("disconnect-after:2050"), (Fault{FaultKind::DisconnectAfter, 2050}));
  for (const char* bad :
       {"drop-to-device", "drop-to-device:", "drop:5", "wrong-ack:-1", "wrong-ack:5x", ""}) {
    EXPECT_FALSE(ParseFault(bad)) << bad;
  }
  for (const char* text : {"corrupt-to-device:1", "drop-to-host:2", "corrupt-to-host:3", "extra-to-host:4",
                           "wrong-ack:9", "sum-error:1", "wrong-sync:2", "bad-report:3"}) {
    EXPECT_EQ(FaultText(*ParseFault(text)), text);
  }
  const FaultPlan plan{{{FaultKind::WrongAck, 7}, {FaultKind::WrongAck, 3}}};
  EXPECT_TRUE(plan.Has(FaultKind::WrongAck, 3));
  EXPECT_FALSE(plan.Has(FaultKind::WrongAck, 4));
  EXPECT_EQ(plan.First(FaultKind::WrongAck), 3u);
  EXPECT_EQ(plan.First(FaultKind::SilentAfter), std::nullopt);
}

}  // namespace
}  // namespace quillet::sim
