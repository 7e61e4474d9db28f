#include "catalogue/setup_part.h"

#include <array>

#include "catalogue/config_bit_texts.h"

namespace quillet {
namespace {

// ConfigBytes positions: an 8051 part keeps CONFIG0 in the eighth stored byte and CONFIG1 in the
// seventh; a Cortex-M0 part keeps CONFIG1 in bytes 0..3 and CONFIG0 in bytes 4..7, most significant
// byte first.
constexpr std::size_t k8051Config0 = 7;
constexpr std::size_t k8051Config1 = 6;
constexpr std::size_t kCortexConfig1 = 0;
constexpr std::size_t kCortexConfig0 = 4;

void PutWord(std::array<uint8_t, 8>& bytes, std::size_t first, uint32_t word) {
  for (std::size_t i = 0; i < 4; ++i) bytes[first + i] = static_cast<uint8_t>(word >> (24 - 8 * i));
}

// Clears every bit named "Reserved(0)" in the description group of the byte.
uint8_t ClearReservedZeroBits(uint8_t value, const BitText& (*text)(unsigned, unsigned), unsigned group) {
  for (unsigned bit = 0; bit < 8; ++bit) {
    if (text(group, bit).name == kReservedZeroBit) value &= static_cast<uint8_t>(~(1u << bit));
  }
  return value;
}

}  // namespace

void SetupPart(JobSettings& job, const PartCatalogue& catalogue) {
  const PartRow& part = catalogue.Row(job.PartCode);
  DeriveModeFlags(job);
  job.SeparateApromErase = part.FamilyFlagA && !job.CategoryMode;

  auto& bytes = job.ConfigBytes;
  bytes.fill(0xFF);
  bool slider_reset = true;
  if (part.FamilyFlagA && part.FamilyFlagB) {
    bytes[k8051Config0] = 0x7D;
    bytes[k8051Config1] = 0x3F;
  } else if (part.FamilyFlagA) {
    bytes[k8051Config0] = 0x79;
  } else if (part.EmberPart) {
    PutWord(bytes, kCortexConfig1, 0x00024000);
  } else if (part.CedarPart || part.DuneFjordPart) {
    PutWord(bytes, kCortexConfig1, part.DataFlashBase);
  } else if (part.IsCortexM0) {
    PutWord(bytes, kCortexConfig0, 0xFF9FFFFF);
    if (part.DataFlashByConfig) PutWord(bytes, kCortexConfig1, 0x0001FE00);
    slider_reset = part.DataFlashByConfig;
  } else if (part.FamilyFlagB) {
    slider_reset = false;
  } else if (job.CategoryMode) {
    bytes[k8051Config0] = 0xFD;
    slider_reset = false;
  } else {
    slider_reset = false;
  }
  if (slider_reset) job.ConfigSliderPos = 1;

  if (job.PartCode >= 110 && job.PartCode <= 199 && !part.FamilyFlagC && !part.FamilyFlagB) {
    bytes[k8051Config0] = ClearReservedZeroBits(bytes[k8051Config0], Config0BitText, part.Config0DescGroup);
    bytes[k8051Config1] = ClearReservedZeroBits(bytes[k8051Config1], Config1BitText, part.Config1DescGroup);
  }
}

ConfigDialog ChooseConfigDialog(const PartRow& part) {
  if (part.FamilyFlagA) return part.FamilyFlagB ? ConfigDialog::k8051 : ConfigDialog::kSorrel;
  if (part.EmberPart) return ConfigDialog::kEmber;
  if (part.CedarPart) return ConfigDialog::kCedar;
  if (part.DuneFjordPart) return ConfigDialog::kDune;
  if (part.IsCortexM0) return ConfigDialog::kCortex;
  if (part.FamilyFlagB) return ConfigDialog::k8051;
  if (part.FamilyFlagC) return ConfigDialog::k8051Small;
  return ConfigDialog::kBits;
}

}  // namespace quillet
