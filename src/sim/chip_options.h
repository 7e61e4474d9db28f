#pragma once
// The chips' own command-line options, each "S:VALUE" for socket S (0: the single Programmer,
// 1..4: the gang's), setting what every fresh chip seated there is like:
//   --chip-part S:NAME         the part it is (else it answers as whatever part the host names)
//   --chip-flash S:FILE        its flash, flat from address 0 (DataFlash where its start puts it)
//   --chip-ldrom S:FILE        its LDROM
//   --chip-config S:B1,...,B8  its CONFIG bytes, CONFIG0 first
//   --chip-trim S:B1,...,B5    its TRIM bytes
//   --chip S:FLAW|status=N     a flaw, or the status byte a read reports
#include <string>
#include <string_view>

#include "sim/chip_feeder.h"

namespace quillet::sim {

// Applies `value` of option `name` (without its dashes: "chip-part", ...) to the feeder's blank chips; ""
// when done, else what is wrong.
std::string ApplyChipOption(std::string_view name, std::string_view value, ChipFeeder& feeder);

}  // namespace quillet::sim
