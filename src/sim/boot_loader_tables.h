#pragma once
// What the simulated boot-loader chip knows of its protocol, written from the protocol description
// and kept apart from the program's tables, so that a wrong constant in the program fails a test
// instead of being mirrored here.
#include <array>
#include <cstdint>

#include "core/sys/clock.h"

namespace quillet::sim {

constexpr uint32_t kBootProbeBaud = 9600;
constexpr uint8_t kBootProbe = 0x00;

constexpr uint8_t kBootEraseAprom = 0xC1;
constexpr uint8_t kBootWriteAprom = 0xC2;
constexpr uint8_t kBootEnd = 0xC3;
constexpr uint8_t kBootEraseDataFlash = 0xCA;
constexpr uint8_t kBootWriteDataFlash = 0xCB;
constexpr uint8_t kBootWriteConfig = 0xCC;

constexpr uint8_t kBootReady = 0x5A;  // 'Z'
constexpr uint8_t kBootDone = 0xA5;
constexpr uint8_t kBootRefused = 0x00;      // in place of 0xA5: nothing written
constexpr uint8_t kBootLockRelease = 0xFF;  // first CONFIG reply when the write unlocks the chip
constexpr uint8_t kBootConfigKept = 0x00;   // first CONFIG reply otherwise

// The rates a baud code names.
struct BootBaudRow {
  uint8_t code;
  uint32_t baud_rate;
};
constexpr std::array<BootBaudRow, 6> kBootBaudRows{{
    {0x09, 9600},
    {0x0E, 14400},
    {0x13, 19200},
    {0x26, 38400},
    {0x39, 57600},
    {0x73, 115200},
}};
constexpr uint8_t kDefaultBaudCode = 0x73;

constexpr std::size_t kBootBlockSize = 128;
constexpr std::size_t kBootConfigSize = 8;

// CONFIG byte 0 (the first sent): bit 1 clear locks the flash against reading; on parts whose
// DataFlash is carved out of APROM, bit 0 clear turns DataFlash on. Its start is CONFIG1 (bytes 4
// to 7, least significant first) on Cortex-M0 parts and CONFIG byte 1 x 256 on 8051 parts.
constexpr uint8_t kConfigLockBit = 0x02;
constexpr uint8_t kConfigDataFlashOffBit = 0x01;
constexpr uint32_t kConfigStartUnit8051 = 256;

// The host keeps the line quiet this long after these bytes before it sends the next one.
constexpr Micros kQuietAfterWriteCommand = Millis(1);
constexpr Micros kQuietAfterShortLength = Millis(1);  // the length byte of a short packet
constexpr Micros kQuietBeforeShortSum = Millis(5);    // after a short packet's data
constexpr Micros kQuietInsideShortSum = Millis(1);    // between its two sum bytes
constexpr Micros kQuietAfterPacket = Millis(1);
constexpr Micros kQuietAfterConfigByte = Millis(5);

// DTR must stay raised this long to reset the chip (the reset line's filter swallows the glitch of
// a port being opened).
constexpr Micros kResetPulseMin = Millis(1);
constexpr Micros kDefaultBootWindow = Millis(300);

}  // namespace quillet::sim
