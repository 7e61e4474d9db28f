#pragma once
// The Gang Programmer as the program sees it: its own controller (type code 0xAF, acknowledge
// 0xAF, its firmware transfer) and four socket Programmers, each with its own storage and chip,
// to which it routes the line in turn.
//
// Its firmware transfer (0xC5): sixteen 256-byte blocks, each acknowledged, and the byte 0x5A
// after the eighth. Another byte where 0x5A belongs spoils the transfer: the controller reads the
// remaining blocks without acknowledging them and keeps its firmware.
//
// Routing: after a sync byte n the line belongs to socket n's Programmer, which answers every
// command the host sends until the exchange the routing command stands for has ended; then the
// gang sends the next sync byte, or takes commands itself again after socket 4. The exchanges:
// 0xCA (download) ends with the socket's storage download (0xC2), after the host's verdict on the
// last area's sum, or after the storage clear when no area is selected, or when the socket gives
// the download up; 0xD2 (S/N) ends with the socket's 19-byte S/N block. A host silent for the stall
// time between two commands ends these routings as well. 0xCC..0xCF route socket 1..4 for one
// exchange: the report (0xC3, with the host's reply), information (0xC6), verify (0xC7), read
// (0xC9) or TRIM read (0xD0); 0xCB, from gang firmware 0x0119 on, first says whether the sockets
// hold a complete download (0xFF: no, and nothing more), then routes socket 1 for information.
// These end after one second of silence too. After any routing the gang takes commands itself
// again; so it does after a sync byte sent wrong (the wrong-sync fault), at which the host gives up.
#include <array>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "sim/controller_model.h"
#include "sim/device_tables.h"
#include "sim/programmer_model.h"

namespace quillet::sim {

class GangModel final : public ControllerModel {
 public:
  // The sockets' Programmers run firmware `socket_type` at `socket_version`.
  explicit GangModel(uint16_t version, uint8_t socket_type = 0xAB, uint16_t socket_version = 0x0710);

  // Socket n = 1..4.
  ProgrammerModel& socket(int n) { return *sockets_[static_cast<std::size_t>(n - 1)]; }
  // Chips for socket n come from `feeder`'s seat n.
  void SetFeeder(ChipFeeder& feeder);
  void SetFaults(std::shared_ptr<DeviceFaults> faults);
  // Replaces the result byte of 0xC3: a value is sent instead of the sockets' outcome; nothing
  // means the gang never sends one. Until called, the byte tells the sockets' outcome.
  void SetGangResult(std::optional<uint8_t> result) {
    result_override_ = true;
    result_ = result;
  }
  // Time before the first sync byte of a routing command.
  void SetSyncDelay(Micros delay) { sync_delay_ = delay; }
  // The gang header of the last 0xCA (from firmware 0x0119 on): fixed part and part name.
  const std::vector<uint8_t>& gang_header() const { return gang_header_; }

 private:
  Task<> Command(uint8_t command, DeviceIo& io) override;
  Task<> FirmwareTransfer(DeviceIo& io);
  Task<> GangDownload(DeviceIo& io);
  Task<bool> GangHeader(DeviceIo& io);
  void StorageQuery(DeviceIo& io);
  Task<> SocketRouting(int n, DeviceIo& io);
  Task<> InformationRouting(DeviceIo& io);
  bool Downloaded() const;
  Task<> SnRouting(DeviceIo& io);
  void ProgramAll(DeviceIo& io);
  // Sends sync byte n (after the sync delay when it is the command's `first`) and serves socket n's
  // Programmer until it has run one of `ends`; false when the host fell silent for `silence` first.
  Task<bool> Route(int n, bool first, std::span<const uint8_t> ends, Micros silence, DeviceIo& io);

  std::array<std::unique_ptr<ProgrammerModel>, kGangSockets> sockets_;
  std::shared_ptr<DeviceFaults> faults_ = std::make_shared<DeviceFaults>();
  std::vector<uint8_t> gang_header_;
  bool result_override_ = false;
  std::optional<uint8_t> result_;
  Micros sync_delay_ = kDefaultSyncDelay;
};

}  // namespace quillet::sim
