// Update Chip with ISP by COM Port against the strict simulated chip in virtual time: the whole
// exchange, the reports and the production records of one update, of each failure and of a
// production run over chips that the operator hands in turn.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "core/images/image_loader.h"
#include "core/operations/comisp_update.h"
#include "support/comisp_rig.h"
#include "support/golden.h"
#include "support/recording_recorder.h"

namespace quillet {
namespace {

using sim::FaultKind;
using test_support::ComIspRig;
using test_support::ComIspRigSetup;

struct Scenario {
  const char* name;
  ComIspRigSetup setup = {};
  const char* items = "a";  // c: CONFIG, a: APROM, f: DataFlash (in the job; the order is the update's)
  uint32_t aprom = 200;
  uint32_t part = 2;
  bool sn = true;
  bool refuse_start = false;
  bool production = false;  // the production loop instead of one update
};

void Fill(ImageBuffer& image, uint32_t size, unsigned seed) {
  for (uint32_t i = 0; i < size; ++i) image.data[i] = static_cast<uint8_t>(i * 13 + seed);
  image.size = size;
  image.hasFile = true;
  image.UpdateSums();
}

struct UpdateRun {
  explicit UpdateRun(const Scenario& s) : rig(s.setup) {
    JobSettings& job = rig.job;
    rig.bench.SetRecorder(recorder);
    recorder.refuse_start = s.refuse_start;
    rig.bench.comisp().port_file = rig.dir.File("GUI_ComPortISP.LOG");
    job.SetPortName(ComIspRig::kPortName);
    job.PartCode = s.part;
    job.ConfigSelected = std::string(s.items).find('c') != std::string::npos;
    job.ApromSelected = std::string(s.items).find('a') != std::string::npos;
    job.DataFlashSelected = std::string(s.items).find('f') != std::string::npos;
    job.ConfigBytes = {0x7E, 0xFF, 0xFF, 0xFF, 0x78, 0x56, 0x34, 0x12};
    job.SnProgrammingEnabled = s.sn;
    job.SnValue = {1, 99'999'999};
    job.SnAddress = 0x1C8;  // 0x100 past the 200-byte image
    job.ChipCounterEnabled = true;
    job.CountDown = s.production;  // a run of two passes from 2 ends at the counter's end
    job.ChipCounter = s.production ? 2 : 41;
    job.ProductionMode = s.production;
    Fill(rig.bench.images().aprom, s.aprom, 1);
    Fill(rig.bench.images().dataFlash, 129, 2);
  }
  std::string Text(UpdateOutcome outcome) {
    const ComIspRun& run = rig.bench.comisp();
    std::string text =
        rig.Transcript(static_cast<int>(outcome), sim::ByteTime({.baud_rate = 115200}) + Micros(200));
    text += "-- records\n" + recorder.Text();
    for (const auto& [high, low] : rig.display.serial_numbers)
      text += "S/N box " + FormatSnValue({high, low}) + "\n";
    for (uint32_t counter : rig.display.counters) text += "counter box " + FormatChipCounter(counter) + "\n";
    if (rig.job.ProductionMode)
      text += "-- loop: " + std::to_string(run.passed) + " passed, " + std::to_string(run.failed) +
              " failed, end " + std::to_string(static_cast<int>(run.end)) + "\n";
    return text;
  }

  ComIspRig rig;
  test_support::RecordingRecorder recorder;
};

// Acknowledges ('Z', 0xA5, CONFIG replies) per chip with CONFIG and the 200-byte APROM lengthened
// to 464 by the S/N: CONFIG 3, erase 2, four packets 8.
constexpr uint32_t kAcksPerChip = 13;

sim::FaultPlan Fault(FaultKind kind, uint32_t n) {
  return {{{kind, n}}};
}

// clang-format off
const Scenario kScenarios[] = {
    {"once_config_aprom_dataflash_sn", {}, "caf"},
    {"once_not_ready", {.options = {.power_on = Millis(3'600'000)}}},
    {"once_records_refused", {}, "ca", 200, 2, true, true},
    {"once_config_error", {.faults = Fault(FaultKind::WrongAck, 3)}, "ca"},
    {"once_erase_aprom_error", {.faults = Fault(FaultKind::WrongAck, 2)}},
    {"once_aprom_error_long_text", {.faults = Fault(FaultKind::WrongAck, 3)}, "a", 200, 39},
    {"once_erase_dataflash_error_long_text", {.faults = Fault(FaultKind::WrongAck, 12)}, "af", 200, 39},
    {"once_dataflash_error", {.faults = Fault(FaultKind::DropToHost, 10)}, "af", 200, 2, false},
    // Chips from the tray: the second fails at CONFIG (a fresh detection follows), the third at the
    // APROM erase (the short text), the fourth passes with the S/N they left; the counter, counting
    // down from 2, ends the run.
    {"loop_four_chips",
     {.faults = {{{FaultKind::WrongAck, kAcksPerChip + 3}, {FaultKind::WrongAck, kAcksPerChip + 8}}},
      .tray = sim::ChipTrayOptions{.keep_chips = true}},
     "ca", 200, 39, true, false, true},
};
// clang-format on

class ComIspUpdate : public ::testing::TestWithParam<Scenario> {};

TEST_P(ComIspUpdate, MatchesGolden) {
  const Scenario& s = GetParam();
  UpdateRun run(s);
  const UpdateOutcome outcome = s.production ? ComIspProductionLoop(run.rig.bench, run.rig.bench.comisp())
                                             : ComIspUpdateOnce(run.rig.bench, run.rig.bench.comisp());
  EXPECT_TRUE(test_support::MatchesGolden(std::string("comisp/") + s.name + ".txt", run.Text(outcome)));
}

INSTANTIATE_TEST_SUITE_P(Operations, ComIspUpdate, ::testing::ValuesIn(kScenarios),
                         [](const auto& info) { return std::string(info.param.name); });

// The S/N in the APROM image in place, reaching over the image's end (which moves to the S/N's
// end), and past the buffer (refused, nothing written); past the end with a gap: the goldens.
TEST(ComIspUpdate, SerialNumberInTheImage) {
  const std::tuple<uint32_t, int, uint32_t> kCases[] = {
      {16, 1, 200}, {196, 1, 204}, {kImageCapacity - 7, 0, 200}};
  for (const auto& [address, result, size] : kCases) {
    ImageBuffer image(ImageArea::Aprom);
    Fill(image, 200, 5);
    std::vector<uint8_t> expected = image.data;
    const uint8_t bcd[] = {0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x23, 0x45};
    if (result) std::copy(std::begin(bcd), std::end(bcd), expected.begin() + address);
    JobSettings job;
    job.SnValue = {1, 2345};
    job.SnAddress = address;
    EXPECT_EQ(PutSerialNumber(job, image), result) << address;
    EXPECT_EQ(image.size, size) << address;
    EXPECT_EQ(image.data, expected) << address;
  }
}

// Update Chip hands ISP by COM Port to the single update (which ends the chip) or, in production
// mode, to the loop (which leaves it in its boot loader for the next one).
TEST(ComIspUpdate, UpdateChipHandsOver) {
  for (const bool production : {false, true}) {
    ComIspRig rig;
    rig.job.ProgrammerMode = kTypeComIsp | (production ? kModeProduction : 0);
    DeriveModeFlags(rig.job);
    rig.job.SetPortName(ComIspRig::kPortName);
    rig.bench.comisp().chips = 1;
    const std::string path = rig.dir.File("code.bin");
    test_support::WriteBytes(path, std::vector<uint8_t>(200, 0x3C));
    AttachImageFile(rig.bench.images().aprom, path);
    rig.job.ApromSelected = true;
    EXPECT_EQ(UpdateChip(rig.bench), UpdateOutcome::Passed) << production;
    EXPECT_EQ(rig.chip.blocks_written(), 2) << production;
    EXPECT_EQ(rig.chip.application_running(), !production);
  }
}

}  // namespace
}  // namespace quillet
