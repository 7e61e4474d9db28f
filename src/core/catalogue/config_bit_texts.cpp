#include "core/catalogue/config_bit_texts.h"

namespace quillet {
namespace {

constexpr BitText kReserved{"Reserved", "Enable", "Disable"};
constexpr BitText kApromLock{"APROM Lock", "Enable", "Disable"};
constexpr BitText kNvmLock{"NVM Lock", "Enable", "Disable"};
constexpr BitText kFosc1{"FOSC1", "0", "1"};
constexpr BitText kFosc0{"FOSC0", "0", "1"};
constexpr BitText kClockFilter{"Clock Filter", "Disable", "Enable"};
constexpr BitText kCbod{"CBOD", "Disable", "Enable"};
constexpr BitText kBov{"BOV", "3.8V", "2.5V"};
constexpr BitText kPortState{"Port State", "Reset Low", "Reset High"};
constexpr BitText kP15Function{"P1.5 Function", "Reset Pin", "Input Port Pin"};
constexpr BitText kCbov1{"CBOV1", "0", "1"};
constexpr BitText kCbov0{"CBOV0", "0", "1"};
constexpr BitText kFs1Frequency{"FS1", "11.0592MHz", "22.1184MHz"};

constexpr BitText kEmpty{};

const BitText& Lookup(const auto& groups, unsigned group, unsigned bit) {
  if (group >= groups.size() || bit > 7) return kEmpty;
  return groups[group][7 - bit];
}

}  // namespace

const std::array<BitTextGroup, 7> Config0BitTexts{{
    {kReserved, kReserved, kReserved, kReserved, kReserved, kReserved, kReserved, kReserved},
    {kReserved, kP15Function, kPortState, kBov, kReserved, kClockFilter, kFosc1, kFosc0},
    {BitText{"WDT Clock", "Internal OSC", "uC Clock"}, kCbov1, kCbov0, BitText{"Reserved(0)", "0", "1"},
     kCbod, kClockFilter, kFosc1, kFosc0},
    {kReserved, kP15Function, kPortState, kBov, kCbod, kClockFilter, kFosc1, kFosc0},
    {BitText{"WDT Clock", "Int. 600KHz", "uC Clock"}, kP15Function, kPortState, kBov, kCbod, kClockFilter,
     kFosc1, kFosc0},
    {BitText{"WDT Clock", "Int. 20KHz", "uC Clock"}, BitText{"PMODE", "Open-drain", "Quasi"}, kPortState,
     kReserved, kCbod, kClockFilter, kFosc1, kFosc0},
    {BitText{"WDT Clock", "Int. 500KHz", "uC Clock"}, BitText{"P1.4 Function", "Reset Pin", "Input Port Pin"},
     kPortState, kCbov1, kCbov0, kClockFilter, kFosc1, kFosc0},
}};

const std::array<BitTextGroup, 8> Config1BitTexts{{
    {kReserved, kReserved, kReserved, kReserved, kReserved, kReserved, kReserved, kReserved},
    {kApromLock, kNvmLock, kReserved, kReserved, kReserved, kReserved, kReserved, kReserved},
    {kApromLock, kReserved, kReserved, kReserved, kReserved, kReserved, kReserved, kReserved},
    {kApromLock, kNvmLock, kFs1Frequency, kReserved, kReserved, kReserved, kReserved, kReserved},
    {kApromLock, kNvmLock, BitText{"FS1", "0", "1"}, BitText{"FS0", "0", "1"}, kReserved, kReserved,
     kReserved, kReserved},
    {kApromLock, kNvmLock, kReserved, kReserved, kReserved, kReserved, kReserved, kReserved},
    {kApromLock, kNvmLock, kFs1Frequency, kReserved, kCbov1, kCbov0, BitText{"MOVC", "Enable", "Disable"},
     kReserved},
    {kApromLock, kNvmLock, kFs1Frequency, kReserved, BitText{"XTAL Frequency", "< 24MHz", "> 24MHz"}, kCbod,
     BitText{"PWM Even", "Output Mode", "Hi-Z Mode"}, BitText{"PWM Odd", "Output Mode", "Hi-Z Mode"}},
}};

const BitText& Config0BitText(unsigned group, unsigned bit) {
  return Lookup(Config0BitTexts, group, bit);
}
const BitText& Config1BitText(unsigned group, unsigned bit) {
  return Lookup(Config1BitTexts, group, bit);
}

}  // namespace quillet
