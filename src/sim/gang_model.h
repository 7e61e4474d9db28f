#pragma once
// The Gang Programmer's own controller as the program sees it: the type query (0xC0, answered
// 0xAF), the version query (0xC1) and its firmware transfer (0xC5: sixteen 256-byte blocks, each
// acknowledged with 0xAF, and the byte 0x5A after the eighth). A transfer broken off by a wrong
// byte where 0x5A belongs leaves the firmware as it was.
#include <cstdint>
#include <vector>

#include "sim/sim_device.h"

namespace quillet::sim {

class GangModel final : public SimDevice {
 public:
  explicit GangModel(uint16_t version) : version_(version) {}

  Task<> Run(DeviceIo& io) override;
  LineSettings Line() const override { return ProgrammerLine(); }

  uint16_t version() const { return version_; }
  const std::vector<uint8_t>& last_image() const { return last_image_; }
  int transfers() const { return transfers_; }

 private:
  Task<> QueryType(DeviceIo& io);
  Task<> QueryVersion(DeviceIo& io);
  Task<> FirmwareTransfer(DeviceIo& io);

  struct Command {
    uint8_t code;
    Task<> (GangModel::*handler)(DeviceIo&);
  };
  static const Command kCommands[];

  uint16_t version_;
  std::vector<uint8_t> last_image_;
  int transfers_ = 0;
};

}  // namespace quillet::sim
