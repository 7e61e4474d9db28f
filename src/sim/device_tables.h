#pragma once
// What the simulated devices know of themselves, written from the protocol description and kept
// apart from the program's tables, so that a wrong row in the program fails a test instead of
// being mirrored here.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/sys/clock.h"

namespace quillet::sim {

// Command bytes the controllers answer.
constexpr uint8_t kTypeQueryCommand = 0xC0;
constexpr uint8_t kVersionQueryCommand = 0xC1;
constexpr uint8_t kFirmwareTransferCommand = 0xC5;

constexpr uint8_t kProgrammerAckByte = 0xA5;
constexpr uint8_t kGangAckByte = 0xAF;
// The Gang Programmer answers its acknowledge byte as its type code.
constexpr uint8_t kGangType = 0xAF;

// The firmware files of the single Programmer, one per variant, with the type code the firmware
// in each answers to 0xC0.
struct FirmwareFileRow {
  std::string_view file;
  uint8_t type_code;
};
constexpr std::array<FirmwareFileRow, 15> kProgrammerFirmwareFiles{{
    {"v0710_MainMCU_ISP_only.DAT", 0xA5},
    {"v0710_MainMCU_ISP.DAT", 0xAA},
    {"v0710_MainMCU_ICP_only.DAT", 0xA6},
    {"v0710_MainMCU_ICP_only_Tessel.DAT", 0xA3},
    {"v0710_MainMCU_ICP_only_Marlin.DAT", 0xB0},
    {"v0710_MainMCU_ICP_Halvard.DAT", 0xAE},
    {"v0710_MainMCU_ICP_Halvard_Tessel.DAT", 0xA2},
    {"v0710_MainMCU_ICP_Halvard_Marlin.DAT", 0xB1},
    {"v0710_MainMCU_ICP_Halvard2.DAT", 0xB3},
    {"v0710_MainMCU_ICP_Halvard2_Tessel.DAT", 0xB4},
    {"v0710_MainMCU_ICP_Halvard2_Marlin.DAT", 0xB5},
    {"v0710_MainMCU_ICP.DAT", 0xAB},
    {"v0710_MainMCU_ICP_Velmari.DAT", 0xAD},
    {"v0710_MainMCU_ICP_Tessel.DAT", 0xA4},
    {"v0710_MainMCU_ICP_Marlin.DAT", 0xB2},
}};
inline constexpr std::string_view kGangFirmwareFileName = "v0710_GangMCU.DAT";

// A single Programmer's firmware file is stored with these byte ranges complemented (first and
// last index, inclusive); the Gang file is stored as it is sent.
struct ByteSpan {
  std::size_t first;
  std::size_t last;
};
constexpr std::array<ByteSpan, 3> kComplementedSpans{{{3, 255}, {2051, 2303}, {10243, 10495}}};

// Firmware transfer (0xC5): the single Programmer takes 256-byte blocks; the Gang controller takes
// sixteen of them and the marker 0x5A after the eighth.
constexpr std::size_t kTransferBlockSize = 256;
constexpr std::size_t kGangTransferBlocks = 16;
constexpr std::size_t kGangMarkerAfterBlock = 7;  // zero-based
constexpr uint8_t kGangTransferMarker = 0x5A;

// Pauses the host keeps on the line after certain bytes before it sends the next one, while the
// controller gets ready for it. A strict line refuses a byte that comes sooner.
// After a command it acknowledges, the host waits about 1 ms before it reads the acknowledge.
struct CommandPause {
  uint8_t command;
  Micros quiet;
};
constexpr std::array<CommandPause, 2> kCommandPauses{{
    {kVersionQueryCommand, Millis(1)},
    {kFirmwareTransferCommand, Millis(1)},
}};
// The single Programmer's transfer header: five bytes 1 ms apart, then 500 ms before the
// acknowledge is read.
constexpr std::array<Micros, 5> kHeaderPauses{{Millis(1), Millis(1), Millis(1), Millis(1), Millis(500)}};
// The Gang controller: 1 ms and 250 ms after the marker.
constexpr Micros kGangMarkerPause = Millis(251);
// After the last byte of a transfer: the controller restarts as the new firmware.
constexpr Micros kTransferEndPause = Millis(2000);

}  // namespace quillet::sim
