#include "dialogs/advanced/advanced_functions.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>

#include "dialogs/advanced/advanced_layout.h"

namespace quillet {
namespace {

constexpr uint32_t kHalfModulus = 100000000;  // one half holds eight decimal digits
constexpr unsigned kMaxUsage = 60000;
constexpr uint32_t kMaxSnAddress = 0x1FFF8;
constexpr uint32_t kMaxChipCounter = 999999;

struct EditRule {
  int id;
  std::size_t max_chars;  // characters examined
  bool hexadecimal;
};

constexpr EditRule kEditRules[] = {
    {kIdUsageEdit, 5, false},    {kIdSnAddressEdit, 5, true}, {kIdIncrementEdit, 16, false},
    {kIdSnValueEdit, 16, false}, {kIdCounterEdit, 6, false},
};

constexpr int kSnDetailControls[] = {kIdSnAddressLabel, kIdIncrementLabel, kIdIncrementEdit, kIdSnValueLabel,
                                     kIdSnValueEdit,    kIdSnAddressEdit,  kIdSnEndEdit};

bool IsDigitOf(char c, bool hexadecimal) {
  if (c >= '0' && c <= '9') return true;
  return hexadecimal && ((c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'));
}

// The value of a text of valid digits (at most 16, so it fits).
uint64_t ParseDigits(const std::string& digits, bool hexadecimal) {
  uint64_t value = 0;
  for (char c : digits) {
    const unsigned digit = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
    value = value * (hexadecimal ? 16 : 10) + digit;
  }
  return value;
}

SplitDecimal Split(uint64_t value) {
  return {static_cast<uint32_t>(value / kHalfModulus), static_cast<uint32_t>(value % kHalfModulus)};
}

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%X", value);
  return text;
}

}  // namespace

std::string UsageFieldText(UsageLimitBytes limit) {
  return std::to_string(UsageLimitForDisplay(limit));
}

std::string SnFieldText(SplitDecimal value) {
  char text[40];
  std::snprintf(text, sizeof text, "%08u%08u", value.high, value.low);
  return text;
}

std::string IncrementFieldText(SplitDecimal value) {
  char text[40];
  if (value.high != 0) {
    std::snprintf(text, sizeof text, "%u%08u", value.high, value.low);
  } else {
    std::snprintf(text, sizeof text, "%u", value.low);
  }
  return text;
}

std::string CounterFieldText(uint32_t counter) {
  char text[16];
  std::snprintf(text, sizeof text, "%06u", counter);
  return text;
}

AdvancedFunctions::AdvancedFunctions(JobSettings& job) : job_(job), states_(AdvancedDialogTemplate()) {
  const unsigned usage = UsageLimitForDisplay(job_.UsageLimit);
  if (usage == 0 || usage > kMaxUsage) job_.UsageLimit = {0xFF, 0xFF};
  job_.SnAddress = std::min(job_.SnAddress, kMaxSnAddress);
  job_.ChipCounter = std::min(job_.ChipCounter, kMaxChipCounter);

  ApplyUsageRadio(job_.UsageLimitEnabled);
  ShowStored(kIdUsageEdit);
  if (job_.ComPortMode || job_.GangMode) {
    for (int id : {kIdUsageGroup, kIdUsageDisable, kIdUsageEnable}) states_.Enable(id, false);
  }

  ApplySnRadio(job_.SnProgrammingEnabled);
  job_.SnValue.high %= kHalfModulus;
  job_.SnIncrement.high %= kHalfModulus;
  ShowStored(kIdIncrementEdit);
  ShowStored(kIdSnValueEdit);
  ShowStored(kIdSnAddressEdit);
  if (!job_.ComPortMode && !job_.CategoryMode) {
    for (int id : {kIdSnGroup, kIdSnDisable, kIdSnEnable}) states_.Enable(id, false);
    for (int id : kSnDetailControls) states_.Enable(id, false);
  }

  ApplyCounterRadio(job_.ChipCounterEnabled);
  states_.SetText(kIdCountDirection, job_.CountDown ? "Count Down" : "Count Up");
  ShowStored(kIdCounterEdit);

  states_.Check(kIdFastProtocol, job_.FastProtocol);
  states_.Check(kIdNormalProtocol, !job_.FastProtocol);
  if (!job_.ComPortMode) {
    for (int id : {kIdProtocolGroup, kIdFastProtocol, kIdNormalProtocol}) states_.Enable(id, false);
  }

  states_.Check(kIdGangVerifyOnly, job_.GangVerifyOnly);
  states_.Check(kIdGangNormal, !job_.GangVerifyOnly);
  if (!job_.GangMode) {
    for (int id : {kIdGangGroup, kIdGangNormal, kIdGangVerifyOnly}) states_.Enable(id, false);
  }
}

void AdvancedFunctions::ApplyUsageRadio(bool enable) {
  job_.UsageLimitEnabled = enable;
  states_.Check(kIdUsageEnable, enable);
  states_.Check(kIdUsageDisable, !enable);
  states_.Enable(kIdUsageLabel, enable);
  states_.Enable(kIdUsageEdit, enable);
}

void AdvancedFunctions::ApplySnRadio(bool enable) {
  job_.SnProgrammingEnabled = enable;
  states_.Check(kIdSnEnable, enable);
  states_.Check(kIdSnDisable, !enable);
  for (int id : kSnDetailControls) states_.Enable(id, enable);
}

void AdvancedFunctions::ApplyCounterRadio(bool enable) {
  job_.ChipCounterEnabled = enable;
  states_.Check(kIdCounterEnable, enable);
  states_.Check(kIdCounterDisable, !enable);
  for (int id : {kIdCountDirection, kIdCounterEdit, kIdCounterSpin}) states_.Enable(id, enable);
}

void AdvancedFunctions::OnClick(int id) {
  switch (id) {
    case kIdUsageDisable:
    case kIdUsageEnable:
      ApplyUsageRadio(id == kIdUsageEnable);
      break;
    case kIdSnDisable:
    case kIdSnEnable:
      ApplySnRadio(id == kIdSnEnable);
      break;
    case kIdCounterDisable:
    case kIdCounterEnable:
      ApplyCounterRadio(id == kIdCounterEnable);
      break;
    case kIdCountDirection:
      job_.CountDown = !job_.CountDown;
      states_.SetText(kIdCountDirection, job_.CountDown ? "Count Down" : "Count Up");
      break;
    case kIdFastProtocol:
    case kIdNormalProtocol:
      job_.FastProtocol = id == kIdFastProtocol;
      states_.Check(kIdFastProtocol, job_.FastProtocol);
      states_.Check(kIdNormalProtocol, !job_.FastProtocol);
      break;
    case kIdGangNormal:
    case kIdGangVerifyOnly:
      job_.GangVerifyOnly = id == kIdGangVerifyOnly;
      states_.Check(kIdGangVerifyOnly, job_.GangVerifyOnly);
      states_.Check(kIdGangNormal, !job_.GangVerifyOnly);
      break;
    default:
      break;
  }
}

std::string AdvancedFunctions::OnEditChange(int id, const std::string& text) {
  const auto rule = std::find_if(std::begin(kEditRules), std::end(kEditRules),
                                 [id](const EditRule& r) { return r.id == id; });
  if (rule == std::end(kEditRules)) return "";
  states_.SetText(id, text);
  const std::string examined = text.substr(0, rule->max_chars);
  const bool valid =
      std::all_of(examined.begin(), examined.end(), [&](char c) { return IsDigitOf(c, rule->hexadecimal); });
  if (!valid) {
    ShowStored(id);
    return text + (rule->hexadecimal ? " is not a hexadecimal number !" : " is not a decimal number !");
  }
  const uint64_t value = ParseDigits(examined, rule->hexadecimal);  // an empty text reads as 0
  switch (id) {
    case kIdUsageEdit: {
      const uint64_t usage = examined.empty() ? 1 : value;
      if (usage == 0 || usage > kMaxUsage) {
        ShowStored(id);
        return "Usage Times should be 1 ~ 60000 !";
      }
      job_.UsageLimit = {static_cast<uint8_t>(usage >> 8), static_cast<uint8_t>(usage & 0xFF)};
      return "";
    }
    case kIdSnAddressEdit:
      if (value > kMaxSnAddress) {
        job_.SnAddress = kMaxSnAddress;
        ShowStored(id);
        return "SerialNumber starting address should be 0x00000 ~ 0x1FFF8 !";
      }
      job_.SnAddress = static_cast<uint32_t>(value);
      states_.SetText(kIdSnEndEdit, Hex(job_.SnAddress + 7));
      return "";
    case kIdIncrementEdit:
      job_.SnIncrement = Split(value);
      return "";
    case kIdSnValueEdit:
      job_.SnValue = Split(value);
      return "";
    default:  // kIdCounterEdit: six digits never exceed 999999
      job_.ChipCounter = static_cast<uint32_t>(value);
      return "";
  }
}

std::string AdvancedFunctions::StoredText(int id) const {
  switch (id) {
    case kIdUsageEdit:
      return UsageFieldText(job_.UsageLimit);
    case kIdSnAddressEdit:
      return Hex(job_.SnAddress);
    case kIdIncrementEdit:
      return IncrementFieldText(job_.SnIncrement);
    case kIdSnValueEdit:
      return SnFieldText(job_.SnValue);
    default:
      return CounterFieldText(job_.ChipCounter);
  }
}

void AdvancedFunctions::ShowStored(int id) {
  OnEditChange(id, StoredText(id));
}

}  // namespace quillet
