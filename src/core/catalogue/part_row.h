#pragma once
// One row of the part catalogue: every column that the operations, the size checks and the CONFIG
// editors read for a part code. Rows are constant data; only the names of codes 40..52 change at run
// time (the ISP-by-COM-Port-only names, see PartCatalogue).
#include <array>
#include <cstdint>
#include <string_view>

namespace quillet {

constexpr uint32_t kPartCount = 1215;  // part codes 0..1214

struct PartRow {
  std::string_view PartName;  // "-" for a placeholder row, empty for codes that no list shows
  bool FamilyFlagA = false;   // 8051 of the ISP list whose CONFIG bytes are written in ISP mode
  bool IsCortexM0 = false;
  bool BirchPart = false;
  bool CedarPart = false;
  bool DuneFjordPart = false;
  bool FamilyFlagC = false;
  bool FamilyFlagB = false;
  bool EmberPart = false;
  bool KestraPart = false;  // refused by some Programmer firmware variants
  bool HasDataFlash = false;
  bool HasLdrom = false;
  bool DataFlashByConfig = false;  // DataFlash is carved out of APROM; its start is set in CONFIG
  uint32_t ApromLastAddress = 0;
  uint32_t DataFlashBase = 0;     // also the default CONFIG1 of Cedar and Dune/Fjord parts
  uint32_t DataFlashSize = 0;     // with DataFlashByConfig: the most DataFlash the part can hold
  uint32_t LdromLastAddress = 0;  // 0 without LDROM
  uint8_t DeviceCode = 0;         // Programmer chip-type code of the ISP list
  uint32_t PartParam1 = 0;        // low byte sent to the Programmer
  uint32_t PartParam2 = 0;        // low byte sent to the Programmer
  uint8_t PartParam3 = 0;
  uint8_t PartParam4 = 0;
  uint16_t PartParam5 = 0;      // per-part identifier of ICP parts, sent high byte first
  uint8_t ConfigByteCount = 0;  // CONFIG bytes of an ICP 8051 part; pages of the bit editor
  uint8_t PartParam7 = 0;
  uint8_t PartParam8 = 0;
  uint8_t Config0DescGroup = 0;                  // group of Config0BitTexts describing CONFIG0
  uint8_t Config1DescGroup = 0;                  // group of Config1BitTexts describing CONFIG1
  std::array<std::string_view, 4> ClockTexts{};  // FOSC1/FOSC0 = 00, 01, 10, 11
};

}  // namespace quillet
