// Every row of the variant table that the search checks a Programmer against: for each kind of
// part and each of the fifteen variants, the bytes on the wire and the outcome.
#include <gtest/gtest.h>

#include <map>

#include "core/programmer/programmer_link.h"
#include "sim/firmware_image.h"
#include "sim/programmer_model.h"
#include "support/link_rig.h"

namespace quillet {
namespace {

using test_support::LinkRig;
using V = std::vector<uint8_t>;
using S = std::vector<std::string>;
using F = FirmwareVariant;

constexpr char kNoIsp[] = "This programmer cannot support ISP device !";
constexpr char kNoIcp[] = "This programmer cannot support ICP device !";
constexpr char kNoKestra[] = "This programmer cannot support Kestra !";
constexpr char kNoVelmari[] = "This programmer cannot support Velmari device !";

// A part code of each kind in the catalogue.
constexpr uint32_t kIsp = 2, kIcp = 110, kKestra = 131, kTessel = 136, kMarlin = 132, kVelmari = 200;

const std::vector<F> kIcpOnlyAny = {F::IcpOnly, F::IcpOnlyTessel, F::IcpOnlyMarlin};
const std::vector<F> kHalvardAny = {F::Halvard, F::HalvardTessel, F::HalvardMarlin};
const std::vector<F> kHalvard2Any = {F::Halvard2, F::Halvard2Tessel, F::Halvard2Marlin};

std::vector<F> Plus(std::vector<F> a, const std::vector<F>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

struct Row {
  uint32_t part;
  std::vector<F> found;
  const char* refusal;      // nullptr unless refused
  std::optional<F> target;  // switch to; nothing with neither: keep
};

const std::vector<Row>& Rows() {
  static const std::vector<Row> rows = {
      {kIsp, Plus(Plus(kIcpOnlyAny, kHalvardAny), kHalvard2Any), kNoIsp, {}},
      {kIsp, {F::Icp, F::IcpVelmari, F::IcpTessel, F::IcpMarlin}, nullptr, F::Isp},
      {kIsp, {F::IspOnly, F::Isp}, nullptr, {}},

      {kIcp, {F::IspOnly}, kNoIcp, {}},
      {kIcp, {F::Isp, F::IcpVelmari, F::IcpTessel, F::IcpMarlin}, nullptr, F::Icp},
      {kIcp, {F::IcpOnlyTessel, F::IcpOnlyMarlin}, nullptr, F::IcpOnly},
      {kIcp, {F::HalvardTessel, F::HalvardMarlin}, nullptr, F::Halvard},
      {kIcp, {F::Halvard2Tessel, F::Halvard2Marlin}, nullptr, F::Halvard2},
      {kIcp, {F::Icp, F::IcpOnly, F::Halvard, F::Halvard2}, nullptr, {}},

      {kKestra, {F::IspOnly}, kNoIcp, {}},
      {kKestra,
       Plus({F::Isp, F::Icp, F::IcpVelmari, F::IcpTessel, F::IcpMarlin}, kIcpOnlyAny),
       kNoKestra,
       {}},
      {kKestra, {F::HalvardTessel, F::HalvardMarlin}, nullptr, F::Halvard},
      {kKestra, {F::Halvard2Tessel, F::Halvard2Marlin}, nullptr, F::Halvard2},
      {kKestra, {F::Halvard, F::Halvard2}, nullptr, {}},

      {kTessel, {F::IspOnly}, kNoIcp, {}},
      {kTessel, {F::Isp, F::Icp, F::IcpVelmari, F::IcpMarlin}, nullptr, F::IcpTessel},
      {kTessel, {F::IcpOnly, F::IcpOnlyMarlin}, nullptr, F::IcpOnlyTessel},
      {kTessel, {F::Halvard, F::HalvardMarlin}, nullptr, F::HalvardTessel},
      {kTessel, {F::Halvard2, F::Halvard2Marlin}, nullptr, F::Halvard2Tessel},
      {kTessel, {F::IcpTessel, F::IcpOnlyTessel, F::HalvardTessel, F::Halvard2Tessel}, nullptr, {}},

      {kMarlin, {F::IspOnly}, kNoIcp, {}},
      {kMarlin, {F::Isp, F::Icp, F::IcpVelmari, F::IcpTessel}, nullptr, F::IcpMarlin},
      {kMarlin, {F::IcpOnly, F::IcpOnlyTessel}, nullptr, F::IcpOnlyMarlin},
      {kMarlin, {F::Halvard, F::HalvardTessel}, nullptr, F::HalvardMarlin},
      {kMarlin, {F::Halvard2, F::Halvard2Tessel}, nullptr, F::Halvard2Marlin},
      {kMarlin, {F::IcpMarlin, F::IcpOnlyMarlin, F::HalvardMarlin, F::Halvard2Marlin}, nullptr, {}},

      {kVelmari, {F::IspOnly}, kNoIcp, {}},
      {kVelmari, Plus(Plus(kIcpOnlyAny, kHalvardAny), kHalvard2Any), kNoVelmari, {}},
      {kVelmari, {F::Isp, F::Icp, F::IcpTessel, F::IcpMarlin}, nullptr, F::IcpVelmari},
      {kVelmari, {F::IcpVelmari}, nullptr, {}},
  };
  return rows;
}

struct Case {
  uint32_t part;
  F found;
  const Row* row;
};

std::vector<Case> Cases() {
  std::vector<Case> cases;
  for (const Row& row : Rows()) {
    for (F found : row.found) cases.push_back({row.part, found, &row});
  }
  return cases;
}

TEST(VariantTable, EveryKindOfPartMeetsEveryVariantExactlyOnce) {
  std::map<uint32_t, std::map<F, int>> seen;
  for (const Case& c : Cases()) ++seen[c.part][c.found];
  EXPECT_EQ(seen.size(), 6u);
  for (const auto& [part, variants] : seen) {
    EXPECT_EQ(variants.size(), kFirmwareVariantCount) << part;
    for (const auto& [variant, count] : variants) EXPECT_EQ(count, 1) << part;
  }
}

class VariantSwitch : public ::testing::TestWithParam<Case> {};

TEST_P(VariantSwitch, SearchKeepsSwitchesOrRefuses) {
  const Case& c = GetParam();
  LinkRig rig;
  auto& device = rig.Add(std::make_unique<sim::ProgrammerModel>(Info(c.found).type_code, 0x0710));
  rig.Remember("sim:1");
  rig.job.PartCode = c.part;
  const int result = rig.link.SearchProgrammer();
  const V probe = {0xC1, 0xC0};
  const V sent = rig.Wire(0, WireDirection::ToDevice);
  const std::string found_word(Info(c.found).word);
  if (c.row->refusal) {
    EXPECT_EQ(result, 0);
    EXPECT_EQ(rig.Failures(), S{c.row->refusal});
    EXPECT_EQ(sent, probe);
  } else if (!c.row->target) {
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(rig.Failures().empty());
    EXPECT_EQ(sent, probe);
    EXPECT_EQ(rig.link.Variant, c.found);
  } else {
    const VariantInfo& target = Info(*c.row->target);
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(rig.Failures().empty());
    ASSERT_GT(sent.size(), 3u);
    EXPECT_EQ(V(sent.begin(), sent.begin() + 3), (V{0xC1, 0xC0, 0xC5}));
    // The target's own file went over the wire, and the Programmer now runs it.
    EXPECT_EQ(device.last_image(),
              sim::MakeFirmwareImage({target.type_code, 0x0710}, test_support::kRigFirmwareSize));
    EXPECT_EQ(device.type_code(), target.type_code);
    EXPECT_EQ(rig.link.Variant, *c.row->target);
    EXPECT_EQ(rig.display.types, (S{found_word, std::string(target.word)}));
    return;
  }
  EXPECT_EQ(rig.display.types, S{found_word});
  EXPECT_EQ(device.transfers(), 0);
}

INSTANTIATE_TEST_SUITE_P(AllRows, VariantSwitch, ::testing::ValuesIn(Cases()), [](const auto& info) {
  return "Part" + std::to_string(info.param.part) + "_" +
         std::string(Info(info.param.found).file.substr(14))
             .substr(0, std::string(Info(info.param.found).file.substr(14)).size() - 4);
});

}  // namespace
}  // namespace quillet
