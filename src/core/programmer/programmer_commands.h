#pragma once
// The Programmer's command bytes and acknowledges. Every command is one byte; the Programmer
// acknowledges with 0xA5, the Gang Programmer with 0xAF.
#include <cstdint>

namespace quillet {

constexpr uint8_t kProgrammerAck = 0xA5;
constexpr uint8_t kGangAck = 0xAF;

constexpr uint8_t kTypeQuery = 0xC0;         // answered by the firmware's type code
constexpr uint8_t kVersionQuery = 0xC1;      // 0xA5 and the version, most significant byte first
constexpr uint8_t kStorageDownload = 0xC2;   // the job into the Programmer's storage
constexpr uint8_t kStorageReport = 0xC3;     // what the storage holds; 0x00 then programs a chip
constexpr uint8_t kFirmwareTransfer = 0xC5;  // a new firmware image
constexpr uint8_t kInformation = 0xC6;
constexpr uint8_t kVerify = 0xC7;
constexpr uint8_t kRead = 0xC9;
constexpr uint8_t kGangDownload = 0xCA;
constexpr uint8_t kGangInformation = 0xCB;
constexpr uint8_t kGangSocketFirst = 0xCC;  // 0xCC..0xCF route to sockets #1..#4
constexpr uint8_t kTrimRead = 0xD0;
constexpr uint8_t kGangStorageQuery = 0xD1;
constexpr uint8_t kSerialNumberSettings = 0xD2;

}  // namespace quillet
