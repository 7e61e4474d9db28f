#pragma once
// What a Verify Chip compares once an ICP read is complete, and the FAIL detail that explains its
// result: per failing area the first differing byte and how many differ, for CONFIG each differing
// byte; for an ISP verify the block the Programmer refused.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/catalogue/part_row.h"
#include "core/operations/chip_reading.h"
#include "core/operations/read_plan.h"

namespace quillet {

// The first `image.size()` bytes of an area against what was read; `read_length` is how many of
// them the read fetched (the rest of `read` is the 0xFF the buffer was filled with).
AreaVerdict CompareArea(std::string_view area, std::span<const uint8_t> image, std::span<const uint8_t> read,
                        uint32_t read_length);

// The job's CONFIG bytes against the chip's, both in stored order, over the bytes the part has.
// firstDifference's offset counts from CONFIG0's low byte, as the command line orders CONFIG.
AreaVerdict CompareConfig(const PartRow& part, const std::array<uint8_t, 8>& expected,
                          const std::array<uint8_t, 8>& read);

// The name of a stored CONFIG byte: "CONFIG1" of an 8051 part, "CONFIG0 bits 15..8" of a Cortex-M0.
std::string ConfigByteName(const PartRow& part, int stored_index);

// "APROM differs in 0x00100..0x001FF (result 0x01)" for an ISP block.
AreaVerdict RefusedBlock(uint32_t first, uint32_t last, uint8_t result);

// The failing areas' explanations joined into one line; empty when every area passed.
std::string FindingsDetail(const PartRow& part, const VerifyFindings& findings);

// "Verify APROM ==> PASS !\n" and the like: the line a verdict gives in the result text.
std::string VerdictLine(const AreaVerdict& verdict);

}  // namespace quillet
