// Update Chip with ISP by COM Port against the strict simulated chip in virtual time: the whole
// exchange, the reports and the production records of one update, of each failure and of a
// production run over chips that the operator hands in turn.
#include <gtest/gtest.h>

#include <string>

#include "core/images/image_loader.h"
#include "core/operations/comisp_update.h"
#include "core/storage/packed_bcd.h"
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
    {"once_aprom_error_part_39", {.faults = Fault(FaultKind::WrongAck, 3)}, "a", 200, 39},
    {"once_erase_dataflash_error_part_39", {.faults = Fault(FaultKind::WrongAck, 12)}, "af", 200, 39},
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
  // The chips that passed hold the image with their own S/N (in a run, the first and the last).
  if (outcome == UpdateOutcome::Stopped || (outcome == UpdateOutcome::ChipFailed && !s.production)) return;
  const sim::ChipTray* tray = run.rig.tray.get();
  const std::pair<const sim::BootLoaderChip*, const char*> passed[] = {
      {tray ? tray->chips_taken().at(0).get() : &run.rig.chip, "00000001,99999999"},
      {tray ? tray->chip_in_hand() : nullptr, "00000002,00000000"}};
  for (const auto& [chip, sn] : passed) {
    if (!chip) continue;
    const std::vector<uint8_t> held = chip->Aprom();
    EXPECT_EQ(FormatSnValue(FromPackedBcd(std::span<const uint8_t, 8>(held.data() + 0x1C8, 8))), sn);
    EXPECT_TRUE(std::equal(held.begin(), held.begin() + 0x1C8, run.rig.bench.images().aprom.data.begin()));
  }
}

INSTANTIATE_TEST_SUITE_P(Operations, ComIspUpdate, ::testing::ValuesIn(kScenarios),
                         [](const auto& info) { return std::string(info.param.name); });

// The S/N's place in the APROM image: in place, at the end (8 bytes longer), past the end (the gap
// 0xFF), reaching over the end, and past the buffer (refused, nothing written).
TEST(ComIspUpdate, SerialNumberInTheImage) {
  struct Case {
    uint32_t size, address;
    int result;
    uint32_t new_size;
  };
  const Case kCases[] = {{200, 16, 1, 200},
                         {200, 200, 1, 208},
                         {200, 456, 1, 464},
                         {200, 196, 1, 204},
                         {200, kImageCapacity - 7, 0, 200}};
  for (const Case& c : kCases) {
    ImageBuffer image(ImageArea::Aprom);
    Fill(image, c.size, 5);
    const std::vector<uint8_t> before(image.data.begin(), image.data.end());
    JobSettings job;
    job.SnValue = {1, 2345};
    job.SnAddress = c.address;
    ASSERT_EQ(PutSerialNumber(job, image), c.result) << c.address;
    EXPECT_EQ(image.size, c.new_size) << c.address;
    std::vector<uint8_t> expected = before;
    if (c.result) {
      std::fill(expected.begin() + c.size, expected.begin() + c.new_size, 0xFF);
      const uint8_t bcd[] = {0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x23, 0x45};
      std::copy(std::begin(bcd), std::end(bcd), expected.begin() + c.address);
    }
    EXPECT_EQ(image.data, expected) << c.address;
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
