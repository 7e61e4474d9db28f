#pragma once
// The single Programmer's firmware as the program sees it over the serial line: the type query
// (0xC0), the version query (0xC1) and the firmware transfer (0xC5). After a transfer whose sum
// checks and whose image carries an identity, the Programmer restarts as that firmware (variant
// and version). Commands it does not know are ignored.
#include <cstdint>
#include <vector>

#include "sim/sim_device.h"

namespace quillet::sim {

class ProgrammerModel final : public SimDevice {
 public:
  ProgrammerModel(uint8_t type_code, uint16_t version) : type_code_(type_code), version_(version) {}

  Task<> Run(DeviceIo& io) override;
  LineSettings Line() const override { return ProgrammerLine(); }

  uint8_t type_code() const { return type_code_; }
  uint16_t version() const { return version_; }
  // The image received by the last transfer, and how many transfers ended with the sum bytes.
  const std::vector<uint8_t>& last_image() const { return last_image_; }
  int transfers() const { return transfers_; }

 private:
  Task<> QueryType(DeviceIo& io);
  Task<> QueryVersion(DeviceIo& io);
  Task<> FirmwareTransfer(DeviceIo& io);

  struct Command {
    uint8_t code;
    Task<> (ProgrammerModel::*handler)(DeviceIo&);
  };
  static const Command kCommands[];

  uint8_t type_code_;
  uint16_t version_;
  std::vector<uint8_t> last_image_;
  int transfers_ = 0;
};

}  // namespace quillet::sim
