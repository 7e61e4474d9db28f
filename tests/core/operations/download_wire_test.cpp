// Download Programmer against the simulated Programmer and Gang Programmer in virtual time: the
// exact exchange of each case in a golden transcript, and what the Programmer ends up storing.
#include <gtest/gtest.h>

#include <functional>

#include "core/operations/chip_operations.h"
#include "core/operations/download_header.h"
#include "sim/gang_model.h"
#include "sim/programmer_model.h"
#include "support/golden.h"
#include "support/operation_rig.h"

namespace quillet {
namespace {

using test_support::OperationRig;

struct DownloadCase {
  const char* name;
  const char* part;
  bool gang;
  std::function<void(OperationRig&)> setup;
  sim::FaultPlan faults;
};

class DownloadWire : public ::testing::TestWithParam<DownloadCase> {};

TEST_P(DownloadWire, Exchange) {
  const DownloadCase& c = GetParam();
  OperationRig rig;
  rig.job.ProgrammerMode = c.gang ? kModeGang : 0;
  DeriveModeFlags(rig.job);
  ASSERT_EQ(rig.bench.ChoosePart(c.part, std::nullopt), 1);
  const uint8_t type = rig.SuitableTypeCode();
  const auto faults = std::make_shared<sim::DeviceFaults>(c.faults);
  if (c.gang)
    rig.Serve(std::make_unique<sim::GangModel>(0x0710, type)).SetFaults(faults);
  else
    rig.Serve(std::make_unique<sim::ProgrammerModel>(type, 0x0710)).SetFaults(faults);
  rig.Remember("sim:1");
  c.setup(rig);
  const int result = DownloadProgrammer(rig.bench);
  EXPECT_EQ(rig.StrictRefusals(0), 0u);
  EXPECT_TRUE(test_support::MatchesGolden(std::string("operations/download_") + c.name + ".txt",
                                          rig.Transcript(result)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DownloadWire,
    ::testing::Values(
        // 512 bytes: two full blocks; 300 bytes: a full block and 44 bytes; both verify b = 2.
        DownloadCase{"icp_512_300_sn", "QVAB032LB", false,
                     [](OperationRig& rig) {
                       rig.Image(ImageArea::Aprom, 512);
                       rig.Image(ImageArea::DataFlash, 300, 3);
                       rig.job.SnProgrammingEnabled = true;
                       rig.job.SnAddress = 0x800;
                       rig.job.SnValue = {0, 123};
                     }},
        DownloadCase{"config_only", "QMC04A", false,
                     [](OperationRig& rig) { rig.job.ConfigSelected = true; }},
        DownloadCase{"isp_usage_limit", "QLA08P", false,
                     [](OperationRig& rig) {
                       rig.Image(ImageArea::Aprom, 1000);
                       rig.job.UsageLimitEnabled = true;
                       rig.job.UsageLimit = {0xFF, 0xFF};
                     }},
        DownloadCase{"gang_300", "QMC04A", true, [](OperationRig& rig) { rig.Image(ImageArea::Aprom, 300); }},
        // The second socket's sum is wrong: the gang download ends there.
        DownloadCase{"gang_sum_error",
                     "QMC04A",
                     true,
                     [](OperationRig& rig) { rig.Image(ImageArea::Aprom, 300); },
                     {{{sim::FaultKind::SumError, 2}}}}),
    [](const auto& info) { return std::string(info.param.name); });

// The DataFlash start the Programmer stores for the first listed part of each rule.
TEST(DownloadWire, DataFlashStartOfEachRule) {
  // Which row of the rule table a part falls under: the first whose condition holds. No listed part
  // has FamilyFlagC today; its row is checked on a made-up part in download_header_test.
  const auto rule_of = [](const PartRow& p) {
    if (p.FamilyFlagA && p.DataFlashByConfig) return 'A';
    if (p.IsCortexM0 && p.DataFlashByConfig) return 'M';
    if (p.FamilyFlagB && p.DataFlashByConfig) return 'B';
    if (p.FamilyFlagC) return 'C';
    return p.HasDataFlash ? 'D' : '-';
  };
  const struct {
    char rule;
    std::function<std::array<uint8_t, 2>(const PartRow&, const ConfigByteArray&)> expected;
  } rules[] = {
      {'A',
       [](const PartRow&, const ConfigByteArray&) {
         return std::array<uint8_t, 2>{0x01, 0x00};
       }},
      {'M',
       [](const PartRow&, const ConfigByteArray& c) {
         return std::array<uint8_t, 2>{c[1], c[2]};
       }},
      {'B',
       [](const PartRow&, const ConfigByteArray& c) {
         return std::array<uint8_t, 2>{0x00, c[6]};
       }},
      {'D',
       [](const PartRow& p, const ConfigByteArray&) {
         return std::array<uint8_t, 2>{uint8_t(p.DataFlashBase >> 16), uint8_t(p.DataFlashBase >> 8)};
       }},
  };
  for (const auto& r : rules) {
    OperationRig rig;
    std::string part;
    for (uint32_t code = 0; code < kPartCount && part.empty(); ++code) {
      const std::string& name = rig.catalogue.PartName(code);
      if (!name.empty() && name != "-" && rule_of(rig.catalogue.Row(code)) == r.rule) part = name;
    }
    ASSERT_FALSE(part.empty()) << r.rule;
    SCOPED_TRACE(std::string(1, r.rule) + " " + part);
    ASSERT_EQ(rig.bench.ChoosePart(part, std::nullopt), 1);
    auto& device = rig.Serve(std::make_unique<sim::ProgrammerModel>(rig.SuitableTypeCode(), 0x0710));
    rig.Remember("sim:1");
    rig.Image(ImageArea::Aprom, 16);
    ASSERT_EQ(DownloadProgrammer(rig.bench), 1) << rig.reporter.ResultMessage();
    const auto expected = r.expected(rig.catalogue.Row(rig.job.PartCode), rig.job.ConfigBytes);
    EXPECT_EQ(device.storage().header[47], expected[0]);
    EXPECT_EQ(device.storage().header[48], expected[1]);
  }
}

}  // namespace
}  // namespace quillet
