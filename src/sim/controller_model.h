#pragma once
// What the single Programmer and the Gang Programmer's controller have in common as the program
// sees them: a type code answered to 0xC0 (no acknowledge before it), a firmware version answered
// to 0xC1 after the acknowledge byte, and firmware that a transfer can replace. Each model adds its
// own commands; bytes that start no command are ignored.
#include <cstdint>
#include <optional>
#include <vector>

#include "sim/firmware_image.h"
#include "sim/sim_device.h"

namespace quillet::sim {

// How long the controller takes: to answer (before each reply or acknowledge), to restart as new
// firmware (it hears nothing meanwhile), and how much silence inside a transfer it waits out before
// it gives the transfer up and takes commands again with its old firmware (0: it waits for ever).
struct DeviceTiming {
  Micros answer{0};
  Micros restart{0};
  Micros stall{Millis(2000)};
};

class ControllerModel : public SimDevice {
 public:
  Task<> Run(DeviceIo& io) final;
  // Reads one command (waiting at most `idle`, 0: for ever) and runs it to its end; the command,
  // or nothing when the host stayed silent. A Gang Programmer serves its sockets' commands so.
  Task<std::optional<uint8_t>> ServeOne(DeviceIo& io, Micros idle);
  LineSettings Line() const override { return ProgrammerLine(); }

  void SetTiming(const DeviceTiming& timing) { timing_ = timing; }
  uint8_t type_code() const { return type_code_; }
  uint16_t version() const { return version_; }
  // The image received by the last complete transfer, how many transfers completed, and how many
  // were given up after a silence.
  const std::vector<uint8_t>& last_image() const { return last_image_; }
  int transfers() const { return transfers_; }
  int abandoned() const { return abandoned_; }

 protected:
  ControllerModel(uint8_t type_code, uint16_t version, uint8_t ack)
      : type_code_(type_code), version_(version), ack_(ack) {}
  // Runs the model's own command `command` (nothing for a byte that starts none).
  virtual Task<> Command(uint8_t command, DeviceIo& io) = 0;
  // Sends an acknowledge after the time the controller takes to answer.
  void Acknowledge(DeviceIo& io);
  // A transfer completed: the controller restarts as the image's firmware when `valid` and the image
  // carries an identity that `accept` allows.
  void Completed(DeviceIo& io, std::vector<uint8_t> image, bool valid,
                 bool (*accept)(const FirmwareIdentity&));
  // The host fell silent inside a transfer: it is given up.
  void Abandon(DeviceIo& io);
  const DeviceTiming& timing() const { return timing_; }

 private:
  uint8_t type_code_;
  uint16_t version_;
  const uint8_t ack_;
  DeviceTiming timing_;
  std::vector<uint8_t> last_image_;
  int transfers_ = 0;
  int abandoned_ = 0;
};

}  // namespace quillet::sim
