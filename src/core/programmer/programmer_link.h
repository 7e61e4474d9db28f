#pragma once
// The layer between the serial port and the Programmer-driven operations: how a command is sent
// and acknowledged, finding the Programmer (the port where it was last seen, or a scan), which
// firmware variant and version it runs, and reflashing it where the selected part needs another
// variant or the version is not 0x0710. Every step returns 1 (success) or 0 (failure); the step
// that detects a failure reports it through the Reporter.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "core/catalogue/part_catalogue.h"
#include "core/job/job_settings.h"
#include "core/programmer/firmware_variant.h"
#include "core/programmer/programmer_commands.h"
#include "core/report/operation_display.h"
#include "core/report/reporter.h"
#include "core/serial/serial_port.h"
#include "core/sys/clock.h"

namespace quillet {

// Set when the Programmer's firmware is older than the version named; older firmware leaves
// fields out of its replies.
struct VersionFlags {
  bool FwBelow0490 = false;
  bool FwBelow0501 = false;
  bool FwBelow0505 = false;
  bool FwBelow0524 = false;
  bool FwBelow0601 = false;
  bool FwBelow0614 = false;
  bool GangFwBelow0119 = false;
  bool operator==(const VersionFlags&) const = default;
};

constexpr std::size_t kFirmwareBufferSize = 14336;

// The firmware file being sent, as read and restored.
struct FirmwareBuffer {
  std::array<uint8_t, kFirmwareBufferSize> data{};
  uint32_t length = 0;
  uint32_t sum = 0;
  uint32_t last_index = 0;
};

class ProgrammerLink {
 public:
  // `firmware_folder` is where the firmware files are looked up (ends with '/' or is empty).
  ProgrammerLink(SerialPort& port, Clock& clock, Reporter& reporter, OperationDisplay& display,
                 JobSettings& job, const PartCatalogue& catalogue, std::string firmware_folder);

  // Command framing.
  int SendCommand(uint8_t command);
  int SendBlock(std::span<const uint8_t> bytes);
  int ReceiveByte(uint8_t& byte);
  int ReceiveBlock(std::span<uint8_t> buffer);
  int ExpectAck();
  int ExpectGangAck();
  int ReceiveByteQuiet();

  // Discovery.
  int ConnectProgrammer();
  int ScanForProgrammer();
  int SearchProgrammer();
  int SearchGangProgrammer();

  // Versions.
  int QueryProgrammerVersion();
  int QueryGangVersion();
  // 0 when the firmware is at 0x0710; 1 when it was not and an update was run (whatever its outcome).
  int CheckProgrammerFirmware();
  int CheckGangFirmware();

  // Firmware updates (firmware_update.cpp).
  int UpdateProgrammerFirmware();
  int UpdateGangFirmware();
  // The hidden "FwUpdate" button: a search that reflashes even a suitable variant.
  void OnFwUpdate();

  // State shared with the operations.
  uint8_t ProgrammerTypeCode = 0;
  std::optional<FirmwareVariant> Variant;
  uint16_t ProgrammerFirmwareVersion = 0;
  VersionFlags Flags;
  uint8_t CurrentSocket = 0;
  bool InfoOnlySearch = false;
  bool ForceFirmwareUpdate = false;
  // The user named the Programmer's port: it is the only port tried, never a scan.
  bool NamedPortOnly = false;
  uint8_t CommandByte = 0;
  uint8_t LastReceivedByte = 0;
  int LastResult = 0;

 private:
  int Fail(const std::string& message);
  // Every step ends here; after a failed one the input left on the line is discarded before the
  // next command, so a stale byte is never taken for an acknowledge.
  int Result(int result) {
    if (!result) discard_input_ = true;
    return LastResult = result;
  }
  int ExpectAckByte(uint8_t ack, const char* no_response, const char* wrong);
  int QueryVersion(bool gang);
  // Connect, else scan and connect again; `not_found` when the second connection fails silently.
  int ConnectOrScan(const char* not_found);
  PartGroup SelectedPartGroup() const;
  // Reads a firmware file into the buffer; 0 after a report.
  int LoadFirmwareFile(const std::string& path, bool pad_gang_image);
  // The transfers themselves; the public calls mark their start and end on the display.
  int TransferProgrammerFirmware();
  int TransferGangFirmware();

  SerialPort& port_;
  Clock& clock_;
  Reporter& reporter_;
  OperationDisplay& display_;
  JobSettings& job_;  // the port a scan finds is remembered in it
  const PartCatalogue& catalogue_;
  std::string firmware_folder_;
  FirmwareBuffer firmware_;
  int reported_failures_ = 0;
  bool discard_input_ = false;
  bool cancelled_ = false;  // the cancel path ran: the program is ending and reports nothing more
};

// Status text of the search: "Search Programmer...", or in gang mode the form for the socket being
// served ("Search Programmer <2 of 4>..."); nothing (no change) in gang mode for another socket.
std::optional<std::string> SearchStatusText(bool gang_mode, uint8_t socket);

// Offsets 3..255, 2051..2303 and 10243..10495 of a firmware file are stored complemented; this
// restores those of them that lie within `length`.
void RestoreScrambledRanges(std::span<uint8_t> data, std::size_t length);

}  // namespace quillet
