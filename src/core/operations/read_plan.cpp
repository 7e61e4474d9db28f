#include "core/operations/read_plan.h"

#include <algorithm>

#include "core/images/image_buffer.h"

namespace quillet {
namespace {

// The Ember part's flash ends later with its LDROM off (bit 2 of CONFIG0 set).
constexpr uint32_t kEmberFlashEndLdromOff = 0x24400;
constexpr uint32_t kEmberFlashEndLdromOn = 0x23400;
constexpr uint32_t kCortexFlashEnd = 0x20000;
constexpr int64_t kEmberLdromSize = 0x1000;
constexpr int64_t kFamilyBFlashSize = 0x4000;  // APROM and DataFlash share these 16 KB

bool Bit(uint8_t byte, int bit) {
  return (byte >> bit) & 1;
}

uint32_t FlashEndOf(const PartRow& part, uint8_t k) {
  if (part.CedarPart || part.DuneFjordPart) return part.ApromLastAddress + 1;
  if (part.EmberPart) return Bit(k, 2) ? kEmberFlashEndLdromOff : kEmberFlashEndLdromOn;
  return kCortexFlashEnd;
}

// An end the chip's CONFIG gave: n + 1 bytes must fit in the part's `capacity` and a read buffer.
bool Outside(int64_t last, int64_t capacity) {
  return last + 1 < 0 || last + 1 > std::min<int64_t>(capacity, kImageCapacity);
}

}  // namespace

ReadPlan PlanChipRead(const PartRow& part, const std::array<uint8_t, 8>& shown) {
  ReadPlan plan;
  const uint8_t k = shown[7];   // the first byte the chip sends
  const uint8_t s7 = shown[6];  // an 8051's CONFIG1: DataFlash boundary in 256-byte pages
  const int64_t dfba = shown[1] * 65536 + shown[2] * 256;
  const bool cortex_by_config = part.IsCortexM0 && part.DataFlashByConfig;
  const bool family_b_by_config = part.FamilyFlagB && part.DataFlashByConfig;
  plan.ConfigFirst = part.IsCortexM0 || part.FamilyFlagB;
  if (part.IsCortexM0) plan.FlashEnd = FlashEndOf(part, k);

  plan.ApromLast = part.ApromLastAddress;
  if (part.EmberPart) {
    if (!Bit(k, 0)) plan.ApromLast += dfba - plan.FlashEnd;
    if (!Bit(k, 2)) plan.ApromLast -= kEmberLdromSize;
  } else if (cortex_by_config) {
    if (!Bit(k, 0)) plan.ApromLast += dfba - plan.FlashEnd;
  } else if (family_b_by_config) {
    if (!Bit(k, 0)) plan.ApromLast = int64_t{part.ApromLastAddress} + 256 * s7 - kFamilyBFlashSize;
  }

  plan.DataFlashLast = int64_t{part.DataFlashSize} - 1;
  plan.DataFlashStart = {static_cast<uint8_t>(part.DataFlashBase >> 16),
                         static_cast<uint8_t>(part.DataFlashBase >> 8)};
  if (cortex_by_config) {
    plan.DataFlashLast = int64_t{plan.FlashEnd} - 1 - dfba;
    plan.DataFlashStart = {shown[1], shown[2]};
  } else if (family_b_by_config) {
    plan.DataFlashLast = kFamilyBFlashSize - 1 - 256 * s7;
    plan.DataFlashStart = {0x00, s7};
  }

  plan.ReadDataFlash = part.HasDataFlash;
  if (cortex_by_config && (Bit(k, 0) || dfba >= plan.FlashEnd)) plan.ReadDataFlash = false;
  if (family_b_by_config && Bit(k, 0)) plan.ReadDataFlash = false;
  plan.ReadLdrom = part.HasLdrom && !(part.EmberPart && Bit(k, 2));

  // A DataFlash left unread bounds nothing: its end is only sent.
  if (Outside(plan.ApromLast, int64_t{part.ApromLastAddress} + 1))
    plan.OutsideArea = "APROM";
  else if (plan.ReadDataFlash && Outside(plan.DataFlashLast, part.DataFlashSize))
    plan.OutsideArea = "DataFlash";
  return plan;
}

std::string OutsideFlashMessage(std::string_view area) {
  return std::string(area) + " address in the chip's CONFIG is outside the flash !";
}

ConfigSpan ConfigVerifySpan(const PartRow& part) {
  if (part.IsCortexM0) return {0, 8};
  if (part.FamilyFlagB) return {4, 4};
  return {6, 2};
}

}  // namespace quillet
