#include "sim/controller_model.h"

#include "sim/device_tables.h"

namespace quillet::sim {
namespace {

Micros PauseAfterCommand(uint8_t command) {
  for (const CommandPause& pause : kCommandPauses) {
    if (pause.command == command) return pause.quiet;
  }
  return Micros(0);
}

}  // namespace

Task<> ControllerModel::Run(DeviceIo& io) {
  for (;;) co_await ServeOne(io, Micros(0));
}

Task<std::optional<uint8_t>> ControllerModel::ServeOne(DeviceIo& io, Micros idle) {
  const std::optional<uint8_t> command = co_await io.ByteWithin(idle);
  if (!command) co_return std::nullopt;
  io.RequireQuiet(PauseAfterCommand(*command));
  if (*command == kTypeQueryCommand) {
    io.Busy(timing_.answer);
    io.Send(type_code_);
  } else if (*command == kVersionQueryCommand) {
    Acknowledge(io);
    const uint8_t version[] = {static_cast<uint8_t>(version_ >> 8), static_cast<uint8_t>(version_)};
    io.Send(version);
  } else {
    co_await Command(*command, io);
  }
  co_return command;
}

void ControllerModel::Acknowledge(DeviceIo& io) {
  io.Busy(timing_.answer);
  io.SendAck(ack_);
}

void ControllerModel::Completed(DeviceIo& io, std::vector<uint8_t> image, bool valid,
                                bool (*accept)(const FirmwareIdentity&)) {
  ++transfers_;
  if (const auto identity = ReadFirmwareIdentity(image); valid && identity && accept(*identity)) {
    type_code_ = identity->type_code;
    version_ = identity->version;
    io.Restart(timing_.restart);
  }
  last_image_ = std::move(image);
}

void ControllerModel::Abandon(DeviceIo& io) {
  ++abandoned_;
  io.Note("transfer given up after " + std::to_string(timing_.stall.count() / 1000) + " ms of silence");
}

}  // namespace quillet::sim
