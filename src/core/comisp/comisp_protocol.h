#pragma once
// The chip boot loader's protocol as the program speaks it over a plain serial line: command and
// reply bytes, the baud codes, the packet layout, the time-out sets and the pauses. Every command
// is one byte; the boot loader answers 'Z' when it takes a command and 0xA5 when the work is done.
#include <array>
#include <cstdint>
#include <optional>

#include "core/serial/serial_device.h"
#include "core/sys/clock.h"

namespace quillet {

constexpr uint8_t kIspProbe = 0x00;  // sent at 9600 baud until a baud code comes back
constexpr uint8_t kIspEraseAprom = 0xC1;
constexpr uint8_t kIspWriteAprom = 0xC2;
constexpr uint8_t kIspEnd = 0xC3;
constexpr uint8_t kIspEraseDataFlash = 0xCA;
constexpr uint8_t kIspWriteDataFlash = 0xCB;
constexpr uint8_t kIspWriteConfig = 0xCC;

constexpr uint8_t kIspReady = 'Z';
constexpr uint8_t kIspDone = 0xA5;
constexpr uint8_t kIspLockRelease = 0xFF;  // first CONFIG reply: protection removed, APROM erased

constexpr uint32_t kIspProbeBaud = 9600;

// The boot loader's answer to the probe names the rate of the rest of the exchange.
struct IspBaudCode {
  uint8_t code;
  uint32_t baud_rate;
};
constexpr std::array<IspBaudCode, 6> kIspBaudCodes{{
    {9, 9600},
    {14, 14400},
    {19, 19200},
    {38, 38400},
    {57, 57600},
    {115, 115200},
}};

// The rate a probe answer names; nothing for a byte that is no baud code.
constexpr std::optional<uint32_t> IspBaudRate(uint8_t code) {
  for (const IspBaudCode& row : kIspBaudCodes) {
    if (row.code == code) return row.baud_rate;
  }
  return std::nullopt;
}

// Packet: length, data, sum of the data bits 15..8 and 7..0.
constexpr std::size_t kIspBlockSize = 128;
constexpr std::size_t kIspPacketSize = kIspBlockSize + 3;
constexpr std::size_t kIspConfigSize = 8;

constexpr SerialTimeouts kIspProbeTimeouts{2, 1, 2, 1, 2};
constexpr SerialTimeouts kIspWorkTimeouts{1000, 1, 1000, 1, 1000};
constexpr SerialTimeouts kIspEraseTimeouts{5000, 1, 5000, 1, 5000};

constexpr int kIspOpenAttempts = 3;
// Single mode gives up when no baud code came within this window (the loop itself runs a little
// longer, so that a code in the last probes still counts when it came inside the window).
constexpr Millis kIspDetectWindow{10000};
constexpr Millis kIspDetectLoopEnd{10100};
constexpr Millis kIspResetInterval{500};
constexpr Millis kIspSingleResetPulse{50};
constexpr Millis kIspProductionResetPulse{10};
// Production mode: after this many resets the count starts again from the current time.
constexpr int kIspResetCountWrap = 1000;

constexpr Millis kIspBytePause{1};    // around each packet, after each write command
constexpr Millis kIspConfigPause{5};  // after each CONFIG byte; before a short packet's sum
constexpr int kIspAnimationSteps = 100;
constexpr Millis kIspEraseStepPause{1};   // 100 of them before the erase answer is read
constexpr Millis kIspConfigStepPause{5};  // 100 of them before the CONFIG result is read

}  // namespace quillet
