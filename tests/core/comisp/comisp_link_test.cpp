// The boot-loader link against the simulated chip in virtual time. The chip is strict: a byte that
// comes inside a prescribed pause spoils its block, so every golden run also checks the pauses.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/comisp_rig.h"
#include "support/golden.h"

namespace quillet {
namespace {

using test_support::ComIspRig;
using test_support::ComIspRigSetup;

enum class Op { Detect, Produce, Config, Aprom, DataFlash, Finish };

std::vector<uint8_t> Pattern(std::size_t size, unsigned seed) {
  std::vector<uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 37 + seed + (i >> 8));
  return bytes;
}

struct Scenario {
  const char* name;
  std::vector<Op> ops;
  ComIspRigSetup setup = {};
  std::size_t aprom = 0;
  std::size_t dataflash = 0;
  bool fast = true;
  ConfigByteArray config{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
};

int Play(ComIspRig& rig, const Scenario& s, const std::vector<uint8_t>& aprom,
         const std::vector<uint8_t>& dataflash) {
  rig.job.FastProtocol = s.fast;
  rig.job.ConfigBytes = s.config;
  for (const Op op : s.ops) {
    int ok = 0;
    switch (op) {
      case Op::Detect:
        ok = rig.link.DetectChip(DetectMode::Single, ComIspRig::kPortName);
        break;
      case Op::Produce:
        rig.job.ProductionMode = true;
        ok = rig.link.DetectChip(DetectMode::Production, ComIspRig::kPortName);
        break;
      case Op::Config:
        ok = rig.link.WriteConfig();
        break;
      case Op::Aprom:
        ok = rig.link.UpdateAprom(aprom);
        break;
      case Op::DataFlash:
        ok = rig.link.UpdateDataFlash(dataflash);
        break;
      case Op::Finish:
        ok = rig.link.FinishChip();
        break;
    }
    if (!ok) return 0;
  }
  return 1;
}

ComIspRigSetup With(sim::BootChipOptions options, sim::FaultPlan faults = {}) {
  options.strict = true;
  return {.options = options, .faults = faults};
}

sim::FaultPlan Fault(sim::FaultKind kind, uint32_t n) {
  return {{{kind, n}}};
}

// CONFIG0 with DataFlash on and the lock open, CONFIG1 = 0x100: 256 bytes of APROM on a 1 KB part.
constexpr ConfigByteArray kDataFlashAt0x100{0x00, 0x00, 0x01, 0x00, 0xFF, 0xFF, 0xFF, 0xFE};
// Lock bit (CONFIG byte 0 bit 1) set: the chip is left unlocked.
constexpr ConfigByteArray kUnlocking{0x12, 0x34, 0x56, 0x78, 0xFF, 0xFF, 0xFF, 0x7E};

const Scenario kScenarios[] = {
    {"detect_finish", {Op::Detect, Op::Finish}},
    {"detect_14400_after_stray_answers",
     {Op::Detect},
     With({.baud_code = 0x0E, .probe_answers = {0x5A, 0x00, 0xFF}})},
    {"detect_production_after_finish", {Op::Detect, Op::Finish, Op::Produce}},
    {"config_kept", {Op::Detect, Op::Config}, With({.config_time = Millis(20)}), 0, 0, true, kUnlocking},
    {"config_releases_lock",
     {Op::Detect, Op::Config},
     With({.erase_time = Millis(30), .locked = true}),
     0,
     0,
     true,
     kUnlocking},
    {"aprom_0", {Op::Detect, Op::Aprom}, {}, 0},
    {"aprom_1", {Op::Detect, Op::Aprom}, {}, 1},
    {"aprom_127", {Op::Detect, Op::Aprom}, {}, 127},
    {"aprom_128", {Op::Detect, Op::Aprom}, {}, 128},
    {"aprom_129_fast", {Op::Detect, Op::Aprom}, {}, 129},
    {"aprom_129_normal", {Op::Detect, Op::Aprom}, {}, 129, 0, false},
    {"aprom_129_at_9600", {Op::Detect, Op::Aprom}, With({.baud_code = 0x09, .program_time = Millis(3)}), 129},
    {"dataflash_129_fast", {Op::Detect, Op::DataFlash}, {}, 0, 129},
    {"dataflash_129_normal", {Op::Detect, Op::DataFlash}, {}, 0, 129, false},
    // Failures.
    {"fail_open", {Op::Detect}, {.opens_allowed = -1}},
    {"fail_not_found", {Op::Detect}, With({.power_on = Millis(3'600'000)})},
    {"fail_probe_reopen", {Op::Detect}, With({}, Fault(sim::FaultKind::DisconnectAfter, 1))},
    {"fail_rate_switch", {Op::Detect}, {.opens_allowed = 1}},
    {"fail_port_file_goes_on", {Op::Detect, Op::Finish}, {.port_file_writable = false}},
    {"fail_config_no_first_reply",
     {Op::Detect, Op::Config},
     With({}, Fault(sim::FaultKind::SilentAfter, 10))},
    {"fail_config_result", {Op::Detect, Op::Config}, With({}, Fault(sim::FaultKind::WrongAck, 3))},
    {"fail_erase_aprom_answer", {Op::Detect, Op::Aprom}, With({}, Fault(sim::FaultKind::WrongAck, 2)), 200},
    {"fail_erase_dataflash_answer",
     {Op::Detect, Op::DataFlash},
     With({}, Fault(sim::FaultKind::WrongAck, 2)),
     0,
     200},
    {"fail_erase_no_answer", {Op::Detect, Op::Aprom}, With({}, Fault(sim::FaultKind::DropToHost, 3)), 200},
    {"fail_block_not_ready", {Op::Detect, Op::Aprom}, With({}, Fault(sim::FaultKind::WrongAck, 3)), 200},
    {"fail_block_wrong_sum",
     {Op::Detect, Op::Aprom},
     With({}, Fault(sim::FaultKind::CorruptToDevice, 140)),
     200},
    {"fail_tail_no_answer", {Op::Detect, Op::Aprom}, With({}, Fault(sim::FaultKind::DropToHost, 7)), 200},
    {"fail_block_past_area",
     {Op::Detect, Op::Config, Op::Aprom},
     {.geometry = {0x400, 0, true, true}, .options = {.strict = true}},
     384,
     0,
     true,
     kDataFlashAt0x100},
    {"fail_finish_answer", {Op::Detect, Op::Finish}, With({}, Fault(sim::FaultKind::WrongAck, 1))},
};

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
  const auto programmed = rig.chip.Aprom();
  EXPECT_TRUE(std::equal(aprom.begin(), aprom.end(), programmed.begin()));
  const auto data = rig.chip.DataFlash();
  EXPECT_TRUE(std::equal(dataflash.begin(), dataflash.end(), data.begin()));
}

INSTANTIATE_TEST_SUITE_P(Link, ComIspScenario, ::testing::ValuesIn(kScenarios),
                         [](const auto& info) { return std::string(info.param.name); });

// Single mode takes a baud code that arrives within 10 s of the start, not one that arrives later.
TEST(ComIspLink, DetectionWindow) {
  const struct {
    Millis power_on;
    Millis earliest, latest;  // when the code reaches the program
    int found;
  } kRows[] = {{Millis(9987), Millis(9989), Millis(9991), 1},
               {Millis(10048), Millis(10050), Millis(10060), 0}};
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.power_on.count());
    ComIspRig rig(With({.power_on = row.power_on}));
    EXPECT_EQ(rig.link.DetectChip(DetectMode::Single, ComIspRig::kPortName), row.found);
    rig.sim_port->Settle();
    const auto events = rig.trace.Events();
    const auto code = std::find_if(events.begin(), events.end(),
                                   [](const WireEvent& e) { return e.direction == WireDirection::ToHost; });
    ASSERT_NE(code, events.end());
    EXPECT_GE(code->time, row.earliest);
    EXPECT_LE(code->time, row.latest);
    EXPECT_TRUE(rig.reporter.Texts(ReportEvent::Kind::Fail).empty());
  }
}

// Production detection ends, unreported, as soon as the P.M. flag is found cleared.
TEST(ComIspLink, ProductionDetectionStopsWhenProductionModeClears) {
  ComIspRig rig;
  rig.job.ProductionMode = false;
  EXPECT_EQ(rig.link.DetectChip(DetectMode::Production, ComIspRig::kPortName), 0);
  EXPECT_TRUE(rig.reporter.Texts(ReportEvent::Kind::Fail).empty());
  EXPECT_EQ(rig.trace.Bytes(WireDirection::ToDevice).size(), 0u);
}

// 128 KB in either area with either protocol lands whole, 1,024 blocks, nothing refused.
TEST(ComIspLink, LargestImagesLandWhole) {
  const struct {
    Op area;
    bool fast;
  } kRows[] = {{Op::Aprom, true}, {Op::Aprom, false}, {Op::DataFlash, true}, {Op::DataFlash, false}};
  for (const auto& row : kRows) {
    SCOPED_TRACE(testing::Message() << (row.area == Op::Aprom ? "APROM" : "DataFlash") << " fast "
                                    << row.fast);
    ComIspRigSetup setup;
    setup.geometry = {0x20000, 0x20000, false, false};
    ComIspRig rig(setup);
    const auto image = Pattern(131072, 3);
    Scenario s{"big", {Op::Detect, row.area}};
    s.fast = row.fast;
    ASSERT_EQ(Play(rig, s, image, image), 1);
    EXPECT_EQ(row.area == Op::Aprom ? rig.chip.Aprom() : rig.chip.DataFlash(), image);
    EXPECT_EQ(rig.chip.blocks_written(), 1024);
    EXPECT_EQ(rig.chip.blocks_refused(), 0);
  }
}

}  // namespace
}  // namespace quillet
