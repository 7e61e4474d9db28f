#pragma once
// The CONFIG editors as data: per editor its title, its choices (a bit field, the radio buttons that
// show and set it, the raw values that read as another button, the rule that enables it) and its
// DataFlash control. Button ids and captions live only here; the dialog templates take them from
// these rows. What is not a plain write of a button's value into its field is a named hook.
#include <cstdint>
#include <span>
#include <string_view>

#include "core/catalogue/part_row.h"
#include "core/config/config_codec.h"

namespace quillet {

// Controls shared by the editors (the radio buttons' ids are in the field rows).
constexpr int kIdConfigOk = 1;  // "OK", "Exit" in view mode
constexpr int kIdDataFlashGroup = 1020;
constexpr int kIdDataFlashDisable = 1169;
constexpr int kIdDataFlashEnable = 1170;
constexpr int kIdDataFlashSpin = 1130;
constexpr int kIdDataFlashSize = 1265;  // read-only edit
constexpr int kIdDataFlashSizeLabel = 1174;
constexpr int kIdDataFlashStart = 1143;  // read-only edit
constexpr int kIdDataFlashStartLabel = 1175;

// Group boxes of the named-choice editors; one id per caption, the same in every editor.
constexpr int kIdGroupLock = 1401;
constexpr int kIdGroupBoot = 1402;
constexpr int kIdGroupBrownout = 1403;
constexpr int kIdGroupVoltage = 1404;
constexpr int kIdGroupReset = 1405;
constexpr int kIdGroupClockSource = 1406;
constexpr int kIdGroupClockFilter = 1407;
constexpr int kIdGroupInternalOsc = 1408;
constexpr int kIdGroupExternalXtal = 1409;
constexpr int kIdGroupCycleMode = 1410;
constexpr int kIdGroupWatchdog = 1411;
constexpr int kIdGroupPortState = 1412;
constexpr int kIdGroupLdrom = 1413;
constexpr int kIdGroupBrownoutReset = 1414;
constexpr int kIdGroupCpuClock = 1415;

// A button whose click is more than writing its value into the field.
enum class ConfigHook : uint8_t {
  kPlain,
  kDataFlashSwitch,  // DataFlash bit 0, written only on parts whose DataFlash is set in CONFIG
  k8051DataFlash,    // as kDataFlashSwitch; "Disable" also parks CONFIG1, "Enable" restores it
  kCedarBrownout,    // "Enable" acts only while brown-out is off and then selects 2.7V
  kEmberLdrom,       // moves CONFIG1 by 4 KB as the LDROM gives or takes flash
};

struct ConfigButton {
  int id;
  std::string_view caption;
  uint8_t value;  // written by a click; the field's value that checks the button
  ConfigHook hook = ConfigHook::kPlain;
  bool hidden = false;         // created hidden and never shown; the field still reads it
  bool never_enabled = false;  // shown but never clickable
};

// A raw field value that no button has, and the button value it reads as.
struct ConfigAlias {
  uint8_t raw;
  uint8_t reads_as;
};

// The field's group box and buttons are enabled while ((bits == value) == equal); width 0: always.
struct EnableRule {
  ConfigBits bits;
  uint8_t value = 0;
  bool equal = true;
};

struct ConfigFieldRow {
  int group_id;
  std::string_view group;  // the group box caption, also the field's name in the CLI
  int parent_group;        // the group box it sits in, 0 for none
  ConfigBits bits;
  std::span<const ConfigButton> buttons;
  std::span<const ConfigAlias> aliases;
  EnableRule rule;
  bool hidden = false;
};

// A caption that depends on the part: applies when the code lies in first..last and, with a
// column named, the part has it.
struct CaptionSwap {
  int id;
  std::string_view caption;
  bool PartRow::*column;
  uint32_t first;
  uint32_t last;
};

// How an editor keeps the DataFlash start address in CONFIG1.
enum class DataFlashStart : uint8_t {
  kNone,      // no DataFlash control
  kWord,      // the whole Cortex-M0 CONFIG1 word
  kByte,      // CONFIG byte 1 = start / 256
  kByteLow6,  // CONFIG byte 1 = start / 256, read through AND 0x3F
};

struct DataFlashLayout {
  DataFlashStart start = DataFlashStart::kNone;
  uint32_t top = 0;                  // flash top T; 0: the part's ApromLastAddress + 1
  uint32_t top_ldrom = 0;            // T while the Ember LDROM is on (CONFIG0 bit 2 = 0); 0: no LDROM rule
  uint32_t page = 0;                 // page size P in bytes
  uint8_t size_decimals = 0;         // the size edit shows pages x P in KB with this many decimals
  uint8_t start_digits = 0;          // hexadecimal digits of the start edit
  bool zero_scrolls_to_one = false;  // Cortex-M0 editors turn a spin position of 0 into 1
};

struct ConfigEditorRow {
  ConfigDialog dialog;
  std::string_view title;
  std::span<const ConfigFieldRow> fields;
  std::span<const CaptionSwap> captions;
  DataFlashLayout dataflash;
  std::string_view class_name;  // "CortexConfigDlg", ...: how the CLI names the editor
};

// The row of an editor; every ConfigDialog value has one (the bit editor has no fields).
const ConfigEditorRow& ConfigEditorTable(ConfigDialog dialog);

}  // namespace quillet
