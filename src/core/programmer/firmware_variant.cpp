#include "core/programmer/firmware_variant.h"

#include <algorithm>
#include <array>
#include <initializer_list>

namespace quillet {
namespace {

using V = FirmwareVariant;

constexpr std::array<VariantInfo, kFirmwareVariantCount> kVariants{{
    {V::IspOnly, 0xA5, "ISP_only", "v0710_MainMCU_ISP_only.DAT"},
    {V::Isp, 0xAA, "ISP", "v0710_MainMCU_ISP.DAT"},
    {V::IcpOnly, 0xA6, "ICP_only", "v0710_MainMCU_ICP_only.DAT"},
    {V::IcpOnlyTessel, 0xA3, "ICP_only", "v0710_MainMCU_ICP_only_Tessel.DAT"},
    {V::IcpOnlyMarlin, 0xB0, "ICP_only", "v0710_MainMCU_ICP_only_Marlin.DAT"},
    {V::Halvard, 0xAE, "ICP_Halvard", "v0710_MainMCU_ICP_Halvard.DAT"},
    {V::HalvardTessel, 0xA2, "ICP_Halvard", "v0710_MainMCU_ICP_Halvard_Tessel.DAT"},
    {V::HalvardMarlin, 0xB1, "ICP_Halvard", "v0710_MainMCU_ICP_Halvard_Marlin.DAT"},
    {V::Halvard2, 0xB3, "ICP_Halvard2", "v0710_MainMCU_ICP_Halvard2.DAT"},
    {V::Halvard2Tessel, 0xB4, "ICP_Halvard2", "v0710_MainMCU_ICP_Halvard2_Tessel.DAT"},
    {V::Halvard2Marlin, 0xB5, "ICP_Halvard2", "v0710_MainMCU_ICP_Halvard2_Marlin.DAT"},
    {V::Icp, 0xAB, "ICP", "v0710_MainMCU_ICP.DAT"},
    {V::IcpVelmari, 0xAD, "ICP_Velmari", "v0710_MainMCU_ICP_Velmari.DAT"},
    {V::IcpTessel, 0xA4, "ICP", "v0710_MainMCU_ICP_Tessel.DAT"},
    {V::IcpMarlin, 0xB2, "ICP", "v0710_MainMCU_ICP_Marlin.DAT"},
}};

// Further codes that old firmware answers for ICP Tessel.
constexpr uint8_t kIcpTesselAliases[] = {0xC0, 0xC1, 0xC2};

using VariantSet = uint16_t;
constexpr VariantSet Set(std::initializer_list<V> variants) {
  VariantSet set = 0;
  for (V v : variants) set |= static_cast<VariantSet>(1u << static_cast<unsigned>(v));
  return set;
}

constexpr VariantSet kIcpOnlyAny = Set({V::IcpOnly, V::IcpOnlyTessel, V::IcpOnlyMarlin});
constexpr VariantSet kHalvardAny = Set({V::Halvard, V::HalvardTessel, V::HalvardMarlin});
constexpr VariantSet kHalvard2Any = Set({V::Halvard2, V::Halvard2Tessel, V::Halvard2Marlin});

constexpr char kNoIsp[] = "This programmer cannot support ISP device !";
constexpr char kNoIcp[] = "This programmer cannot support ICP device !";
constexpr char kNoKestra[] = "This programmer cannot support Kestra !";
constexpr char kNoVelmari[] = "This programmer cannot support Velmari device !";

using A = VariantDecision::Action;

struct Rule {
  PartGroup group;
  VariantSet found;
  VariantDecision decision;
};

// Each variant appears in exactly one row of its group.
constexpr Rule kRules[] = {
    {PartGroup::Isp8051, kIcpOnlyAny | kHalvardAny | kHalvard2Any, {A::Refuse, {}, kNoIsp}},
    {PartGroup::Isp8051, Set({V::Icp, V::IcpVelmari, V::IcpTessel, V::IcpMarlin}), {A::Switch, V::Isp, {}}},
    {PartGroup::Isp8051, Set({V::IspOnly, V::Isp}), {A::Keep, {}, {}}},

    {PartGroup::Icp, Set({V::IspOnly}), {A::Refuse, {}, kNoIcp}},
    {PartGroup::Icp, Set({V::Isp, V::IcpVelmari, V::IcpTessel, V::IcpMarlin}), {A::Switch, V::Icp, {}}},
    {PartGroup::Icp, Set({V::IcpOnlyTessel, V::IcpOnlyMarlin}), {A::Switch, V::IcpOnly, {}}},
    {PartGroup::Icp, Set({V::HalvardTessel, V::HalvardMarlin}), {A::Switch, V::Halvard, {}}},
    {PartGroup::Icp, Set({V::Halvard2Tessel, V::Halvard2Marlin}), {A::Switch, V::Halvard2, {}}},
    {PartGroup::Icp, Set({V::Icp, V::IcpOnly, V::Halvard, V::Halvard2}), {A::Keep, {}, {}}},

    {PartGroup::IcpKestra, Set({V::IspOnly}), {A::Refuse, {}, kNoIcp}},
    {PartGroup::IcpKestra,
     Set({V::Isp, V::Icp, V::IcpVelmari, V::IcpTessel, V::IcpMarlin}) | kIcpOnlyAny,
     {A::Refuse, {}, kNoKestra}},
    {PartGroup::IcpKestra, Set({V::HalvardTessel, V::HalvardMarlin}), {A::Switch, V::Halvard, {}}},
    {PartGroup::IcpKestra, Set({V::Halvard2Tessel, V::Halvard2Marlin}), {A::Switch, V::Halvard2, {}}},
    {PartGroup::IcpKestra, Set({V::Halvard, V::Halvard2}), {A::Keep, {}, {}}},

    {PartGroup::IcpTessel, Set({V::IspOnly}), {A::Refuse, {}, kNoIcp}},
    {PartGroup::IcpTessel, Set({V::Isp, V::Icp, V::IcpVelmari, V::IcpMarlin}), {A::Switch, V::IcpTessel, {}}},
    {PartGroup::IcpTessel, Set({V::IcpOnly, V::IcpOnlyMarlin}), {A::Switch, V::IcpOnlyTessel, {}}},
    {PartGroup::IcpTessel, Set({V::Halvard, V::HalvardMarlin}), {A::Switch, V::HalvardTessel, {}}},
    {PartGroup::IcpTessel, Set({V::Halvard2, V::Halvard2Marlin}), {A::Switch, V::Halvard2Tessel, {}}},
    {PartGroup::IcpTessel,
     Set({V::IcpTessel, V::IcpOnlyTessel, V::HalvardTessel, V::Halvard2Tessel}),
     {A::Keep, {}, {}}},

    {PartGroup::IcpMarlin, Set({V::IspOnly}), {A::Refuse, {}, kNoIcp}},
    {PartGroup::IcpMarlin, Set({V::Isp, V::Icp, V::IcpVelmari, V::IcpTessel}), {A::Switch, V::IcpMarlin, {}}},
    {PartGroup::IcpMarlin, Set({V::IcpOnly, V::IcpOnlyTessel}), {A::Switch, V::IcpOnlyMarlin, {}}},
    {PartGroup::IcpMarlin, Set({V::Halvard, V::HalvardTessel}), {A::Switch, V::HalvardMarlin, {}}},
    {PartGroup::IcpMarlin, Set({V::Halvard2, V::Halvard2Tessel}), {A::Switch, V::Halvard2Marlin, {}}},
    {PartGroup::IcpMarlin,
     Set({V::IcpMarlin, V::IcpOnlyMarlin, V::HalvardMarlin, V::Halvard2Marlin}),
     {A::Keep, {}, {}}},

    {PartGroup::Velmari, Set({V::IspOnly}), {A::Refuse, {}, kNoIcp}},
    {PartGroup::Velmari, kIcpOnlyAny | kHalvardAny | kHalvard2Any, {A::Refuse, {}, kNoVelmari}},
    {PartGroup::Velmari, Set({V::Isp, V::Icp, V::IcpTessel, V::IcpMarlin}), {A::Switch, V::IcpVelmari, {}}},
    {PartGroup::Velmari, Set({V::IcpVelmari}), {A::Keep, {}, {}}},
};

}  // namespace

const VariantInfo& Info(FirmwareVariant variant) {
  return kVariants[static_cast<std::size_t>(variant)];
}

std::optional<FirmwareVariant> VariantOfTypeCode(uint8_t code) {
  for (const auto& info : kVariants) {
    if (info.type_code == code) return info.variant;
  }
  if (std::find(std::begin(kIcpTesselAliases), std::end(kIcpTesselAliases), code) !=
      std::end(kIcpTesselAliases)) {
    return V::IcpTessel;
  }
  return std::nullopt;
}

bool IsScanTypeCode(uint8_t code) {
  if (code == kGangTypeCode) return true;
  return std::any_of(kVariants.begin(), kVariants.end(),
                     [&](const VariantInfo& info) { return info.type_code == code; });
}

PartGroup ClassifyPart(uint32_t part_code, bool kestra, bool flag_b, bool flag_c) {
  if (part_code < 110) return PartGroup::Isp8051;
  if (part_code >= 200) return PartGroup::Velmari;
  if (kestra) return PartGroup::IcpKestra;
  if (flag_b) return PartGroup::IcpTessel;
  if (flag_c) return PartGroup::IcpMarlin;
  return PartGroup::Icp;
}

VariantDecision DecideVariant(PartGroup group, FirmwareVariant found) {
  const VariantSet bit = Set({found});
  for (const Rule& rule : kRules) {
    if (rule.group == group && (rule.found & bit)) return rule.decision;
  }
  return {};  // unreachable: every group covers all fifteen variants
}

}  // namespace quillet
