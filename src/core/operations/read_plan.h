#pragma once
// How an ICP read is sized: the chip's own CONFIG bytes (read first from Cortex-M0 and FamilyFlagB
// parts) say where DataFlash starts, so they decide the last APROM and DataFlash addresses asked
// for, the DataFlash start sent, and whether DataFlash and LDROM are read at all. These are the
// read's rules: they follow the chip, not the job's CONFIG selection as the size checks do.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/catalogue/part_row.h"

namespace quillet {

struct ReadPlan {
  bool ConfigFirst = false;                 // 8 CONFIG bytes precede the addresses (Cortex-M0, FamilyFlagB)
  uint32_t FlashEnd = 0;                    // end of the Cortex-M0 flash space; 0 for an 8051 part
  int64_t ApromLast = 0;                    // A: the last APROM address asked for (-1: none)
  int64_t DataFlashLast = 0;                // D: the last DataFlash address asked for
  std::array<uint8_t, 2> DataFlashStart{};  // address bits 23..16 and 15..8
  bool ReadDataFlash = false;
  bool ReadLdrom = false;
  // "APROM" or "DataFlash" when the chip's CONFIG puts that area's end outside the part's flash (or
  // before its start); empty when the read may go on.
  std::string_view OutsideArea;
};

// `shown` is the chip's CONFIG in stored order (the eighth byte is CONFIG0's low byte); an 8051 part
// that sends no CONFIG first uses none of it.
ReadPlan PlanChipRead(const PartRow& part, const std::array<uint8_t, 8>& shown);

// "APROM address in the chip's CONFIG is outside the flash !"
std::string OutsideFlashMessage(std::string_view area);

// The stored CONFIG bytes a verify compares: all eight of a Cortex-M0 part, CONFIG3..CONFIG0 (the
// fifth to eighth) of a FamilyFlagB part, CONFIG1 and CONFIG0 (the seventh and eighth) of another.
struct ConfigSpan {
  int first = 0;
  int count = 0;
};
ConfigSpan ConfigVerifySpan(const PartRow& part);

}  // namespace quillet
