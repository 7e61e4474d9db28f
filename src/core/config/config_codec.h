#pragma once
// The CONFIG bytes: where each word sits in the stored bytes, the fields that the size checks and
// the Programmer depend on, and the values a part starts with.
//
// Storage order: an 8051 part keeps CONFIG0 in the eighth stored byte and CONFIG1 in the seventh
// (CONFIG7..4 in bytes 0..3, CONFIG3..0 in bytes 4..7); a Cortex-M0 part keeps CONFIG1 in bytes
// 0..3 and CONFIG0 in bytes 4..7, each word most significant byte first.
#include <array>
#include <cstddef>
#include <cstdint>

#include "core/catalogue/part_row.h"

namespace quillet {

using ConfigByteArray = std::array<uint8_t, 8>;

constexpr std::size_t k8051Config0Byte = 7;
constexpr std::size_t k8051Config1Byte = 6;
constexpr std::size_t kHighWordByte = 0;  // Cortex-M0 CONFIG1, 8051 CONFIG7..4
constexpr std::size_t kLowWordByte = 4;   // Cortex-M0 CONFIG0, 8051 CONFIG3..0

uint32_t ConfigWord(const ConfigByteArray& bytes, std::size_t first);
void PutConfigWord(ConfigByteArray& bytes, std::size_t first, uint32_t word);

// CONFIG byte n (0..7) is the (8 - n)-th stored byte; n above 7 is masked to 0..7.
uint8_t ConfigByte(const ConfigByteArray& bytes, unsigned n);
void SetConfigByte(ConfigByteArray& bytes, unsigned n, uint8_t value);

// A bit field over the eight CONFIG bytes, numbered as one 64-bit value: bit b of CONFIG byte n is
// bit 8n + b, so a Cortex-M0 CONFIG0 bit k is bit k and a CONFIG1 bit k is bit 32 + k.
struct ConfigBits {
  uint8_t low = 0;
  uint8_t width = 0;  // 1..8; 0 names no field
};

uint32_t ReadConfigBits(const ConfigByteArray& bytes, ConfigBits bits);
// Writes the low `width` bits of value; every other bit keeps its value.
void WriteConfigBits(ConfigByteArray& bytes, ConfigBits bits, uint32_t value);

// What the capacities depend on, read from the stored bytes.
struct ConfigFields {
  uint8_t config0_low;      // eighth stored byte: 8051 CONFIG0, Cortex-M0 CONFIG0 bits 7..0
  uint8_t dataflash_pages;  // seventh stored byte: 8051 CONFIG1, the DataFlash boundary in 256-byte pages
  uint32_t dataflash_base;  // Cortex-M0 CONFIG1 bits 23..8: the DataFlash base address

  bool DataFlashEnabled() const { return (config0_low & 0x01) == 0; }  // DFEN is active low
  bool EmberLdromOn() const { return (config0_low & 0x04) == 0; }      // Ember: LDROM switched on
};

ConfigFields DecodeConfig(const ConfigByteArray& bytes);

struct ConfigDefaults {
  ConfigByteArray bytes;
  bool slider_reset;  // the DataFlash slider goes back to its first position
};

// The CONFIG bytes a part starts with after SetupPart; `category_mode` is the ICP list.
ConfigDefaults DefaultConfig(uint32_t part_code, const PartRow& part, bool category_mode);

// Dialog resources of the CONFIG editors.
enum class ConfigDialog : int {
  kCortex = 148,     // Arden, Birch and the unlisted Cortex-M0 parts
  kSorrel = 149,     // "CONFIG Setting for Sorrel"
  kBits = 150,       // bit-by-bit editor of the other 8051 parts
  k8051 = 164,       // FamilyFlagB parts
  k8051Small = 165,  // FamilyFlagC parts
  kEmber = 176,      // "CONFIG Setting for Emberlite"
  kCedar = 177,
  kDune = 179,  // Dune and Fjord
};

// The editor that the "CONFIG Setting" button opens for a part; first match wins.
ConfigDialog ChooseConfigDialog(const PartRow& part);

}  // namespace quillet
