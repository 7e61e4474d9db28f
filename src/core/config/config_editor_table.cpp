#include "core/config/config_editor_table.h"

#include <array>

namespace quillet {
namespace {

constexpr ConfigBits Bit(uint8_t bit) {
  return {bit, 1};
}
constexpr ConfigBits Bits(uint8_t high, uint8_t low) {
  return {low, static_cast<uint8_t>(high - low + 1)};
}

// Bit positions: a Cortex-M0 CONFIG0 bit k is bit k; an 8051 CONFIG byte n bit b is bit 8n + b.
constexpr ConfigBits kDataFlashBit = Bit(0);

// Choices shared by several editors.
constexpr ConfigButton kDataFlashButtons[] = {
    {kIdDataFlashEnable, "Enable", 0, ConfigHook::kDataFlashSwitch},
    {kIdDataFlashDisable, "Disable", 1, ConfigHook::kDataFlashSwitch}};
constexpr ConfigButton k8051DataFlashButtons[] = {
    {kIdDataFlashEnable, "Enable", 0, ConfigHook::k8051DataFlash},
    {kIdDataFlashDisable, "Disable", 1, ConfigHook::k8051DataFlash}};
constexpr ConfigButton kLockButtons[] = {{1166, "Enable", 0}, {1165, "Disable", 1}};
constexpr ConfigButton kBootButtons[] = {{1153, "Boot from LDROM", 0}, {1150, "Boot from APROM", 1}};
constexpr ConfigButton kClockFilterButtons[] = {{1167, "Enable", 1}, {1168, "Disable", 0}};
constexpr ConfigButton kOscFrequencyButtons[] = {{1148, "22.1184MHz", 1}, {1147, "11.0592MHz", 0}};
constexpr ConfigButton kWatchdogButtons[] = {{1154, "Disabled after reset", 1},
                                             {1155, "Enabled after reset", 0}};
constexpr ConfigButton kBrownoutOffIsOne[] = {{1159, "Enable", 0}, {1158, "Disable", 1}};
constexpr ConfigButton kBrownoutOffIsZero[] = {{1158, "Enable", 1}, {1159, "Disable", 0}};
constexpr ConfigButton kResetOnIsZero[] = {{1161, "Enable", 0}, {1160, "Disable", 1}};
constexpr ConfigButton kResetOnIsOne[] = {{1160, "Enable", 1}, {1161, "Disable", 0}};
constexpr ConfigButton kVoltageTwoLevels[] = {{1197, "2.7V", 1}, {1198, "3.8V", 0}};
constexpr ConfigButton k8051ClockButtons[] = {{1199, "Internal OSC", 3},
                                              {1200, "Clock from XTAL1", 2, ConfigHook::kPlain, true},
                                              {1157, "External XTAL", 0}};
constexpr ConfigButton kSmallClockButtons[] = {
    {1199, "Internal OSC", 3}, {1200, "Clock from XTAL1", 2}, {1157, "External XTAL", 0}};
constexpr ConfigAlias k8051ClockAliases[] = {{1, 0}};

// Cortex-M0 editors.
constexpr ConfigButton kCortexVoltageButtons[] = {
    {1164, "2.2V", 0}, {1122, "2.6V", 1}, {1163, "3.8V", 2}, {1162, "4.5V", 3}};
constexpr ConfigButton kCortexClockButtons[] = {{1140, "External XTAL", 0},
                                                {1141, "Internal OSC (22.1184MHz)", 7}};
constexpr ConfigAlias kCortexClockAliases[] = {{1, 7}, {2, 7}, {3, 7}, {4, 7}, {5, 7}, {6, 7}};
constexpr EnableRule kCortexBrownoutOn{Bit(23), 0, true};

constexpr ConfigFieldRow kCortexFields[] = {
    {kIdDataFlashGroup, "DataFlash", 0, kDataFlashBit, kDataFlashButtons, {}, {}},
    {kIdGroupLock, "LOCK (Code Protection)", 0, Bit(1), kLockButtons, {}, {}},
    {kIdGroupBoot, "Boot Select", 0, Bit(7), kBootButtons, {}, {}},
    {kIdGroupBrownout, "Brownout Detection", 0, Bit(23), kBrownoutOffIsOne, {}, {}},
    {kIdGroupVoltage,
     "Voltage",
     kIdGroupBrownout,
     Bits(22, 21),
     kCortexVoltageButtons,
     {},
     kCortexBrownoutOn},
    {kIdGroupReset, "Reset", kIdGroupBrownout, Bit(20), kResetOnIsZero, {}, kCortexBrownoutOn},
    {kIdGroupClockSource, "Clock Source", 0, Bits(26, 24), kCortexClockButtons, kCortexClockAliases, {}},
    {kIdGroupClockFilter, "Clock Filter", 0, Bit(28), kClockFilterButtons, {}, {}},
};
constexpr CaptionSwap kCortexCaptions[] = {
    {1122, "2.7V", &PartRow::BirchPart, 0, kPartCount - 1},
    {1162, "4.3V", nullptr, 809, 816},
    {1163, "3.7V", nullptr, 809, 816},
};

constexpr ConfigButton kEmberLdromButtons[] = {{1161, "Enable", 0, ConfigHook::kEmberLdrom},
                                               {1160, "Disable", 1, ConfigHook::kEmberLdrom}};
constexpr ConfigFieldRow kEmberFields[] = {
    {kIdDataFlashGroup, "DataFlash", 0, kDataFlashBit, kDataFlashButtons, {}, {}},
    {kIdGroupLock, "LOCK (Code Protection)", 0, Bit(1), kLockButtons, {}, {}},
    {kIdGroupLdrom, "LDROM", 0, Bit(2), kEmberLdromButtons, {}, {}},
    {kIdGroupBoot, "Boot Select", 0, Bit(7), kBootButtons, {}, {}},
    {kIdGroupBrownout, "Brownout Detection", 0, Bit(23), kBrownoutOffIsOne, {}, {}},
};

// Cedar keeps brown-out detection and its voltage in one two-bit field: 11 is off.
constexpr ConfigButton kCedarBrownoutButtons[] = {{1159, "Enable", 1, ConfigHook::kCedarBrownout},
                                                  {1158, "Disable", 3}};
constexpr ConfigAlias kCedarBrownoutAliases[] = {{0, 1}, {2, 1}};
constexpr ConfigButton kCedarVoltageButtons[] = {{1239, "3.8V", 2}, {1240, "2.7V", 1}};
constexpr ConfigAlias kCedarVoltageAliases[] = {{0, 1}};
constexpr EnableRule kCedarBrownoutOn{Bits(22, 21), 3, false};
constexpr ConfigFieldRow kCedarFields[] = {
    {kIdDataFlashGroup, "DataFlash", 0, kDataFlashBit, kDataFlashButtons, {}, {}},
    {kIdGroupLock, "LOCK (Code Protection)", 0, Bit(1), kLockButtons, {}, {}},
    {kIdGroupBoot, "Boot Select", 0, Bit(7), kBootButtons, {}, {}},
    {kIdGroupReset, "Reset", 0, Bit(20), kResetOnIsZero, {}, kCedarBrownoutOn},
    {kIdGroupBrownout,
     "Brownout Detection",
     0,
     Bits(22, 21),
     kCedarBrownoutButtons,
     kCedarBrownoutAliases,
     {}},
    {kIdGroupVoltage, "Voltage", kIdGroupBrownout, Bits(22, 21), kCedarVoltageButtons, kCedarVoltageAliases,
     kCedarBrownoutOn},
    {kIdGroupClockFilter, "Clock Filter", 0, Bit(28), kClockFilterButtons, {}, {}},
};

constexpr ConfigButton kDuneBrownoutButtons[] = {
    {1259, "Enable, 1.7V", 0}, {1258, "Enable, 2.0V", 1}, {1257, "Enable, 2.5V", 2}, {1256, "Disable", 3}};
constexpr ConfigButton kDuneClockButtons[] = {{1140, "External XTAL", 0}, {1141, "Internal OSC (12MHz)", 1}};
constexpr ConfigFieldRow kDuneFields[] = {
    {kIdDataFlashGroup, "DataFlash", 0, kDataFlashBit, kDataFlashButtons, {}, {}},
    {kIdGroupLock, "LOCK (Code Protection)", 0, Bit(1), kLockButtons, {}, {}},
    {kIdGroupBoot, "Boot Select", 0, Bit(7), kBootButtons, {}, {}},
    {kIdGroupBrownoutReset, "Brownout Reset", 0, Bits(20, 19), kDuneBrownoutButtons, {}, {}},
    {kIdGroupCpuClock, "CPU Clock Source", 0, Bit(26), kDuneClockButtons, {}, {}},
    {kIdGroupClockFilter, "Clock Filter", 0, Bit(28), kClockFilterButtons, {}, {}},
};

// Sorrel: LOCK spans CONFIG0 bits 2..1 but is read from bit 1; booting from APROM is never offered.
constexpr ConfigButton kSorrelLockButtons[] = {{1166, "Enable", 0}, {1165, "Disable", 3}};
constexpr ConfigAlias kSorrelLockAliases[] = {{1, 3}, {2, 0}};
constexpr ConfigButton kSorrelBootButtons[] = {{1153, "Boot from LDROM", 0},
                                               {1150, "Boot from APROM", 1, ConfigHook::kPlain, false, true}};
constexpr ConfigButton kSorrelVoltageButtons[] = {
    {1162, "4.5V", 0}, {1163, "3.8V", 1}, {1149, "2.7V", 2}, {1164, "2.2V", 3}};
constexpr ConfigButton kSorrelClockButtons[] = {{1156, "External XTAL", 1}, {1157, "Internal OSC", 0}};
constexpr ConfigButton kXtalRangeButtons[] = {{1152, "> 24MHz", 1}, {1151, "< 24MHz", 0}};
constexpr ConfigButton kCycleModeButtons[] = {{1146, "12T-mode", 1}, {1145, "6T-mode", 0}};
constexpr EnableRule kSorrelBrownoutOn{Bit(23), 1, true};
constexpr ConfigFieldRow kSorrelFields[] = {
    {kIdDataFlashGroup, "DataFlash", 0, kDataFlashBit, kDataFlashButtons, {}, {}},
    {kIdGroupLock, "LOCK (Code Protection)", 0, Bits(2, 1), kSorrelLockButtons, kSorrelLockAliases, {}},
    {kIdGroupBoot, "Boot Select", 0, Bit(7), kSorrelBootButtons, {}, {}},
    {kIdGroupBrownout, "Brownout Detection", 0, Bit(23), kBrownoutOffIsZero, {}, {}},
    {kIdGroupVoltage,
     "Voltage",
     kIdGroupBrownout,
     Bits(22, 21),
     kSorrelVoltageButtons,
     {},
     kSorrelBrownoutOn},
    {kIdGroupReset, "Reset", kIdGroupBrownout, Bit(20), kResetOnIsOne, {}, kSorrelBrownoutOn},
    {kIdGroupClockSource, "Clock Source", 0, Bit(25), kSorrelClockButtons, {}, {}},
    {kIdGroupInternalOsc, "Internal OSC", 0, Bit(27), kOscFrequencyButtons, {}, {Bit(25), 0, true}},
    {kIdGroupExternalXtal, "External XTAL", 0, Bit(29), kXtalRangeButtons, {}, {Bit(25), 1, true}},
    {kIdGroupClockFilter, "Clock Filter", 0, Bit(28), kClockFilterButtons, {}, {}},
    {kIdGroupCycleMode, "6T/12T Mode", 0, Bit(30), kCycleModeButtons, {}, {}},
    {kIdGroupWatchdog, "Watch-dog Timer", 0, Bit(31), kWatchdogButtons, {}, {}},
};

// The port state choice exists in the dialog but is never shown.
constexpr ConfigButton kPortStateButtons[] = {{1207, "High after reset", 1, ConfigHook::kPlain, true},
                                              {1208, "Low after reset", 0, ConfigHook::kPlain, true}};
constexpr EnableRule k8051BrownoutOn{Bit(23), 0, true};
constexpr ConfigFieldRow k8051Fields[] = {
    {kIdDataFlashGroup, "DataFlash", 0, kDataFlashBit, k8051DataFlashButtons, {}, {}},
    {kIdGroupLock, "LOCK (Code Protection)", 0, Bit(1), kLockButtons, {}, {}},
    {kIdGroupBoot, "Boot Select", 0, Bit(7), kBootButtons, {}, {}},
    {kIdGroupBrownout, "Brownout Detection", 0, Bit(23), kBrownoutOffIsOne, {}, {}},
    {kIdGroupVoltage, "Voltage", kIdGroupBrownout, Bit(22), kVoltageTwoLevels, {}, k8051BrownoutOn},
    {kIdGroupReset, "Reset", kIdGroupBrownout, Bit(20), kResetOnIsOne, {}, k8051BrownoutOn},
    {kIdGroupClockSource, "Clock Source", 0, Bits(25, 24), k8051ClockButtons, k8051ClockAliases, {}},
    {kIdGroupInternalOsc, "Internal OSC", 0, Bit(27), kOscFrequencyButtons, {}, {Bits(25, 24), 3, true}},
    {kIdGroupClockFilter, "Clock Filter", 0, Bit(28), kClockFilterButtons, {}, {}},
    {kIdGroupPortState, "Port State", 0, Bit(29), kPortStateButtons, {}, {}, true},
    {kIdGroupWatchdog, "Watch-dog Timer", 0, Bit(31), kWatchdogButtons, {}, {}},
};

constexpr EnableRule kSmallBrownoutOn{Bit(7), 1, true};
constexpr ConfigFieldRow kSmallFields[] = {
    {kIdGroupLock, "LOCK (Code Protection)", 0, Bit(0), kLockButtons, {}, {}},
    {kIdGroupBrownout, "Brownout Detection", 0, Bit(7), kBrownoutOffIsZero, {}, {}},
    {kIdGroupVoltage, "Voltage", kIdGroupBrownout, Bit(6), kVoltageTwoLevels, {}, kSmallBrownoutOn},
    {kIdGroupReset, "Reset", kIdGroupBrownout, Bit(4), kResetOnIsOne, {}, kSmallBrownoutOn},
    {kIdGroupClockSource, "Clock Source", 0, Bits(9, 8), kSmallClockButtons, k8051ClockAliases, {}},
    {kIdGroupInternalOsc, "Internal OSC", 0, Bit(11), kOscFrequencyButtons, {}, {Bits(9, 8), 3, true}},
    {kIdGroupClockFilter, "Clock Filter", 0, Bit(12), kClockFilterButtons, {}, {}},
    {kIdGroupWatchdog, "Watch-dog Timer", 0, Bit(15), kWatchdogButtons, {}, {}},
};

constexpr DataFlashLayout kCortexFlash{DataFlashStart::kWord, 0x20000, 0, 512, 1, 8, true};
constexpr DataFlashLayout kEmberFlash{DataFlashStart::kWord, 0x24400, 0x23400, 1024, 0, 8, true};
constexpr DataFlashLayout kApromTopFlash{DataFlashStart::kWord, 0, 0, 512, 1, 8, true};
constexpr DataFlashLayout kSorrelFlash{DataFlashStart::kByte, 0x10000, 0, 256, 2, 4, false};
constexpr DataFlashLayout k8051Flash{DataFlashStart::kByteLow6, 0x4000, 0, 256, 2, 4, false};

constexpr std::string_view kTitle = "CONFIG Setting";

const std::array<ConfigEditorRow, 8> kEditors{{
    {ConfigDialog::kCortex, kTitle, kCortexFields, kCortexCaptions, kCortexFlash, "CortexConfigDlg"},
    {ConfigDialog::kSorrel, "CONFIG Setting for Sorrel", kSorrelFields, {}, kSorrelFlash, "SorrelConfigDlg"},
    {ConfigDialog::kBits, kTitle, {}, {}, {}, "ConfigBitsDlg"},
    {ConfigDialog::k8051, kTitle, k8051Fields, {}, k8051Flash, "Config8051Dlg"},
    {ConfigDialog::k8051Small, kTitle, kSmallFields, {}, {}, "Config8051SmallDlg"},
    {ConfigDialog::kEmber, "CONFIG Setting for Emberlite", kEmberFields, {}, kEmberFlash, "EmberConfigDlg"},
    {ConfigDialog::kCedar, kTitle, kCedarFields, {}, kApromTopFlash, "CedarConfigDlg"},
    {ConfigDialog::kDune, kTitle, kDuneFields, {}, kApromTopFlash, "DuneConfigDlg"},
}};

}  // namespace

const ConfigEditorRow& ConfigEditorTable(ConfigDialog dialog) {
  for (const ConfigEditorRow& row : kEditors) {
    if (row.dialog == dialog) return row;
  }
  return kEditors[2];  // every ConfigDialog value has a row; the bit editor has no fields to misuse
}

}  // namespace quillet
