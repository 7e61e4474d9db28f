#pragma once
// The single Programmer's firmware as the program sees it: besides the type and version queries,
// the firmware transfer (0xC5; after a transfer whose sum checks and whose image carries an
// identity it restarts as that firmware), the S/N settings (0xD2), the storage download (0xC2) and
// the storage report that leads into programming the chip in its socket (0xC3), and the exchanges
// that look at what it holds and at the chip without changing either: information (0xC6), verify
// (0xC7), read (0xC9) and TRIM read (0xD0). A Gang Programmer has four of them, one per socket.
#include <memory>
#include <string>

#include "sim/chip_feeder.h"
#include "sim/chip_programming.h"
#include "sim/controller_model.h"
#include "sim/device_tables.h"
#include "sim/fault_plan.h"
#include "sim/programmer_storage.h"

namespace quillet::sim {

// What a Programmer with firmware `version` sends after 0xC6's acknowledge about `storage`.
std::vector<uint8_t> InformationReply(const ProgrammerStorage& storage, uint16_t version);

class ProgrammerModel final : public ControllerModel {
 public:
  ProgrammerModel(uint8_t type_code, uint16_t version)
      : ControllerModel(type_code, version, kProgrammerAckByte) {}

  // Chips come from `feeder`'s seat `socket` (0: the single Programmer, 1..4: the gang's
  // sockets); until this is called, from a feeder of the Programmer's own that never runs out.
  void SetFeeder(ChipFeeder& feeder, uint8_t socket) {
    feeder_ = &feeder;
    socket_ = socket;
  }
  ProgrammerStorage& storage() { return storage_; }
  const ProgrammerStorage& storage() const { return storage_; }
  // Saves the storage to `path` after every change ("": never).
  void SetStorageFile(std::string path) { storage_file_ = std::move(path); }
  void SetFaults(std::shared_ptr<DeviceFaults> faults) { faults_ = std::move(faults); }

  // Programs the seated chip from the storage with no word on the line, as a gang socket does:
  // true when it passed; `time` is the device time it took. A storage that reports a non-zero
  // status programs nothing and fails.
  bool ProgramSeatedChip(Micros& time);

 private:
  Task<> Command(uint8_t command, DeviceIo& io) override;
  Task<> FirmwareTransfer(DeviceIo& io);
  Task<> SnSettings(DeviceIo& io);
  Task<> StorageDownload(DeviceIo& io);
  Task<bool> AreaDownload(Area area, DeviceIo& io);
  Task<> StorageReport(DeviceIo& io);
  Task<> IcpPhase(const ProgramOutcome& outcome, DeviceIo& io);
  Task<> IspPhase(const ProgramOutcome& outcome, DeviceIo& io);
  // Two acknowledges per block, then the area's result byte; `ok` again.
  bool AreaSteps(Area area, bool ok, DeviceIo& io);
  void EraseCount(std::size_t size, DeviceIo& io);
  void Information(DeviceIo& io);
  Task<> Verify(DeviceIo& io);
  Task<> Read(DeviceIo& io);
  Task<> TrimRead(DeviceIo& io);
  Task<> IspVerify(DeviceIo& io);
  Task<> IspRead(DeviceIo& io);
  Task<> IcpRead(DeviceIo& io);
  // The ICP part preamble and the chip's status with the host's answer to it. The part code, or
  // nothing when the exchange ends there; `config_first` sends the chip's CONFIG after the preamble.
  Task<std::optional<uint16_t>> IcpPreamble(bool config_first, DeviceIo& io);
  Task<bool> ChipStatus(uint16_t code, DeviceIo& io);
  // The firmware reaches chips through their boot loader (else through ICP).
  bool IspFirmware() const;
  // Takes the host's 0x00 / 0xFF and keeps the pause after it; nothing when the host is silent for
  // `within` (by default the stall time; 0: no limit).
  Task<std::optional<uint8_t>> Reply(DeviceIo& io, std::optional<Micros> within = std::nullopt);
  // Programs the seated chip, records it, spends a use, and saves the storage.
  ProgramOutcome ProgramNow();
  void Changed();

  ProgrammerStorage storage_;
  ChipFeeder own_feeder_;
  ChipFeeder* feeder_ = &own_feeder_;
  uint8_t socket_ = 0;
  std::string storage_file_;
  std::shared_ptr<DeviceFaults> faults_ = std::make_shared<DeviceFaults>();
};

}  // namespace quillet::sim
