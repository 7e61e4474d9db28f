// Firmware updates beyond their exchanges (those are in programmer_link_test): the pauses between
// header bytes and blocks, the restoring of the complemented ranges, and files of any size.
#include <gtest/gtest.h>

#include "core/programmer/programmer_link.h"
#include "sim/firmware_image.h"
#include "sim/gang_model.h"
#include "sim/programmer_model.h"
#include "support/link_rig.h"

namespace quillet {
namespace {

using test_support::LinkRig;
using V = std::vector<uint8_t>;

// An update with `file` as the firmware file of an ICP Programmer (or the Gang controller).
int Update(LinkRig& rig, const V& file, bool gang = false) {
  if (gang) {
    rig.Add(std::make_unique<sim::GangModel>(0x0700));
  } else {
    rig.Add(std::make_unique<sim::ProgrammerModel>(0xAB, 0x0700));
  }
  rig.port.OpenPort("sim:1", 115200);
  rig.link.Variant = FirmwareVariant::Icp;
  EXPECT_TRUE(sim::WriteBytes(rig.FirmwarePath(gang ? kGangFirmwareFile : "v0710_MainMCU_ICP.DAT"), file));
  return gang ? rig.link.UpdateGangFirmware() : rig.link.UpdateProgrammerFirmware();
}

std::vector<Micros> SentTimes(const LinkRig& rig) {
  std::vector<Micros> sent;
  for (const auto& event : rig.WireEvents(0)) {
    if (event.direction == WireDirection::ToDevice) sent.push_back(event.time);
  }
  return sent;
}

TEST(FirmwareUpdate, HeaderBytesAndBlocksArePacedAndTheEndWaitsTwoSeconds) {
  LinkRig rig;
  ASSERT_EQ(Update(rig, V(600, 0x33)), 1);
  const auto sent = SentTimes(rig);
  for (int i = 2; i <= 5; ++i) EXPECT_GE(sent[i] - sent[i - 1], Millis(1)) << i;  // header bytes 1..5
  EXPECT_GE(sent[6] - sent[5], Millis(500));                                      // first block
  EXPECT_GE(rig.clock.NowMicros() - sent.back(), Millis(2000));

  LinkRig gang;
  ASSERT_EQ(Update(gang, V(1000, 0x11), true), 1);
  const auto gang_sent = SentTimes(gang);
  EXPECT_GE(gang_sent[2050] - gang_sent[2049], Millis(251));  // the marker, then block 8
  EXPECT_GE(gang.clock.NowMicros() - gang_sent.back(), Millis(2000));
}

TEST(FirmwareUpdate, RestoringStopsAtTheEndOfTheFile) {
  const std::pair<std::size_t, std::vector<std::size_t>> cases[] = {
      {3, {}},
      {4, {3, 3}},
      {2051, {3, 255}},
      {2052, {3, 255, 2051, 2051}},
      {10244, {3, 255, 2051, 2303, 10243, 10243}}};
  for (const auto& [length, runs] : cases) {
    V data(kFirmwareBufferSize, 0x00), expected(kFirmwareBufferSize, 0x00);
    RestoreScrambledRanges(data, length);
    for (std::size_t i = 0; i < runs.size(); i += 2)
      std::fill(&expected[runs[i]], &expected[runs[i + 1]] + 1, 0xFF);
    EXPECT_EQ(data, expected) << length;
  }
}

// Sizes around the block and range edges stay inside the buffer (the sanitizer build checks).
TEST(FirmwareUpdate, AnyFileSizeStaysInsideTheBuffer) {
  uint32_t state = 12345;
  for (std::size_t size : {0,    1,    2,    3,    4,     5,     255,   256,   257,   2051,  2052,
                           2303, 2304, 4096, 4097, 10243, 10495, 10496, 14335, 14336, 14337, 30000}) {
    V content(size);
    for (auto& byte : content) byte = static_cast<uint8_t>((state = state * 1103515245u + 12345u) >> 16);
    const bool fits = size <= kFirmwareBufferSize;
    LinkRig single, gang;
    EXPECT_EQ(Update(single, content), fits && size > 0 ? 1 : 0) << size;
    EXPECT_EQ(Update(gang, content, true), fits ? 1 : 0) << size;
  }
}

}  // namespace
}  // namespace quillet
