#include "sim/controller_model.h"

#include "sim/device_tables.h"

namespace quillet::sim {

Task<> ControllerModel::Run(DeviceIo& io) {
  for (;;) {
    const uint8_t command = co_await io.Byte();
    if (command == kTypeQueryCommand) {
      io.Send(type_code_);
    } else if (command == kVersionQueryCommand) {
      io.SendAck(ack_);
      const uint8_t version[] = {static_cast<uint8_t>(version_ >> 8), static_cast<uint8_t>(version_)};
      io.Send(version);
    } else {
      co_await Command(command, io);
    }
  }
}

void ControllerModel::Completed(std::vector<uint8_t> image, bool valid,
                                bool (*accept)(const FirmwareIdentity&)) {
  ++transfers_;
  if (const auto identity = ReadFirmwareIdentity(image); valid && identity && accept(*identity)) {
    type_code_ = identity->type_code;
    version_ = identity->version;
  }
  last_image_ = std::move(image);
}

}  // namespace quillet::sim
