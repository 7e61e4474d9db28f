#include "sim/chip_programming.h"

#include <algorithm>

namespace quillet::sim {
namespace {

constexpr std::array<ChipFlaw, 3> kAreaFlaws{ChipFlaw::FailAprom, ChipFlaw::FailDataFlash,
                                             ChipFlaw::FailLdrom};

std::size_t Index(Area area) {
  return static_cast<std::size_t>(area);
}

uint32_t Bcd(uint8_t byte) {
  return (byte >> 4) * 10u + (byte & 0x0Fu);
}

std::string SnDigits(const SnBlock& block) {
  std::string digits;
  for (std::size_t i = 0; i < kSnValueSize; ++i) {
    const uint32_t pair = Bcd(block[kSnValueOffset + i]);
    digits += static_cast<char>('0' + pair / 10 % 10);
    digits += static_cast<char>('0' + pair % 10);
  }
  return digits;
}

uint32_t SnAddress(const SnBlock& block) {
  return uint32_t{block[0]} << 16 | uint32_t{block[1]} << 8 | block[2];
}

void WriteSn(const SnBlock& block, std::vector<uint8_t>& aprom) {
  const std::size_t address = SnAddress(block);
  if (aprom.size() < address + kSnValueSize) aprom.resize(address + kSnValueSize, 0xFF);
  std::copy_n(block.begin() + kSnValueOffset, kSnValueSize,
              aprom.begin() + static_cast<std::ptrdiff_t>(address));
}

ProgramOutcome Verify(const ProgrammerStorage& storage, const Chip& chip) {
  ProgramOutcome outcome;
  outcome.usable = true;
  outcome.passed = true;
  for (Area area : kAreas) {
    if (!storage.Selected(area)) continue;
    outcome.blocks += BlockCount(storage.image(area).size());
    outcome.area_ok[Index(area)] = chip.areas[Index(area)] == storage.image(area);
    outcome.passed = outcome.passed && outcome.area_ok[Index(area)];
  }
  if (storage.ConfigSelected()) {
    outcome.config_ok = chip.config == storage.Config();
    outcome.passed = outcome.passed && outcome.config_ok;
  }
  return outcome;
}

// Writes an area unless the chip fails it; false when it does.
bool WriteArea(const ProgrammerStorage& storage, Area area, Chip& chip, ProgramOutcome& outcome) {
  chip.areas[Index(area)] = storage.image(area);
  outcome.blocks += BlockCount(storage.image(area).size());
  outcome.area_ok[Index(area)] = !chip.spec.Has(kAreaFlaws[Index(area)]);
  return outcome.area_ok[Index(area)];
}

bool WriteConfig(const ProgrammerStorage& storage, Chip& chip, ProgramOutcome& outcome) {
  outcome.config_ok = !chip.spec.Has(ChipFlaw::FailConfig);
  if (outcome.config_ok) chip.config = storage.Config();
  return outcome.config_ok;
}

bool ProgramIcp(const ProgrammerStorage& storage, Chip& chip, ProgramOutcome& outcome) {
  if (chip.Locked()) {
    outcome.was_locked = true;
    chip.areas = {};
    chip.flash.clear();
    chip.config.fill(0xFF);
  }
  for (Area area : kAreas) {
    if (storage.Selected(area) && !WriteArea(storage, area, chip, outcome)) return false;
  }
  if (storage.ConfigSelected() && !WriteConfig(storage, chip, outcome)) return false;
  if (storage.sn) {
    WriteSn(*storage.sn, chip.areas[Index(Area::Aprom)]);
    outcome.sn = SnDigits(*storage.sn);
  }
  return true;
}

bool ProgramIsp(const ProgrammerStorage& storage, Chip& chip, ProgramOutcome& outcome) {
  if (storage.ConfigSelected()) {
    outcome.unprotected = chip.Locked() && (storage.Config()[0] & kConfig0LockBit) != 0;
    if (outcome.unprotected) chip.areas[Index(Area::Aprom)].clear();
    if (!WriteConfig(storage, chip, outcome)) return false;
  }
  if (storage.Selected(Area::Aprom) && !WriteArea(storage, Area::Aprom, chip, outcome)) return false;
  if (storage.Selected(Area::DataFlash)) {
    outcome.dataflash_enabled = !chip.spec.Has(ChipFlaw::DataFlashOff);
    if (!outcome.dataflash_enabled || !WriteArea(storage, Area::DataFlash, chip, outcome)) return false;
  }
  return true;
}

}  // namespace

std::size_t BlockCount(std::size_t size) {
  return (size + kStorageBlockSize - 1) / kStorageBlockSize;
}

ProgramOutcome ProgramChip(const ProgrammerStorage& storage, Chip* chip) {
  ProgramOutcome outcome;
  if (!chip || chip->spec.Has(ChipFlaw::WrongPart)) {
    // Nothing answers as the part: ISP fails its first step, ICP reports a device-ID error.
    outcome.config_ok = false;
    outcome.area_ok = {false, false, false};
    return outcome;
  }
  if (storage.VerifyOnly()) return Verify(storage, *chip);
  outcome.usable = true;
  outcome.passed = storage.Icp() ? ProgramIcp(storage, *chip, outcome) : ProgramIsp(storage, *chip, outcome);
  return outcome;
}

}  // namespace quillet::sim
