#pragma once
// The link to a chip's own boot loader over a plain serial line, with no Programmer between: reset
// the chip by pulsing DTR, probe at 9600 baud until the boot loader names its rate, reopen the port
// at that rate, then write CONFIG, erase and program APROM and DataFlash, and finish the chip.
// Every step returns 1 (success) or 0 (failure); the step that detects a failure with a message of
// its own reports it, the others leave the report to the caller, which names the area.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/comisp/comisp_protocol.h"
#include "core/job/job_settings.h"
#include "core/report/operation_display.h"
#include "core/report/reporter.h"
#include "core/serial/serial_port.h"
#include "core/sys/clock.h"

namespace quillet {

// Single: one update, a 10 s window for the chip to answer. Production: waits for the next chip
// until the P.M. flag is cleared.
enum class DetectMode { Single, Production };

class ComIspLink {
 public:
  // `port_file` is where the port of each detected chip is remembered (empty: nowhere).
  ComIspLink(SerialPort& port, Clock& clock, Reporter& reporter, OperationDisplay& display,
             const JobSettings& job, std::string port_file);

  // Transport steps.
  int SendByte(uint8_t byte);
  int SendBytes(std::span<const uint8_t> bytes);
  int ReceiveIspByte(uint8_t& byte);
  int ExpectReady();

  // Resets the chip, finds its boot loader on `port_name` and leaves the port open at the rate the
  // boot loader named.
  int DetectChip(DetectMode mode, const std::string& port_name);
  // The eight CONFIG bytes of the job, CONFIG byte 0 first.
  int WriteConfig();
  // Erase the area, then program `image` in 128-byte blocks and a shorter tail.
  int UpdateAprom(std::span<const uint8_t> image);
  int UpdateDataFlash(std::span<const uint8_t> image);
  int FinishChip();

  std::string PortName;         // device path of the chip's port
  uint32_t AgreedBaudRate = 0;  // rate named by the boot loader's last baud code
  uint8_t LastReceivedByte = 0;
  int LastResult = 0;

 private:
  struct Area;
  int Result(int result) {
    if (!result) discard_input_ = true;
    return LastResult = result;
  }
  int Fail(const std::string& message);
  int OpenProbing();
  int ReopenProbing();
  void PulseDtr(Millis length);
  // Probes until a baud code comes; 0 on a port failure (reported) or when the window closes or
  // production mode ends (not reported).
  int Probe(DetectMode mode);
  int SwitchToAgreedRate();
  void RememberPort();
  // A pause that starts when the bytes written so far have left the wire.
  void Pause(Millis length);
  void Animate(const std::string& status, Millis step_pause);
  int UpdateArea(const Area& area, std::span<const uint8_t> image);
  int EraseArea(const Area& area);
  int WriteFullBlock(const Area& area, std::span<const uint8_t> block);
  int WriteTailBlock(const Area& area, std::span<const uint8_t> tail);

  SerialPort& port_;
  Clock& clock_;
  Reporter& reporter_;
  OperationDisplay& display_;
  const JobSettings& job_;
  std::string port_file_;
  bool discard_input_ = false;
};

// The packet of one block: length, data, the low 16 bits of the data's sum, high byte first.
std::vector<uint8_t> IspPacket(std::span<const uint8_t> block);

}  // namespace quillet
