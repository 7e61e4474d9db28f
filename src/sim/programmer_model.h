#pragma once
// The single Programmer's firmware as the program sees it: besides the type and version queries,
// the firmware transfer (0xC5). After a transfer whose sum checks and whose image carries an
// identity, the Programmer restarts as that firmware (variant and version).
#include "sim/controller_model.h"
#include "sim/device_tables.h"

namespace quillet::sim {

class ProgrammerModel final : public ControllerModel {
 public:
  ProgrammerModel(uint8_t type_code, uint16_t version)
      : ControllerModel(type_code, version, kProgrammerAckByte) {}

 private:
  Task<> Command(uint8_t command, DeviceIo& io) override;
  Task<> FirmwareTransfer(DeviceIo& io);
};

}  // namespace quillet::sim
