// The boot-loader link against the simulated chip in virtual time. The chip is strict: a byte that
// comes inside a prescribed pause spoils its block, so every golden run also checks the pauses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/comisp_rig.h"
#include "support/golden.h"

namespace quillet {
namespace {

using sim::FaultKind;
using test_support::ComIspRig;
using test_support::ComIspRigSetup;

std::vector<uint8_t> Pattern(std::size_t size, unsigned seed) {
  std::vector<uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 37 + seed + (i >> 8));
  return bytes;
}

struct Scenario {
  const char* name;
  // d: detect, p: detect for production, s: the same with production mode cleared, c: CONFIG,
  // a: APROM, f: DataFlash, e: finish; b: one full APROM block sent bare (no erase, no pause after
  // the command), B: the same with the pause.
  const char* ops;
  ComIspRigSetup setup = {};
  std::size_t aprom = 0;
  std::size_t dataflash = 0;
  bool normal = false;  // Normal Protocol instead of Fast
  ConfigByteArray config{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
};

int BareBlock(ComIspRig& rig, bool pause) {
  uint8_t reply = 0;
  if (!rig.link.SendByte(kIspWriteAprom)) return 0;
  if (pause) {
    rig.port.Drain();
    rig.clock.Sleep(Millis(1));
  }
  return rig.link.ExpectReady() && rig.link.SendBytes(IspPacket(Pattern(128, 4))) &&
         rig.link.ReceiveIspByte(reply) && reply == kIspDone;
}

int Play(ComIspRig& rig, const Scenario& s, const std::vector<uint8_t>& aprom,
         const std::vector<uint8_t>& dataflash) {
  rig.job.FastProtocol = !s.normal;
  rig.job.ConfigBytes = s.config;
  ComIspLink& link = rig.link;
  for (const char op : std::string(s.ops)) {
    rig.job.ProductionMode = op == 'p';
    const int ok = op == 'd'                ? link.DetectChip(DetectMode::Single, ComIspRig::kPortName)
                   : op == 'c'              ? link.WriteConfig()
                   : op == 'a'              ? link.UpdateAprom(aprom)
                   : op == 'f'              ? link.UpdateDataFlash(dataflash)
                   : op == 'e'              ? link.FinishChip()
                   : op == 'b' || op == 'B' ? BareBlock(rig, op == 'B')
                                            : link.DetectChip(DetectMode::Production, ComIspRig::kPortName);
    if (!ok) return 0;
  }
  return 1;
}

sim::FaultPlan Fault(FaultKind kind, uint32_t n) {
  return {{{kind, n}}};
}

// CONFIG0 with DataFlash on and the lock open, CONFIG1 = 0x100: 256 bytes of APROM on a 1 KB part.
constexpr ConfigByteArray kDataFlashAt0x100{0x00, 0x00, 0x01, 0x00, 0xFF, 0xFF, 0xFF, 0xFE};
// Lock bit (CONFIG byte 0 bit 1) set: the chip is left unlocked.
constexpr ConfigByteArray kUnlocking{0x12, 0x34, 0x56, 0x78, 0xFF, 0xFF, 0xFF, 0x7E};

// clang-format off
const Scenario kScenarios[] = {
    {"detect_finish", "de"},
    {"detect_14400_after_stray_answers", "d", {.options = {.baud_code = 0x0E, .probe_answers = {0x5A, 0x00, 0xFF}}}},
    {"detect_code_at_9990", "d", {.options = {.power_on = Millis(9987)}}},
    {"detect_production_after_finish", "dep"},
    {"config_kept", "dc", {.options = {.config_time = Millis(20)}}, 0, 0, false, kUnlocking},
    {"config_releases_lock", "dc", {.options = {.erase_time = Millis(30), .locked = true}}, 0, 0, false, kUnlocking},
    {"aprom_0", "da", {}, 0},
    {"aprom_1", "da", {}, 1},
    {"aprom_127", "da", {}, 127},
    {"aprom_128", "da", {}, 128},
    {"aprom_129_fast", "da", {}, 129},
    {"aprom_129_normal", "da", {}, 129, 0, true},
    {"aprom_129_at_9600", "da", {.options = {.baud_code = 0x09, .program_time = Millis(3)}}, 129},
    {"dataflash_129_fast", "df", {}, 0, 129},
    {"dataflash_129_normal", "df", {}, 0, 129, true},
    // Failures.
    {"fail_open", "d", {.opens_allowed = -1}},
    {"fail_not_found", "d", {.options = {.power_on = Millis(3'600'000)}}},
    {"fail_code_at_10050", "d", {.options = {.power_on = Millis(10048)}}},
    {"fail_production_mode_cleared", "s"},
    {"fail_probe_reopen", "d", {.faults = Fault(FaultKind::DisconnectAfter, 1)}},
    {"fail_rate_switch", "d", {.opens_allowed = 1}},
    {"fail_port_file_goes_on", "de", {.port_file_writable = false}},
    {"fail_config_no_first_reply", "dc", {.faults = Fault(FaultKind::SilentAfter, 10)}},
    {"fail_config_result", "dc", {.faults = Fault(FaultKind::WrongAck, 3)}},
    {"fail_erase_aprom_answer", "da", {.faults = Fault(FaultKind::WrongAck, 2)}, 200},
    {"fail_erase_dataflash_answer", "df", {.faults = Fault(FaultKind::WrongAck, 2)}, 0, 200},
    {"fail_erase_no_answer", "da", {.faults = Fault(FaultKind::DropToHost, 3)}, 200},
    {"fail_block_not_ready", "da", {.faults = Fault(FaultKind::WrongAck, 3)}, 200},
    {"fail_block_wrong_sum", "da", {.faults = Fault(FaultKind::CorruptToDevice, 140)}, 200},
    {"fail_tail_no_answer", "da", {.faults = Fault(FaultKind::DropToHost, 7)}, 200},
    {"fail_block_past_area", "dca", {.geometry = {0x400, 0, true, true}}, 384, 0, false, kDataFlashAt0x100},
    {"fail_block_before_erase", "dB"},
    {"fail_block_inside_pause", "dab"},
    {"block_after_erase_with_pause", "daB"},
    {"fail_block_after_end", "deB"},
    {"fail_finish_answer", "de", {.faults = Fault(FaultKind::WrongAck, 1)}},
};
// clang-format on

class ComIspScenario : public ::testing::TestWithParam<Scenario> {};

TEST_P(ComIspScenario, MatchesGolden) {
  const Scenario& s = GetParam();
  ComIspRig rig(s.setup);
  const auto aprom = Pattern(s.aprom, 1);
  const auto dataflash = Pattern(s.dataflash, 2);
  const int result = Play(rig, s, aprom, dataflash);
  const uint32_t rate = rig.link.AgreedBaudRate ? rig.link.AgreedBaudRate : 9600;
  EXPECT_TRUE(
      test_support::MatchesGolden(std::string("comisp/") + s.name + ".txt",
                                  rig.Transcript(result, sim::ByteTime({.baud_rate = rate}) + Micros(200))));
  if (!result) return;
  ASSERT_GE(rig.chip.Aprom().size(), aprom.size());
  EXPECT_TRUE(std::equal(aprom.begin(), aprom.end(), rig.chip.Aprom().begin()));
  EXPECT_TRUE(std::equal(dataflash.begin(), dataflash.end(), rig.chip.DataFlash().begin()));
}

INSTANTIATE_TEST_SUITE_P(Link, ComIspScenario, ::testing::ValuesIn(kScenarios),
                         [](const auto& info) { return std::string(info.param.name); });

// Each baud code reopens the port at its rate, and the chip, switched by its own table, hears it there.
TEST(ComIspLink, EveryBaudCodeAgreesWithTheChip) {
  const std::pair<uint8_t, uint32_t> kCodes[] = {{9, 9600},   {14, 14400}, {19, 19200},
                                                 {38, 38400}, {57, 57600}, {115, 115200}};
  for (const auto& [code, rate] : kCodes) {
    ComIspRig rig({.options = {.baud_code = code}});
    ASSERT_EQ(Play(rig, {"rate", "de"}, {}, {}), 1) << int{code};
    EXPECT_EQ(rig.port.Line().baud_rate, rate);
  }
}

// 128 KB in either area with either protocol lands whole in 1,024 blocks.
TEST(ComIspLink, LargestImagesLandWhole) {
  const auto image = Pattern(131072, 3);
  for (const char* ops : {"da", "df"}) {
    for (const bool normal : {false, true}) {
      SCOPED_TRACE(testing::Message() << ops << (normal ? " normal" : " fast"));
      ComIspRig rig({.geometry = {0x20000, 0x20000, false, false}});
      ASSERT_EQ(Play(rig, {"big", ops, {}, 0, 0, normal}, image, image), 1);
      EXPECT_EQ(ops[1] == 'a' ? rig.chip.Aprom() : rig.chip.DataFlash(), image);
      EXPECT_EQ(rig.chip.blocks_written(), 1024);
    }
  }
}

}  // namespace
}  // namespace quillet
