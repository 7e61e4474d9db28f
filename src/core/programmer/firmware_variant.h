#pragma once
// The Programmer's fifteen firmware variants: the type codes that name them, the word the
// "Prog. Type" field shows, the firmware file of each, and which variant a part needs.
#include <cstdint>
#include <optional>
#include <string_view>

namespace quillet {

enum class FirmwareVariant : uint8_t {
  IspOnly,
  Isp,
  IcpOnly,
  IcpOnlyTessel,
  IcpOnlyMarlin,
  Halvard,
  HalvardTessel,
  HalvardMarlin,
  Halvard2,
  Halvard2Tessel,
  Halvard2Marlin,
  Icp,
  IcpVelmari,
  IcpTessel,
  IcpMarlin,
};
constexpr std::size_t kFirmwareVariantCount = 15;

// The type code a Gang Programmer answers to 0xC0.
constexpr uint8_t kGangTypeCode = 0xAF;
constexpr uint16_t kExpectedFirmwareVersion = 0x0710;
inline constexpr char kGangFirmwareFile[] = "v0710_GangMCU.DAT";

struct VariantInfo {
  FirmwareVariant variant;
  uint8_t type_code;  // the code the variant's firmware answers to 0xC0
  std::string_view word;
  std::string_view file;
};

const VariantInfo& Info(FirmwareVariant variant);
// The variant a type code names (0xC0, 0xC1 and 0xC2 name ICP Tessel as 0xA4 does); none for 0xAF
// and every code outside the table.
std::optional<FirmwareVariant> VariantOfTypeCode(uint8_t code);
// Codes the port scan accepts as a Programmer's answer to 0xC0 (the Gang Programmer's among them).
bool IsScanTypeCode(uint8_t code);

// Where a part stands with respect to the Programmer's firmware.
enum class PartGroup : uint8_t {
  Isp8051,    // part codes 0 to 109
  Icp,        // 110 to 199 without any of the three flags
  IcpKestra,  // 110 to 199 with KestraPart
  IcpTessel,  // 110 to 199 with FamilyFlagB
  IcpMarlin,  // 110 to 199 with FamilyFlagC
  Velmari,    // 200 and above
};
// The flags are tested in the order KestraPart, FamilyFlagB, FamilyFlagC.
PartGroup ClassifyPart(uint32_t part_code, bool kestra, bool flag_b, bool flag_c);

// What the search does with the variant found for a part: keep it, switch to another one (a
// firmware update), or refuse with a message.
struct VariantDecision {
  enum class Action : uint8_t { Keep, Switch, Refuse };
  Action action = Action::Keep;
  FirmwareVariant target = FirmwareVariant::IspOnly;  // for Switch
  std::string_view message;                           // for Refuse
};
VariantDecision DecideVariant(PartGroup group, FirmwareVariant found);

}  // namespace quillet
