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
constexpr uint8_t kStorageDownloadCommand = 0xC2;
constexpr uint8_t kStorageReportCommand = 0xC3;
constexpr uint8_t kSnSettingsCommand = 0xD2;
// The Gang Programmer's own: download routing, storage query.
constexpr uint8_t kGangDownloadCommand = 0xCA;
constexpr uint8_t kGangStorageQueryCommand = 0xD1;
// Reading chips: information, verify, read, gang information, TRIM read. 0xCC..0xCF route the line
// to gang socket 1..4.
constexpr uint8_t kInformationCommand = 0xC6;
constexpr uint8_t kVerifyCommand = 0xC7;
constexpr uint8_t kReadCommand = 0xC9;
constexpr uint8_t kGangInformationCommand = 0xCB;
constexpr uint8_t kTrimReadCommand = 0xD0;
constexpr uint8_t kGangSocketCommandFirst = 0xCC;
constexpr uint8_t kGangSocketCommandLast = 0xCF;

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
constexpr std::array<CommandPause, 16> kCommandPauses{{
    {kVersionQueryCommand, Millis(1)},
    {kFirmwareTransferCommand, Millis(1)},
    {kStorageDownloadCommand, Millis(1)},
    {kStorageReportCommand, Millis(1)},
    {kSnSettingsCommand, Millis(1)},
    {kGangDownloadCommand, Millis(1)},
    {kGangSocketCommandFirst, Millis(1)},
    {kGangStorageQueryCommand, Millis(1)},
    {kInformationCommand, Millis(1)},
    {kVerifyCommand, Millis(1)},
    {kReadCommand, Millis(1)},
    {kGangInformationCommand, Millis(1)},
    {kTrimReadCommand, Millis(1)},
    {kGangSocketCommandFirst + 1, Millis(1)},
    {kGangSocketCommandFirst + 2, Millis(1)},
    {kGangSocketCommandLast, Millis(1)},
}};
// The single Programmer's transfer header: five bytes 1 ms apart, then 500 ms before the
// acknowledge is read.
constexpr std::array<Micros, 5> kHeaderPauses{{Millis(1), Millis(1), Millis(1), Millis(1), Millis(500)}};
// The Gang controller: 1 ms and 250 ms after the marker.
constexpr Micros kGangMarkerPause = Millis(251);
// After the last byte of a transfer: the controller restarts as the new firmware.
constexpr Micros kTransferEndPause = Millis(2000);

// Bytes the host sends one write each with 1 ms after it: the storage header, the S/N block and
// the gang header; and the host's 0x00 / 0xFF replies (go on / stop).
constexpr Micros kPacedBytePause = Millis(1);
constexpr uint8_t kGoOnByte = 0x00;
constexpr uint8_t kStopByte = 0xFF;

// Storage download (0xC2): the header, the part-name block, three stored file names, then each
// selected area in 256-byte blocks.
constexpr std::size_t kDownloadHeaderSize = 52;
constexpr std::size_t kPartNameBlockSize = 16;
constexpr std::size_t kStoredNameSize = 64;
constexpr std::size_t kStorageBlockSize = 256;
// Header offsets the Programmer reads itself (the rest it keeps and reports back).
constexpr std::size_t kHeaderApromStamp = 3;       // last address (3), sum (4), minute, second
constexpr std::size_t kHeaderDataFlashStamp = 12;  // as APROM
constexpr std::size_t kHeaderLdromStamp = 21;      // last address (2), sum (3), minute, second
constexpr std::size_t kHeaderConfig = 28;          // eight bytes, CONFIG0 bits 7..0 first
constexpr std::size_t kHeaderItemFlags = 36;
constexpr std::size_t kHeaderUsageLimit = 45;  // high, low; 0xFF 0xFF: no limit
constexpr std::size_t kHeaderGangVerify = 50;  // 0xFF: the gang only verifies
constexpr uint16_t kNoUsageLimit = 0xFFFF;
// Item flags: bit 7 ICP, bit 6 APROM erased on its own, bits 3..0 APROM, DataFlash, LDROM, CONFIG.
constexpr uint8_t kItemIcp = 0x80;
constexpr uint8_t kItemSeparateErase = 0x40;
constexpr uint8_t kItemConfig = 0x01;
// Time the Programmer takes to clear its storage before it acknowledges.
constexpr Micros kStorageClearTime = Millis(30);

// Storage report (0xC3): the part code's high byte is reported from this firmware version on.
constexpr uint16_t kReportPartHighFrom = 0x0501;
constexpr uint8_t kStorageEmpty = 0xFF;  // report status: no complete download or no uses left

// S/N settings (0xD2): address (3), value (8 packed BCD), increment (8 packed BCD).
constexpr std::size_t kSnBlockSize = 19;
constexpr std::size_t kSnValueOffset = 3;
constexpr std::size_t kSnValueSize = 8;

// Chip programming. ICP: a status byte first; ISP: 0xFF before the CONFIG result when code
// protection goes from enabled to disabled (the whole APROM is erased). Erase counts are pages.
constexpr uint8_t kIcpStatusNormal = 0;
constexpr uint8_t kIcpStatusErasedLocked = 1;
constexpr uint8_t kIcpStatusDeviceIdError = 2;
constexpr uint8_t kCodeProtectionDropped = 0xFF;
constexpr uint8_t kAreaFailed = 0x01;
constexpr std::size_t kErasePageSize = 512;
// CONFIG0 bit 1 clear: the chip's flash is locked (code protection enabled).
constexpr uint8_t kConfig0LockBit = 0x02;

// Gang Programmer: the gang header follows 0xCA from this firmware version on; its fixed part,
// then the part name with its zero byte, at most 64 bytes.
constexpr uint16_t kGangHeaderFrom = 0x0119;
constexpr std::size_t kGangHeaderFixedSize = 10;
constexpr std::size_t kGangNameMax = 64;
constexpr uint8_t kGangStorageCurrent = 0x00;
constexpr uint8_t kGangStorageOutOfDate = 0xFF;
constexpr int kGangSockets = 4;
// The result byte: bit 2 socket 1 passed ... bit 5 socket 4 passed.
constexpr uint8_t GangPassBit(int socket) {
  return static_cast<uint8_t>(1u << (socket + 1));
}
constexpr Micros kDefaultSyncDelay = Millis(20);
// A socket routed for one exchange (0xCB, 0xCC..0xCF) serves the host until that exchange has run,
// or until the host is silent this long.
constexpr Micros kRoutingSilence = Millis(1000);
// 0xCB from this gang firmware on: a byte first, 0xFF when the gang holds no complete download.
constexpr uint16_t kGangInformationStatusFrom = 0x0119;
// What the gang takes besides the sockets' block times to program and check four chips.
constexpr Micros kGangProgramBaseTime = Millis(50);

// Firmware variants that reach chips through their ISP boot loader; every other variant of the single
// Programmer reaches them through ICP.
constexpr std::array<uint8_t, 2> kIspTypeCodes{0xA5, 0xAA};

// Reading chips. ISP verify (0xC7): code low byte, device code, APROM last address (3), item flags,
// then the image in blocks, each answered 0 when the chip holds it. ISP read (0xC9): code low byte
// and device code, then the eight CONFIG bytes. ICP (0xC7, 0xC9, 0xD0): the part preamble; 0xC7 and
// 0xC9 then the read request: APROM last (3), DataFlash last (3), LDROM last (2), DataFlash start
// bits 23..16 and 15..8.
constexpr std::size_t kIspVerifyPreambleSize = 6;
constexpr std::size_t kIspReadPreambleSize = 2;
constexpr std::size_t kIcpPreambleSize = 7;
constexpr std::size_t kReadRequestSize = 10;
constexpr std::size_t kApromReadBlock = 256;
constexpr std::size_t kDataFlashReadBlock = 128;
constexpr std::size_t kLdromReadBlock = 256;
constexpr std::size_t kTrimSize = 5;
constexpr std::size_t kConfigSize = 8;
// The host asks for an area with 0xFF and skips it with 0x00.
constexpr uint8_t kReadAreaByte = 0xFF;

// Information (0xC6): fields each firmware version sends. Below 0x0490 the old exchange: a one-byte
// code, a 128-byte APROM name, and the DataFlash, CONFIG and item fields only for ICP codes and the
// ISP list's parts whose CONFIG is written in ISP mode.
constexpr uint16_t kInfoNewExchangeFrom = 0x0490;
constexpr uint16_t kInfoPartHighFrom = 0x0501;
constexpr uint16_t kInfoPartNameFrom = 0x0505;
constexpr uint16_t kInfoUsageFrom = 0x0524;
constexpr uint16_t kInfoGangVerifyFrom = 0x0601;
constexpr uint16_t kInfoSnFrom = 0x0614;
constexpr std::size_t kOldApromNameSize = 128;
constexpr uint32_t kIcpCodeFirst = 110;
constexpr uint8_t kInfoNotDownloaded = 0xFF;
constexpr uint8_t kSnEnabled = 0x00;
constexpr uint8_t kSnDisabled = 0xFF;

}  // namespace quillet::sim
