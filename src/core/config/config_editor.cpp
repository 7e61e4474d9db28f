#include "core/config/config_editor.h"

#include <algorithm>
#include <cstdio>

#include "core/catalogue/config_bit_texts.h"

namespace quillet {
namespace {

// The Ember LDROM takes 4 KB of the flash it shares with APROM and DataFlash.
constexpr uint32_t kEmberLdromBytes = 0x1000;

constexpr ConfigBits kDataFlashOff = {0, 1};   // CONFIG0 bit 0 in every editor that has DataFlash
constexpr ConfigBits kEmberLdromOff = {2, 1};  // CONFIG0 bit 2
constexpr ConfigBits kApromLock = {15, 1};     // CONFIG1 bit 7 of the bit editor
constexpr ConfigBits kNvmLock = {14, 1};       // CONFIG1 bit 6 of the bit editor

struct FoundButton {
  const ConfigFieldRow* field = nullptr;
  const ConfigButton* button = nullptr;
};

FoundButton FindButton(const ConfigEditorRow& table, int id) {
  for (const ConfigFieldRow& field : table.fields) {
    for (const ConfigButton& button : field.buttons) {
      if (button.id == id) return {&field, &button};
    }
  }
  return {};
}

std::string Format(const char* format, auto... values) {
  char text[48];
  std::snprintf(text, sizeof text, format, values...);
  return text;
}

std::string HexAddress(uint32_t address, int digits) {
  return Format("0x%0*X", digits, address);
}

bool IsReserved(std::string_view name) {
  return name == "Reserved" || name == kReservedZeroBit;
}

}  // namespace

ConfigEditor::ConfigEditor(uint32_t part_code, const PartRow& part, ConfigByteArray& bytes, uint16_t& slider,
                           bool view)
    : part_code_(part_code),
      part_(&part),
      bytes_(&bytes),
      slider_(&slider),
      view_(view),
      table_(&ConfigEditorTable(ChooseConfigDialog(part))) {}

int ConfigEditor::CheckedValue(const ConfigFieldRow& field) const {
  const uint32_t raw = ReadConfigBits(*bytes_, field.bits);
  for (const ConfigAlias& alias : field.aliases) {
    if (alias.raw == raw) return alias.reads_as;
  }
  return static_cast<int>(raw);
}

bool ConfigEditor::RuleHolds(const EnableRule& rule) const {
  if (rule.bits.width == 0) return true;
  return (ReadConfigBits(*bytes_, rule.bits) == rule.value) == rule.equal;
}

// --- DataFlash control ---------------------------------------------------------------------------

bool ConfigEditor::DataFlashSetInConfig() const {
  return table_->dataflash.start != DataFlashStart::kNone && part_->DataFlashByConfig;
}

bool ConfigEditor::DataFlashOn() const {
  return ReadConfigBits(*bytes_, kDataFlashOff) == 0;
}

uint32_t ConfigEditor::FlashTop() const {
  const DataFlashLayout& layout = table_->dataflash;
  if (layout.top_ldrom != 0 && ReadConfigBits(*bytes_, kEmberLdromOff) == 0) return layout.top_ldrom;
  return layout.top != 0 ? layout.top : part_->ApromLastAddress + 1;
}

int ConfigEditor::HighestPage() const {
  return std::max<int>(1, static_cast<int>(FlashTop() / table_->dataflash.page) - 1);
}

uint32_t ConfigEditor::StartAddress() const {
  switch (table_->dataflash.start) {
    case DataFlashStart::kWord:
      return ConfigWord(*bytes_, kHighWordByte);
    case DataFlashStart::kByte:
      return ConfigByte(*bytes_, 1) * 256u;
    case DataFlashStart::kByteLow6:
      return (ConfigByte(*bytes_, 1) & 0x3Fu) * 256u;
    case DataFlashStart::kNone:
      break;
  }
  return 0;
}

// The page count the size edit shows: the remembered one, or in view mode the one the read-back
// start address gives (0 when the start lies at or above the flash top).
int ConfigEditor::ShownPages() const {
  if (!view_) return std::clamp<int>(*slider_, 1, HighestPage());
  const uint32_t top = FlashTop();
  // The page count goes by the whole CONFIG1 byte even where the start address masks it.
  const bool low6 = table_->dataflash.start == DataFlashStart::kByteLow6;
  const uint32_t start = low6 ? ConfigByte(*bytes_, 1) * 256u : StartAddress();
  return start < top ? static_cast<int>((top - start) / table_->dataflash.page) : 0;
}

void ConfigEditor::WriteStart(uint32_t start) {
  if (table_->dataflash.start == DataFlashStart::kWord) {
    PutConfigWord(*bytes_, kHighWordByte, start);
  } else {
    SetConfigByte(*bytes_, 1, static_cast<uint8_t>(start / 256));
  }
}

DataFlashSpin ConfigEditor::Spin() const {
  if (!DataFlashSetInConfig()) return {};
  return {true, HighestPage(), std::clamp(ShownPages(), 1, HighestPage())};
}

void ConfigEditor::PutDataFlashStates(std::map<int, ConfigControlState>& states) const {
  const DataFlashLayout& layout = table_->dataflash;
  if (layout.start == DataFlashStart::kNone) return;
  const bool none = part_->DataFlashSize == 0;
  const bool by_config = part_->DataFlashByConfig && !none;
  const bool on = by_config ? DataFlashOn() : !none;
  auto& enable = states[kIdDataFlashEnable];
  auto& disable = states[kIdDataFlashDisable];
  enable.checked = on;
  disable.checked = !on;
  enable.enabled = !none && (!view_ || on);
  disable.enabled = by_config && (!view_ || !on);
  states[kIdDataFlashGroup].enabled = !none;

  std::string size, start;
  if (by_config) {
    const double kilobytes = ShownPages() * (layout.page / 1024.0);
    size = Format("%.*f KB", static_cast<int>(layout.size_decimals), kilobytes);
    start = HexAddress(StartAddress(), layout.start_digits);
  } else if (!none) {
    size = Format("%-d KB", static_cast<int>(part_->DataFlashSize / 1024));
    start = HexAddress(part_->DataFlashBase, layout.start_digits);
  }
  states[kIdDataFlashSpin] = {by_config && on && !view_, false, true, ""};
  states[kIdDataFlashSize] = {on, false, true, size};
  states[kIdDataFlashStart] = {on, false, true, start};
  states[kIdDataFlashSizeLabel] = {on, false, true, "Size:"};
  states[kIdDataFlashStartLabel] = {on, false, true, "Start Address:"};
}

// --- States ----------------------------------------------------------------------------------------

std::map<int, ConfigControlState> ConfigEditor::States() const {
  std::map<int, ConfigControlState> states;
  states[kIdConfigOk].text = view_ ? "Exit" : "OK";
  for (const ConfigFieldRow& field : table_->fields) {
    const bool rule = RuleHolds(field.rule);
    const int value = CheckedValue(field);
    states[field.group_id] = {rule, false, !field.hidden, std::string(field.group)};
    for (const ConfigButton& button : field.buttons) {
      const bool checked = button.value == value;
      states[button.id] = {rule && !button.never_enabled && (!view_ || checked), checked,
                           !field.hidden && !button.hidden, std::string(button.caption)};
    }
  }
  for (const CaptionSwap& swap : table_->captions) {
    const bool column = swap.column == nullptr || part_->*swap.column;
    if (column && part_code_ >= swap.first && part_code_ <= swap.last) states[swap.id].text = swap.caption;
  }
  PutDataFlashStates(states);
  if (table_->dialog == ConfigDialog::kBits) PutBitsStates(states);
  return states;
}

// --- Clicks ------------------------------------------------------------------------------------------

int ConfigEditor::Click(int id) {
  if (view_) return 0;
  const FoundButton found = FindButton(*table_, id);
  if (found.button == nullptr) return 0;
  const ConfigControlState state = States()[id];
  if (!state.visible || !state.enabled) return 0;
  if (found.button->hook != ConfigHook::kPlain) {
    RunHook(*found.field, *found.button);
  } else {
    WriteConfigBits(*bytes_, found.field->bits, found.button->value);
  }
  return 1;
}

void ConfigEditor::RunHook(const ConfigFieldRow& field, const ConfigButton& button) {
  switch (button.hook) {
    case ConfigHook::kDataFlashSwitch:
      if (DataFlashSetInConfig()) WriteConfigBits(*bytes_, field.bits, button.value);
      break;
    case ConfigHook::k8051DataFlash:
      // "Disable" parks CONFIG1 at 0xFF (one page); "Enable" brings back the remembered size,
      // clamped into the spin range so that CONFIG1 never becomes 0x40 or wraps.
      if (!DataFlashSetInConfig()) break;
      WriteConfigBits(*bytes_, field.bits, button.value);
      *slider_ = button.value != 0 ? 1 : static_cast<uint16_t>(std::clamp<int>(*slider_, 1, HighestPage()));
      SetConfigByte(*bytes_, 1, button.value != 0 ? 0xFF : static_cast<uint8_t>(0x40 - *slider_));
      break;
    case ConfigHook::kCedarBrownout:
      if (ReadConfigBits(*bytes_, field.bits) == 3) WriteConfigBits(*bytes_, field.bits, button.value);
      break;
    case ConfigHook::kEmberLdrom: {
      // The DataFlash keeps its size while the LDROM's 4 KB move between LDROM and the shared
      // flash; switching LDROM on never puts the start below the lowest page.
      if (ReadConfigBits(*bytes_, field.bits) == button.value) break;
      WriteConfigBits(*bytes_, field.bits, button.value);
      const uint32_t start = ConfigWord(*bytes_, kHighWordByte);
      if (button.value != 0) {
        WriteStart(start <= UINT32_MAX - kEmberLdromBytes ? start + kEmberLdromBytes : UINT32_MAX);
        break;
      }
      const uint32_t lowest = FlashTop() - static_cast<uint32_t>(HighestPage()) * table_->dataflash.page;
      if (start >= lowest + kEmberLdromBytes) {
        WriteStart(start - kEmberLdromBytes);
      } else {
        WriteStart(lowest);
        *slider_ = static_cast<uint16_t>(HighestPage());
      }
      break;
    }
    case ConfigHook::kPlain:
      break;
  }
}

int ConfigEditor::Scroll(int position) {
  if (view_ || !DataFlashSetInConfig() || !DataFlashOn()) return 0;
  if (position == 0 && table_->dataflash.zero_scrolls_to_one) position = 1;
  if (position < 1 || position > HighestPage()) return 0;
  *slider_ = static_cast<uint16_t>(position);
  WriteStart(FlashTop() - static_cast<uint32_t>(position) * table_->dataflash.page);
  return 1;
}

// --- Bit editor ------------------------------------------------------------------------------------

int ConfigEditor::PageCount() const {
  if (table_->dialog != ConfigDialog::kBits) return 0;
  return std::min<int>(part_->ConfigByteCount, 2);
}

const BitText& ConfigEditor::PageBitText(int page, unsigned bit) const {
  return page == 0 ? Config0BitText(part_->Config0DescGroup, bit)
                   : Config1BitText(part_->Config1DescGroup, bit);
}

bool ConfigEditor::PageBitLocked(int page, unsigned bit) const {
  // On the CONFIG1 page a set bit 7 (APROM lock) locks the NVM lock with it.
  return page == 1 && bit == 6 && !view_ && PageBitText(page, bit).name == "NVM Lock" &&
         ReadConfigBits(*bytes_, kApromLock) == 1;
}

std::map<int, ConfigControlState> ConfigEditor::PageStates(int page) const {
  std::map<int, ConfigControlState> states;
  if (page < 0 || page >= PageCount()) return states;
  const uint8_t byte = ConfigByte(*bytes_, static_cast<unsigned>(page));
  for (unsigned bit = 0; bit < 8; ++bit) {
    const BitText& text = PageBitText(page, bit);
    const bool one = (byte >> bit & 1) != 0;
    const bool open = !IsReserved(text.name) && !PageBitLocked(page, bit);
    states[BitGroupId(bit)] = {!IsReserved(text.name), false, true, std::string(text.name)};
    states[BitZeroId(bit)] = {open && (!view_ || !one), !one, true, std::string(text.zero)};
    states[BitOneId(bit)] = {open && (!view_ || one), one, true, std::string(text.one)};
  }
  return states;
}

int ConfigEditor::ClickPage(int page, int id) {
  if (view_) return 0;
  const auto states = PageStates(page);
  const auto state = states.find(id);
  if (state == states.end() || !state->second.enabled || (id - 1028) % 3 == 0) return 0;
  const unsigned bit = 7 - static_cast<unsigned>((id - 1028) / 3);
  const uint8_t value = (id - 1028) % 3 == 2 ? 1 : 0;
  const auto n = static_cast<uint8_t>(8 * page + bit);
  WriteConfigBits(*bytes_, {n, 1}, value);
  if (page == 1 && bit == 7 && value == 1) WriteConfigBits(*bytes_, kNvmLock, 1);
  return 1;
}

void ConfigEditor::PutBitsStates(std::map<int, ConfigControlState>& states) const {
  const int pages = PageCount();
  states[kIdBitsTab] = {};
  states[kIdBitsConfig0Label] = {pages >= 1, false, true, "CONFIG0's Value:"};
  states[kIdBitsConfig1Label] = {pages >= 2, false, true, "CONFIG1's Value:"};
  states[kIdBitsConfig0Value] = {true, false, true,
                                 pages >= 1 ? Format("0x%02X", ConfigByte(*bytes_, 0)) : ""};
  states[kIdBitsConfig1Value] = {true, false, true,
                                 pages >= 2 ? Format("0x%02X", ConfigByte(*bytes_, 1)) : ""};
  states[kIdBitsClockSource] = {true, false, true, std::string(ClockSourceText(part_code_, *part_, *bytes_))};
  states[kIdBitsBrownout] = {true, false, true, std::string(BrownoutVoltageText(part_code_, *bytes_))};
}

std::optional<ConfigEditor> OpenConfigEditor(uint32_t part_code, const PartCatalogue& catalogue,
                                             ConfigByteArray& bytes, uint16_t& slider, bool view) {
  if (part_code >= kPartCount) return std::nullopt;
  return std::optional<ConfigEditor>(std::in_place, part_code, catalogue.Row(part_code), bytes, slider, view);
}

}  // namespace quillet
