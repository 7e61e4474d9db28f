#pragma once
// What programming a chip from a Programmer's storage does to the chip, apart from the wire: the
// ICP or ISP way (item flag bit 7), or only a comparison when the gang verifies. The wire phases
// that report it are the Programmer's (programmer_update.cpp).
#include <array>
#include <cstdint>
#include <string>

#include "sim/chip_feeder.h"
#include "sim/programmer_storage.h"

namespace quillet::sim {

struct ProgramOutcome {
  bool usable = false;       // a chip answered and its device ID fits the part
  bool was_locked = false;   // ICP: code protection was on, the whole flash was erased first
  bool unprotected = false;  // ISP: the new CONFIG drops code protection, APROM is erased
  bool dataflash_enabled = true;
  std::array<bool, 3> area_ok{true, true, true};  // a failing area ends the programming
  bool config_ok = true;
  bool passed = false;
  std::size_t blocks = 0;  // 256-byte blocks written or compared
  std::string sn;          // the 16 S/N digits written into APROM, or ""
};

// Programs `chip` (nothing: the socket is empty) from `storage`. ICP writes the selected areas
// and CONFIG, and the S/N value of the storage's S/N block at its address in APROM. ISP writes
// CONFIG, APROM and DataFlash (never LDROM). In gang verify mode the chip is only compared.
ProgramOutcome ProgramChip(const ProgrammerStorage& storage, Chip* chip);

// 256-byte blocks of an area of `size` bytes, and the program-and-verify steps reported for them.
std::size_t BlockCount(std::size_t size);

}  // namespace quillet::sim
