// Download Programmer and Update Chip against the simulated Programmer and Gang Programmer in
// virtual time. Each case's exchange goes to a golden transcript with its reports, production
// records and S/N and counter boxes; an update case starts its transcript after a download.
#include <gtest/gtest.h>

#include <algorithm>

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

// A job: the part, image sizes (0: area not selected), CONFIG, S/N programming (S/N 00000000,
// 99999998, Chip Counter at 41), usage limit at its first 0xFF, 0xFF.
struct Job {
  const char* part;
  uint32_t aprom = 0, data_flash = 0, ldrom = 0;
  bool config = false, sn = false, limit = false, unlock = false;
};

struct Line {
  bool gang = false;
  std::vector<sim::SocketFlaw> flaws;
  std::optional<std::optional<uint8_t>> gang_result;  // unset: the sockets' own outcome
  sim::FaultPlan faults;
};

struct Bench {
  OperationRig rig;
  sim::ChipFeeder feeder;
  sim::ProgrammerModel* programmer = nullptr;

  Bench(const Job& job, const Line& line) {
    rig.job.ProgrammerMode = line.gang ? kModeGang : 0;
    DeriveModeFlags(rig.job);
    EXPECT_EQ(rig.bench.ChoosePart(job.part, std::nullopt), 1);
    for (const sim::SocketFlaw& flaw : line.flaws) feeder.AddFlaw(flaw.socket, flaw.flaw);
    const auto faults = std::make_shared<sim::DeviceFaults>(line.faults);
    if (line.gang) {
      auto& gang = rig.Serve(std::make_unique<sim::GangModel>(0x0710, rig.SuitableTypeCode()));
      gang.SetFeeder(feeder);
      gang.SetFaults(faults);
      if (line.gang_result) gang.SetGangResult(*line.gang_result);
    } else {
      programmer = &rig.Serve(std::make_unique<sim::ProgrammerModel>(rig.SuitableTypeCode(), 0x0710));
      programmer->SetFeeder(feeder, 0);
      programmer->SetFaults(faults);
    }
    rig.Remember("sim:1");
    const uint32_t sizes[] = {job.aprom, job.data_flash, job.ldrom};
    for (ImageArea area : kImageAreas) {
      if (uint32_t size = sizes[static_cast<int>(area)])
        rig.Image(area, size, static_cast<uint8_t>(area) + 1);
    }
    rig.job.ConfigSelected = job.config;
    if (job.unlock) rig.job.ConfigBytes[7] |= 0x02;  // CONFIG0 of an 8051: no lock
    rig.job.SnProgrammingEnabled = job.sn;
    rig.job.SnAddress = 0xFF8;
    rig.job.SnValue = {0, 99999998};
    rig.job.ChipCounterEnabled = job.sn;
    rig.job.ChipCounter = 41;
    rig.job.UsageLimitEnabled = job.limit;
    rig.job.UsageLimit = {0xFF, 0xFF};
  }
};

struct DownloadCase {
  const char* name;
  Job job;
  Line line;
};

class DownloadWire : public ::testing::TestWithParam<DownloadCase> {};

TEST_P(DownloadWire, Exchange) {
  const DownloadCase& c = GetParam();
  Bench s(c.job, c.line);
  const int result = DownloadProgrammer(s.rig.bench);
  EXPECT_EQ(s.rig.StrictRefusals(0), 0u);
  EXPECT_TRUE(test_support::MatchesGolden(std::string("operations/download_") + c.name + ".txt",
                                          s.rig.Transcript(result)));
}

// The parts bring each DataFlash start rule in turn (M0 by CONFIG, 8051 B by CONFIG, 8051 A by
// CONFIG, the part's base).
INSTANTIATE_TEST_SUITE_P(
    Cases, DownloadWire,
    ::testing::Values(
        // 512 bytes: two full blocks; 300 bytes: 256 and 44; both verify two blocks.
        DownloadCase{"icp_512_300_sn", {"QVAL128LB", 512, 0, 300, true, true}},
        DownloadCase{"config_only", {"QTS16A", 0, 0, 0, true}},
        DownloadCase{"isp_usage_limit", {"QLS64C", 1000, 0, 0, false, false, true}},
        DownloadCase{"gang_300", {"QMC04A", 300}, {true}},
        // The second socket's sum is wrong: the gang download ends there.
        DownloadCase{"gang_sum_error", {"QMC04A", 300}, {true, {}, {}, {{{sim::FaultKind::SumError, 2}}}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct UpdateCase {
  const char* name;
  Job job;
  Line line;
  bool downloaded = true;
};

class UpdateWire : public ::testing::TestWithParam<UpdateCase> {};

TEST_P(UpdateWire, Exchange) {
  const UpdateCase& c = GetParam();
  Bench s(c.job, c.line);
  if (c.downloaded) {
    ASSERT_EQ(DownloadProgrammer(s.rig.bench), 1) << s.rig.reporter.ResultMessage();
  }
  s.rig.reporter.Clear();
  const std::size_t mark = s.rig.Mark();
  const UpdateOutcome outcome = UpdateChip(s.rig.bench);
  EXPECT_EQ(s.rig.StrictRefusals(0), 0u);
  EXPECT_TRUE(test_support::MatchesGolden(std::string("operations/update_") + c.name + ".txt",
                                          s.rig.UpdateText(static_cast<int>(outcome), mark)));
}

constexpr Job kAllAreas{"QVAB032LB", 300, 40, 20, true};
constexpr Job kIsp{"QLS32F", 600, 128, 0, true};
constexpr Job kGangSn{"QMC04A", 300, 0, 0, false, true};

INSTANTIATE_TEST_SUITE_P(
    Single, UpdateWire,
    ::testing::Values(
        // Program-and-verify acknowledges: 1,000 and 1,024 bytes wait for 8, 1,025 for 10.
        UpdateCase{"icp_1000_sn", {"QMC04A", 1000, 0, 0, false, true}},
        UpdateCase{"icp_1024", {"QMC04A", 1024}}, UpdateCase{"icp_1025", {"QMC04A", 1025}},
        UpdateCase{"icp_device_id", {"QMC04A", 100}, {false, {{0, ChipFlaw::WrongPart}}}},
        UpdateCase{"icp_aprom_error", kAllAreas, {false, {{0, ChipFlaw::FailAprom}}}},
        UpdateCase{"icp_dataflash_error", kAllAreas, {false, {{0, ChipFlaw::FailDataFlash}}}},
        UpdateCase{"icp_ldrom_error", kAllAreas, {false, {{0, ChipFlaw::FailLdrom}}}},
        UpdateCase{"icp_config_error", kAllAreas, {false, {{0, ChipFlaw::FailConfig}}}},
        UpdateCase{"isp_dataflash_config", kIsp},
        // The chip's code protection goes: the whole APROM is erased first, after a warning.
        UpdateCase{"isp_protection_dropped",
                   {"QLS32F", 600, 128, 0, true, false, false, true},
                   {false, {{0, ChipFlaw::Locked}}}},
        // An empty storage is downloaded without a reply byte; a report that still differs after
        // the one re-download ends the press.
        UpdateCase{"empty_storage", {"QMC04A", 20}, {}, false},
        UpdateCase{"still_differs",
                   {"QMC04A", 20},
                   {false, {}, {}, {{{sim::FaultKind::BadReport, 1}, {sim::FaultKind::BadReport, 2}}}}}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Gang, UpdateWire,
    ::testing::Values(UpdateCase{"gang_all_pass", kGangSn, {true}},
                      // 0x14: sockets #1 and #3 passed.
                      UpdateCase{"gang_some_fail", kGangSn, {true, {}, uint8_t{0x14}}},
                      UpdateCase{"gang_all_fail", kGangSn, {true, {}, uint8_t{0x00}}},
                      UpdateCase{"gang_timeout", kGangSn, {true, {}, std::optional<uint8_t>()}}),
    [](const auto& info) { return std::string(info.param.name); });

// Each part of the report that differs from the job costs one re-download, after which the update
// passes.
TEST(UpdateWire, EachReportMismatchDownloadsOnceThenPasses) {
  const struct {
    const char* field;
    void (*change)(OperationRig&);
  } cases[] = {
      {"part code", [](OperationRig& rig) { rig.bench.ChoosePart("QVAB064LB", std::nullopt); }},
      {"item flags", [](OperationRig& rig) { rig.job.LdromSelected = false; }},
      {"APROM stamp",
       [](OperationRig& rig) { rig.Image(ImageArea::Aprom, 300, 1, test_support::kImageFileTime + 1); }},
      {"APROM name", [](OperationRig& rig) { rig.bench.images().aprom.SetStoredName("other.bin"); }},
      {"DataFlash stamp", [](OperationRig& rig) { rig.Image(ImageArea::DataFlash, 41, 2); }},
      {"LDROM stamp", [](OperationRig& rig) { rig.Image(ImageArea::Ldrom, 20, 4); }},
      {"CONFIG", [](OperationRig& rig) { rig.job.ConfigBytes[7] ^= 0x01; }},
  };
  for (const auto& c : cases) {
    Bench s(kAllAreas, {});
    ASSERT_EQ(DownloadProgrammer(s.rig.bench), 1) << s.rig.reporter.ResultMessage();
    c.change(s.rig);
    s.rig.reporter.Clear();
    EXPECT_EQ(UpdateChip(s.rig.bench), UpdateOutcome::Passed)
        << c.field << ": " << s.rig.reporter.ResultMessage();
    EXPECT_EQ(s.feeder.programmed().size(), 1u) << c.field;
    const auto statuses = s.rig.reporter.Texts(ReportEvent::Kind::Status);
    EXPECT_EQ(std::count(statuses.begin(), statuses.end(), "Clear Programmer's Storage..."), 1) << c.field;
  }
}

// The counter at its end, or a recorder that cannot write the reservation: no chip starts.
TEST(UpdateWire, NothingStartsAtTheCounterEndOrWithoutAReservation) {
  for (const uint32_t counter : {0u, 999999u, 5u}) {
    Bench s({"QMC04A", 20, 0, 0, false, true}, {});
    ASSERT_EQ(DownloadProgrammer(s.rig.bench), 1);
    const std::size_t mark = s.rig.Mark();
    s.rig.job.CountDown = counter == 0;
    s.rig.job.ChipCounter = counter;
    s.rig.recorder.refuse_start = true;
    EXPECT_EQ(UpdateChip(s.rig.bench), UpdateOutcome::Stopped);
    const std::vector<uint8_t> sent = s.rig.Wire(0, WireDirection::ToDevice);
    if (counter == 5) {
      EXPECT_EQ(sent.back(), 0xFF);  // the report is answered with a stop
    } else {
      EXPECT_EQ(s.rig.Mark(), mark);
      EXPECT_EQ(s.rig.reporter.Texts(ReportEvent::Kind::Warning).size(), 1u);
    }
    EXPECT_EQ(s.rig.job.SnValue, (SplitDecimal{0, 99999998}));
    EXPECT_EQ(s.rig.job.ChipCounter, counter);
  }
}

// A chip that passed but whose result cannot be committed shows no PASS.
TEST(UpdateWire, NoPassWithoutItsCommit) {
  Bench s({"QMC04A", 20, 0, 0, false, true}, {});
  ASSERT_EQ(DownloadProgrammer(s.rig.bench), 1);
  s.rig.reporter.Clear();
  s.rig.recorder.refuse_finish = true;
  EXPECT_EQ(UpdateChip(s.rig.bench), UpdateOutcome::Stopped);
  EXPECT_EQ(s.feeder.programmed().size(), 1u);
  EXPECT_TRUE(s.rig.reporter.Texts(ReportEvent::Kind::Pass).empty());
}

}  // namespace
}  // namespace quillet
