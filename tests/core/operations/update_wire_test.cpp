// Update Chip against the simulated Programmer and Gang Programmer in virtual time: the update's own
// exchange after a download (exact bytes in golden transcripts), the reports, the production
// records and the S/N and counter boxes.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "core/operations/chip_operations.h"
#include "sim/chip_feeder.h"
#include "sim/gang_model.h"
#include "sim/programmer_model.h"
#include "support/golden.h"
#include "support/operation_rig.h"

namespace quillet {
namespace {

using sim::ChipFlaw;
using test_support::OperationRig;

struct UpdateCase {
  const char* name;
  const char* part;
  bool gang;
  std::function<void(OperationRig&)> setup;
  std::vector<sim::SocketFlaw> flaws;
  std::optional<std::optional<uint8_t>> gang_result;  // unset: the sockets' own outcome
};

void WithSn(OperationRig& rig) {
  rig.job.SnProgrammingEnabled = true;
  rig.job.SnAddress = 0xFF8;
  rig.job.SnValue = {0, 99999998};
  rig.job.ChipCounterEnabled = true;
  rig.job.ChipCounter = 41;
}

class UpdateWire : public ::testing::TestWithParam<UpdateCase> {};

// The Programmer(s) hold the job from a download first; the transcript starts at the update.
TEST_P(UpdateWire, Exchange) {
  const UpdateCase& c = GetParam();
  OperationRig rig;
  rig.job.ProgrammerMode = c.gang ? kModeGang : 0;
  DeriveModeFlags(rig.job);
  ASSERT_EQ(rig.bench.ChoosePart(c.part, std::nullopt), 1);
  const uint8_t type = rig.SuitableTypeCode();
  sim::ChipFeeder feeder;
  for (const sim::SocketFlaw& flaw : c.flaws) feeder.AddFlaw(flaw.socket, flaw.flaw);
  if (c.gang) {
    auto& gang = rig.Serve(std::make_unique<sim::GangModel>(0x0710, type));
    gang.SetFeeder(feeder);
    if (c.gang_result) gang.SetGangResult(*c.gang_result);
  } else {
    rig.Serve(std::make_unique<sim::ProgrammerModel>(type, 0x0710)).SetFeeder(feeder, 0);
  }
  rig.Remember("sim:1");
  c.setup(rig);
  ASSERT_EQ(DownloadProgrammer(rig.bench), 1) << rig.reporter.ResultMessage();
  rig.reporter.Clear();
  const std::size_t mark = rig.Mark();
  const UpdateOutcome outcome = UpdateChip(rig.bench);
  EXPECT_EQ(rig.StrictRefusals(0), 0u);
  EXPECT_TRUE(test_support::MatchesGolden(std::string("operations/update_") + c.name + ".txt",
                                          rig.UpdateText(static_cast<int>(outcome), mark)));
}

const auto kAprom = [](uint32_t size) {
  return [size](OperationRig& rig) { rig.Image(ImageArea::Aprom, size); };
};
const auto kAllAreas = [](OperationRig& rig) {
  rig.Image(ImageArea::Aprom, 300);
  rig.Image(ImageArea::DataFlash, 40, 2);
  rig.Image(ImageArea::Ldrom, 20, 3);
  rig.job.ConfigSelected = true;
};

const auto kIspAreas = [](OperationRig& rig) {
  rig.Image(ImageArea::Aprom, 600);
  rig.Image(ImageArea::DataFlash, 128, 5);
  rig.job.ConfigSelected = true;
};

INSTANTIATE_TEST_SUITE_P(
    Single, UpdateWire,
    ::testing::Values(
        // Program-and-verify acknowledges: 1,000 and 1,024 bytes wait for 8, 1,025 for 10.
        UpdateCase{"icp_1000_sn", "QMC04A", false,
                   [](OperationRig& rig) {
                     rig.Image(ImageArea::Aprom, 1000);
                     WithSn(rig);
                   }},
        UpdateCase{"icp_1024", "QMC04A", false, kAprom(1024)},
        UpdateCase{"icp_1025", "QMC04A", false, kAprom(1025)},
        UpdateCase{"icp_device_id", "QMC04A", false, kAprom(100), {{0, ChipFlaw::WrongPart}}},
        UpdateCase{"icp_aprom_error", "QVAB032LB", false, kAllAreas, {{0, ChipFlaw::FailAprom}}},
        UpdateCase{"icp_dataflash_error", "QVAB032LB", false, kAllAreas, {{0, ChipFlaw::FailDataFlash}}},
        UpdateCase{"icp_ldrom_error", "QVAB032LB", false, kAllAreas, {{0, ChipFlaw::FailLdrom}}},
        UpdateCase{"icp_config_error", "QVAB032LB", false, kAllAreas, {{0, ChipFlaw::FailConfig}}},
        UpdateCase{"isp_dataflash_config", "QLS32F", false, kIspAreas},
        // The chip's code protection goes: the whole APROM is erased first, after a warning.
        UpdateCase{"isp_protection_dropped",
                   "QLS32F",
                   false,
                   [](OperationRig& rig) {
                     kIspAreas(rig);
                     rig.job.ConfigBytes[7] |= 0x02;  // CONFIG0: no lock
                   },
                   {{0, ChipFlaw::Locked}}}),
    [](const auto& info) { return std::string(info.param.name); });

const auto kGangSn = [](OperationRig& rig) {
  rig.Image(ImageArea::Aprom, 300);
  WithSn(rig);
};

INSTANTIATE_TEST_SUITE_P(
    Gang, UpdateWire,
    ::testing::Values(UpdateCase{"gang_all_pass", "QMC04A", true, kGangSn},
                      // 0x14: sockets #1 and #3 passed.
                      UpdateCase{"gang_some_fail", "QMC04A", true, kGangSn, {}, std::optional<uint8_t>(0x14)},
                      UpdateCase{"gang_all_fail", "QMC04A", true, kGangSn, {}, std::optional<uint8_t>(0x00)},
                      UpdateCase{"gang_timeout", "QMC04A", true, kGangSn, {}, std::optional<uint8_t>()}),
    [](const auto& info) { return std::string(info.param.name); });

// Each part of the report that differs from the job costs one re-download, after which the update
// passes.
TEST(UpdateWire, EachReportMismatchDownloadsOnceThenPasses) {
  const struct {
    const char* field;
    std::function<void(OperationRig&)> change;
  } cases[] = {
      {"part code", [](OperationRig& rig) { ASSERT_EQ(rig.bench.ChoosePart("QVAB064LB", std::nullopt), 1); }},
      {"item flags", [](OperationRig& rig) { rig.job.LdromSelected = false; }},
      {"APROM stamp",
       [](OperationRig& rig) { rig.Image(ImageArea::Aprom, 300, 1, test_support::kImageFileTime + 1); }},
      {"APROM name", [](OperationRig& rig) { rig.bench.images().aprom.SetStoredName("other.bin"); }},
      {"DataFlash stamp", [](OperationRig& rig) { rig.Image(ImageArea::DataFlash, 41, 2); }},
      {"LDROM stamp", [](OperationRig& rig) { rig.Image(ImageArea::Ldrom, 20, 4); }},
      {"CONFIG", [](OperationRig& rig) { rig.job.ConfigBytes[7] ^= 0x01; }},
  };
  for (const auto& c : cases) {
    OperationRig rig;
    ASSERT_EQ(rig.bench.ChoosePart("QVAB032LB", std::nullopt), 1);
    sim::ChipFeeder feeder;
    rig.Serve(std::make_unique<sim::ProgrammerModel>(rig.SuitableTypeCode(), 0x0710)).SetFeeder(feeder, 0);
    rig.Remember("sim:1");
    kAllAreas(rig);
    ASSERT_EQ(DownloadProgrammer(rig.bench), 1) << rig.reporter.ResultMessage();
    c.change(rig);
    rig.reporter.Clear();
    EXPECT_EQ(UpdateChip(rig.bench), UpdateOutcome::Passed)
        << c.field << ": " << rig.reporter.ResultMessage();
    EXPECT_EQ(feeder.programmed().size(), 1u) << c.field;
    const auto statuses = rig.reporter.Texts(ReportEvent::Kind::Status);
    EXPECT_EQ(std::count(statuses.begin(), statuses.end(), "Clear Programmer's Storage..."), 1) << c.field;
  }
}

// An empty storage is downloaded without a word to the Programmer; a report that still differs
// after the one re-download ends the press.
TEST(UpdateWire, RedownloadAtMostOncePerPress) {
  const struct {
    const char* name;
    bool downloaded;
    sim::FaultPlan faults;
    UpdateOutcome outcome;
  } cases[] = {
      {"empty_storage", false, {}, UpdateOutcome::Passed},
      {"still_differs",
       true,
       {{{sim::FaultKind::BadReport, 1}, {sim::FaultKind::BadReport, 2}}},
       UpdateOutcome::Stopped},
  };
  for (const auto& c : cases) {
    OperationRig rig;
    ASSERT_EQ(rig.bench.ChoosePart("QMC04A", std::nullopt), 1);
    rig.Serve(std::make_unique<sim::ProgrammerModel>(rig.SuitableTypeCode(), 0x0710))
        .SetFaults(std::make_shared<sim::DeviceFaults>(c.faults));
    rig.Remember("sim:1");
    rig.Image(ImageArea::Aprom, 20);
    if (c.downloaded) {
      ASSERT_EQ(DownloadProgrammer(rig.bench), 1);
    }
    rig.reporter.Clear();
    const std::size_t mark = rig.Mark();
    EXPECT_EQ(UpdateChip(rig.bench), c.outcome) << c.name;
    EXPECT_TRUE(test_support::MatchesGolden(std::string("operations/update_") + c.name + ".txt",
                                            rig.UpdateText(static_cast<int>(c.outcome), mark)));
  }
}

// Counter at its end: a warning, and nothing goes on the line.
TEST(UpdateWire, CounterAtItsEndStartsNothing) {
  for (const bool down : {true, false}) {
    OperationRig rig;
    rig.Serve(std::make_unique<sim::ProgrammerModel>(rig.SuitableTypeCode(), 0x0710));
    rig.job.ChipCounterEnabled = true;
    rig.job.CountDown = down;
    rig.job.ChipCounter = down ? 0 : 999999;
    EXPECT_EQ(UpdateChip(rig.bench), UpdateOutcome::Stopped);
    EXPECT_EQ(rig.Mark(), 0u);
    EXPECT_EQ(rig.reporter.Texts(ReportEvent::Kind::Warning),
              std::vector<std::string>{
                  down ? "Chip Counter reaches '000,000' !\n\nPlease reset the Chip Counter."
                       : "Chip Counter reaches '999,999' !\n\nPlease reset the Chip Counter."});
  }
}

// A recorder that cannot write the reservation stops the chip before it starts.
TEST(UpdateWire, RefusedReservationStartsNoChip) {
  OperationRig rig;
  ASSERT_EQ(rig.bench.ChoosePart("QMC04A", std::nullopt), 1);
  rig.Serve(std::make_unique<sim::ProgrammerModel>(rig.SuitableTypeCode(), 0x0710));
  rig.Remember("sim:1");
  rig.Image(ImageArea::Aprom, 20);
  WithSn(rig);
  ASSERT_EQ(DownloadProgrammer(rig.bench), 1);
  rig.recorder.refuse_start = true;
  EXPECT_EQ(UpdateChip(rig.bench), UpdateOutcome::Stopped);
  EXPECT_EQ(rig.Wire(0, WireDirection::ToDevice).back(), 0xFF);
  EXPECT_EQ(rig.recorder.lines.size(), 1u);
  EXPECT_EQ(rig.job.SnValue, (SplitDecimal{0, 99999998}));
}

}  // namespace
}  // namespace quillet
