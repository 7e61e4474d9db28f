#include "core/config/config_codec.h"

#include "core/catalogue/config_bit_texts.h"

namespace quillet {
namespace {

// Clears every bit named "Reserved(0)" in the description group of the byte.
uint8_t ClearReservedZeroBits(uint8_t value, const BitText& (*text)(unsigned, unsigned), unsigned group) {
  for (unsigned bit = 0; bit < 8; ++bit) {
    if (text(group, bit).name == kReservedZeroBit) value &= static_cast<uint8_t>(~(1u << bit));
  }
  return value;
}

}  // namespace

uint32_t ConfigWord(const ConfigByteArray& bytes, std::size_t first) {
  uint32_t word = 0;
  for (std::size_t i = 0; i < 4; ++i) word = word << 8 | bytes[first + i];
  return word;
}

void PutConfigWord(ConfigByteArray& bytes, std::size_t first, uint32_t word) {
  for (std::size_t i = 0; i < 4; ++i) bytes[first + i] = static_cast<uint8_t>(word >> (24 - 8 * i));
}

uint8_t ConfigByte(const ConfigByteArray& bytes, unsigned n) {
  return bytes[7 - (n & 7)];
}

void SetConfigByte(ConfigByteArray& bytes, unsigned n, uint8_t value) {
  bytes[7 - (n & 7)] = value;
}

uint32_t ReadConfigBits(const ConfigByteArray& bytes, ConfigBits bits) {
  uint64_t all = 0;
  for (unsigned n = 0; n < 8; ++n) all |= uint64_t{ConfigByte(bytes, n)} << (8 * n);
  return static_cast<uint32_t>((all >> (bits.low & 63)) & ((uint64_t{1} << (bits.width & 31)) - 1));
}

void WriteConfigBits(ConfigByteArray& bytes, ConfigBits bits, uint32_t value) {
  for (unsigned i = 0; i < bits.width && bits.low + i < 64; ++i) {
    const unsigned bit = bits.low + i;
    uint8_t byte = ConfigByte(bytes, bit / 8);
    const auto mask = static_cast<uint8_t>(1u << (bit % 8));
    byte = static_cast<uint8_t>((value >> i & 1) ? byte | mask : byte & ~mask);
    SetConfigByte(bytes, bit / 8, byte);
  }
}

ConfigFields DecodeConfig(const ConfigByteArray& bytes) {
  return {bytes[k8051Config0Byte], bytes[k8051Config1Byte],
          static_cast<uint32_t>(bytes[1] * 65536 + bytes[2] * 256)};
}

ConfigDefaults DefaultConfig(uint32_t part_code, const PartRow& part, bool category_mode) {
  ConfigDefaults defaults{{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, true};
  auto& bytes = defaults.bytes;
  if (part.FamilyFlagA && part.FamilyFlagB) {
    bytes[k8051Config0Byte] = 0x7D;
    bytes[k8051Config1Byte] = 0x3F;
  } else if (part.FamilyFlagA) {
    bytes[k8051Config0Byte] = 0x79;
  } else if (part.EmberPart) {
    PutConfigWord(bytes, kHighWordByte, 0x00024000);
  } else if (part.CedarPart || part.DuneFjordPart) {
    PutConfigWord(bytes, kHighWordByte, part.DataFlashBase);
  } else if (part.IsCortexM0) {
    PutConfigWord(bytes, kLowWordByte, 0xFF9FFFFF);
    if (part.DataFlashByConfig) PutConfigWord(bytes, kHighWordByte, 0x0001FE00);
    defaults.slider_reset = part.DataFlashByConfig;
  } else if (category_mode && !part.FamilyFlagB) {
    bytes[k8051Config0Byte] = 0xFD;
    defaults.slider_reset = false;
  } else {
    defaults.slider_reset = false;
  }

  if (part_code >= 110 && part_code <= 199 && !part.FamilyFlagC && !part.FamilyFlagB) {
    bytes[k8051Config0Byte] =
        ClearReservedZeroBits(bytes[k8051Config0Byte], Config0BitText, part.Config0DescGroup);
    bytes[k8051Config1Byte] =
        ClearReservedZeroBits(bytes[k8051Config1Byte], Config1BitText, part.Config1DescGroup);
  }
  return defaults;
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
