#pragma once
// The one record of every choice that defines a programming job. The main window's controls, the
// CONFIG editors and the Advanced Functions dialog write it; operations read it; project files and
// GUI.LOG store it.
#include <array>
#include <cstdint>
#include <string>

#include "core/config/config_codec.h"
#include "core/serial/port_name.h"
#include "core/sys/shared_value.h"

namespace quillet {

class PartCatalogue;

// Low nibble of ProgrammerMode.
enum ProgrammerType : uint8_t { kTypeIsp = 0, kTypeIcp = 1, kTypeComIsp = 2 };
// High nibble of ProgrammerMode.
constexpr uint8_t kModeGang = 0x40;
constexpr uint8_t kModeProduction = 0x80;

// Two halves of a 16-digit decimal number, each 0..99999999; high = the first eight digits.
struct SplitDecimal {
  uint32_t high = 0;
  uint32_t low = 0;
  bool operator==(const SplitDecimal&) const = default;
};

struct UsageLimitBytes {
  uint8_t high = 0;
  uint8_t low = 0;
  bool operator==(const UsageLimitBytes&) const = default;
};

struct JobSettings {
  // Written by the UI thread; Exit and the P.M. box may clear the P.M. bits while a worker polls.
  SharedValue<uint8_t> ProgrammerMode = 0;
  bool ComPortMode = false;
  bool CategoryMode = false;
  bool GangMode = false;
  SharedValue<bool> ProductionMode = false;

  uint32_t PartCode = 2;
  std::string CategoryStr;

  bool ApromSelected = false;
  bool DataFlashSelected = false;
  bool LdromSelected = false;
  bool ConfigSelected = false;
  bool SeparateApromErase = false;
  bool UpdateIspDownload = false;
  uint8_t ItemFlags = 0;

  // Storage order first to eighth: 8051 CONFIG7..CONFIG0; Cortex-M0 CONFIG1 bits 31..0, then
  // CONFIG0 bits 31..0.
  ConfigByteArray ConfigBytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  uint16_t ConfigSliderPos = 0;

  // Device path of the Programmer's port, zero padded; empty when unknown.
  PortNameField ProgrammerPortName{};

  bool UsageLimitEnabled = false;
  UsageLimitBytes UsageLimit;
  bool SnProgrammingEnabled = false;
  uint32_t SnAddress = 0;
  SplitDecimal SnIncrement{0, 1};
  SplitDecimal SnValue{0, 0};
  bool ChipCounterEnabled = false;
  bool CountDown = false;
  uint32_t ChipCounter = 0;
  bool FastProtocol = false;
  bool GangVerifyOnly = false;

  uint8_t Type() const { return ProgrammerMode & 0x0F; }

  // Rebuilds ItemFlags from the flags; bit 5 keeps its last value.
  void BuildItemFlags();

  std::string PortName() const;             // ProgrammerPortName up to its first zero
  void SetPortName(std::string_view name);  // nothing stored when longer than 15 characters
};

// Recomputes ComPortMode, CategoryMode, GangMode and ProductionMode from ProgrammerMode.
void DeriveModeFlags(JobSettings& job);

// 60000 when both bytes are 0xFF, else high * 256 + low.
unsigned UsageLimitForDisplay(UsageLimitBytes limit);
// "%08d,%08d" of the two halves.
std::string FormatSnValue(SplitDecimal value);
// "%03d,%03d" of the thousands and the rest.
std::string FormatChipCounter(uint32_t counter);

}  // namespace quillet
