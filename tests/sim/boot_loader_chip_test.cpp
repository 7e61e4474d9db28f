// The simulated boot-loader chip's own rules, driven byte by byte through a port in virtual time:
// what the program's link never provokes (a block before its erase, a short pause, a reset glitch).
#include <gtest/gtest.h>

#include <vector>

#include "support/comisp_rig.h"

namespace quillet {
namespace {

using test_support::ComIspRig;

// One exchange: a pause, DTR raised for `dtr` (0: not touched), bytes sent, the bytes expected back.
struct Step {
  Millis pause{0};
  std::vector<uint8_t> send;
  std::vector<uint8_t> expect;
  Millis dtr{-1};
};

// A full block of 0x11, after `command` when it is not 0.
std::vector<uint8_t> Packet(uint8_t sum_low_delta, uint8_t command = 0) {
  std::vector<uint8_t> packet;
  if (command) packet.push_back(command);
  packet.push_back(0x80);
  for (int i = 0; i < 128; ++i) packet.push_back(0x11);
  packet.push_back(0x08);  // 128 x 0x11 = 0x0880
  packet.push_back(static_cast<uint8_t>(0x80 + sum_low_delta));
  return packet;
}

const std::vector<uint8_t> kErase{0xC1};
const std::vector<uint8_t> kErased{0x5A, 0xA5};

struct ChipCase {
  const char* name;
  std::vector<Step> steps;  // after the chip was found at 115200
  int written;
};

const ChipCase kCases[] = {
    {"block_lands_after_erase",
     {{{}, kErase, kErased}, {{}, {0xC2}, {0x5A}}, {Millis(1), Packet(0), {0xA5}}},
     1},
    {"block_before_erase_refused", {{{}, {0xC2}, {0x5A}}, {Millis(1), Packet(0), {0x00}}}, 0},
    {"wrong_sum_refused", {{{}, kErase, kErased}, {{}, {0xC2}, {0x5A}}, {Millis(1), Packet(1), {0x00}}}, 0},
    {"packet_inside_pause_refused", {{{}, kErase, kErased}, {{}, Packet(0, 0xC2), {0x5A, 0x00}}}, 0},
    {"end_deaf_until_reset", {{{}, {0xC3}, {0x5A}}, {{}, kErase, {}}, {{}, {}, {}, Millis(5)}}, 0},
    {"open_glitch_no_reset", {{{}, {}, {}, Millis(0)}, {{}, kErase, kErased}}, 0},
};

class BootLoaderChipCase : public ::testing::TestWithParam<ChipCase> {};

TEST_P(BootLoaderChipCase, Answers) {
  ComIspRig rig;
  SerialPort& port = rig.port;
  ASSERT_TRUE(port.OpenPortWithTimeout(ComIspRig::kPortName, 9600, 20));
  ASSERT_TRUE(port.WriteByte(0x00));
  uint8_t code = 0;
  ASSERT_TRUE(port.ReadByte(code));
  ASSERT_EQ(code, 0x73);
  ASSERT_TRUE(port.OpenPortWithTimeout(ComIspRig::kPortName, 115200, 20));
  for (const Step& step : GetParam().steps) {
    if (step.dtr >= Millis(0)) {
      port.SetDtr();
      rig.clock.Sleep(step.dtr);
      port.ClearDtr();
    }
    rig.clock.Sleep(step.pause);
    ASSERT_TRUE(port.WriteBlock(step.send));
    port.Drain();
    std::vector<uint8_t> got(step.expect.size());
    EXPECT_TRUE(port.ReadBlock(got));
    EXPECT_EQ(got, step.expect);
    uint8_t extra = 0;
    EXPECT_FALSE(port.ReadByte(extra));
  }
  EXPECT_EQ(rig.chip.blocks_written(), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(Chip, BootLoaderChipCase, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// After the end command the chip hears nothing until a reset; then it is found at 9600 again.
TEST(BootLoaderChip, AResetBringsTheBootLoaderBack) {
  ComIspRig rig;
  ASSERT_TRUE(rig.link.DetectChip(DetectMode::Single, ComIspRig::kPortName));
  ASSERT_TRUE(rig.link.FinishChip());
  EXPECT_TRUE(rig.chip.application_running());
  ASSERT_TRUE(rig.link.DetectChip(DetectMode::Single, ComIspRig::kPortName));
  EXPECT_EQ(rig.chip.resets(), 2);
}

}  // namespace
}  // namespace quillet
