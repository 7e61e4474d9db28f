#pragma once
// The Gang Programmer's own controller as the program sees it: type code 0xAF, acknowledge 0xAF,
// and its firmware transfer (0xC5: sixteen 256-byte blocks, each acknowledged, and the byte 0x5A
// after the eighth). Another byte where 0x5A belongs spoils the transfer: the controller reads the
// remaining blocks without acknowledging them and keeps its firmware.
#include "sim/controller_model.h"
#include "sim/device_tables.h"

namespace quillet::sim {

class GangModel final : public ControllerModel {
 public:
  explicit GangModel(uint16_t version) : ControllerModel(kGangType, version, kGangAckByte) {}

 private:
  Task<> Command(uint8_t command, DeviceIo& io) override;
  Task<> FirmwareTransfer(DeviceIo& io);
};

}  // namespace quillet::sim
