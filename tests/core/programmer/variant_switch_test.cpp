// What the search does with each firmware variant for each kind of part, checked against the rule
// the variant table follows: a part's family keeps its own variants; any other variant is switched
// to the family's variant for the same hardware; where the family has none for that hardware, the
// search refuses. The searches themselves are in programmer_link_test.
#include <gtest/gtest.h>

#include <string>

#include "core/programmer/firmware_variant.h"

namespace quillet {
namespace {

using F = FirmwareVariant;
using A = VariantDecision::Action;

bool Has(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}
// Variants of the plain ICP family: neither ISP nor a Tessel, Marlin or Velmari one.
bool PlainIcp(F v) {
  const std::string_view file = Info(v).file;
  return Has(file, "_ICP") && !Has(file, "_Tessel") && !Has(file, "_Marlin") && !Has(file, "_Velmari");
}
// The hardware a variant runs on: one board takes ISP and ICP firmware alike.
std::string_view Hardware(F v) {
  const std::string_view word = Info(v).word;
  return word == "ISP" || word == "ICP" || word == "ICP_Velmari" ? "ISP/ICP" : word;
}

const struct {
  PartGroup group;
  bool (*family)(F);
  std::string_view refusal;  // for hardware the family has no variant for (ISP-only boards excepted)
} kGroups[] = {
    {PartGroup::Isp8051, [](F v) { return Has(Info(v).file, "_ISP"); },
     "This programmer cannot support ISP device !"},
    {PartGroup::Icp, PlainIcp, ""},
    {PartGroup::IcpKestra, [](F v) { return PlainIcp(v) && Has(Info(v).file, "Halvard"); },
     "This programmer cannot support Kestra !"},
    {PartGroup::IcpTessel, [](F v) { return Has(Info(v).file, "_Tessel"); }, ""},
    {PartGroup::IcpMarlin, [](F v) { return Has(Info(v).file, "_Marlin"); }, ""},
    {PartGroup::Velmari, [](F v) { return Has(Info(v).file, "_Velmari"); },
     "This programmer cannot support Velmari device !"},
};

TEST(DecideVariant, KeepsTheFamilySwitchesOnTheSameHardwareOrRefuses) {
  for (const auto& g : kGroups) {
    for (std::size_t i = 0; i < kFirmwareVariantCount; ++i) {
      const F found = static_cast<F>(i);
      SCOPED_TRACE(std::to_string(static_cast<int>(g.group)) + " " + std::string(Info(found).file));
      const VariantDecision decision = DecideVariant(g.group, found);
      std::optional<F> target;
      for (std::size_t j = 0; j < kFirmwareVariantCount; ++j) {
        const F v = static_cast<F>(j);
        if (g.family(v) && Hardware(v) == Hardware(found)) target = v;
      }
      if (g.family(found)) {
        EXPECT_EQ(decision.action, A::Keep);
      } else if (target) {
        EXPECT_EQ(decision.action, A::Switch);
        EXPECT_EQ(decision.target, *target);
      } else {
        EXPECT_EQ(decision.action, A::Refuse);
        EXPECT_EQ(decision.message,
                  found == F::IspOnly ? "This programmer cannot support ICP device !" : g.refusal);
      }
    }
  }
}

TEST(ClassifyPart, CodeRangesThenFlagsInOrder) {
  EXPECT_EQ(ClassifyPart(109, true, true, true), PartGroup::Isp8051);
  EXPECT_EQ(ClassifyPart(110, false, false, false), PartGroup::Icp);
  EXPECT_EQ(ClassifyPart(199, true, true, true), PartGroup::IcpKestra);
  EXPECT_EQ(ClassifyPart(136, false, true, true), PartGroup::IcpTessel);
  EXPECT_EQ(ClassifyPart(132, false, false, true), PartGroup::IcpMarlin);
  EXPECT_EQ(ClassifyPart(200, true, true, true), PartGroup::Velmari);
}

TEST(VariantOfTypeCode, EveryVariantByItsCodeAndTheOldTesselCodes) {
  for (std::size_t i = 0; i < kFirmwareVariantCount; ++i) {
    const F v = static_cast<F>(i);
    EXPECT_EQ(VariantOfTypeCode(Info(v).type_code), v);
    EXPECT_TRUE(IsScanTypeCode(Info(v).type_code));
  }
  EXPECT_EQ(VariantOfTypeCode(0xC2), F::IcpTessel);
  EXPECT_EQ(VariantOfTypeCode(kGangTypeCode), std::nullopt);
  EXPECT_TRUE(IsScanTypeCode(kGangTypeCode));
  EXPECT_FALSE(IsScanTypeCode(0xC1));
}

}  // namespace
}  // namespace quillet
