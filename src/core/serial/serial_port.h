#pragma once
// The program's one serial port: opens one port at a time, configures it, moves bytes with
// exact-count semantics, drives DTR and lists the ports that can be opened. It knows nothing of
// what talks on the other end. Every operation returns 1 for success and 0 for failure and shows no
// message: the calling layer reports in its own words.
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/serial/port_name.h"
#include "core/serial/port_system.h"
#include "core/serial/serial_device.h"
#include "core/serial/wire_trace.h"
#include "core/sys/clock.h"

namespace quillet {

constexpr SerialTimeouts kStandardTimeouts{1000, 1, 1000, 1, 1000};
// DrainInput gives up on a port that has sent this many bytes without a pause: such a port is
// streaming something that answers no command.
constexpr std::size_t kDrainLimit = 65536;

class SerialPort {
 public:
  SerialPort(const PortSystem& ports, const Clock& clock);
  ~SerialPort();
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // Every port opened later is traced into `trace` (nullptr: no trace).
  void SetTrace(WireTrace* trace) { trace_ = trace; }

  // Reads the current line settings, sets these (binary mode, no flow control, parity checking
  // when bit 0 of parity_enable is 1, abort-on-error), writes them back and lowers DTR and RTS; a
  // failed write closes the port.
  // Parity kinds 0 none, 1 odd, 2 even, 3 mark, 4 space; stop-bits codes 0 one, 1 one and a half, 2 two.
  int ConfigurePort(uint32_t baud_rate, uint8_t data_bits, uint8_t parity_enable, uint8_t parity,
                    uint8_t stop_bits);
  int SetTimeouts(uint32_t read_interval, uint32_t read_multiplier, uint32_t read_constant,
                  uint32_t write_multiplier, uint32_t write_constant);
  int SetTimeouts(const SerialTimeouts& timeouts);

  // Succeed only when exactly the requested number of bytes moved within the time-outs.
  int ReadByte(uint8_t& byte);
  int ReadBlock(std::span<uint8_t> buffer);
  int WriteByte(uint8_t byte);
  int WriteBlock(std::span<const uint8_t> bytes);

  // Opens without configuring; a handle still open is closed first.
  int OpenUnconfigured(const std::string& name);
  // 8 data bits, no parity, one stop bit, standard time-outs.
  int OpenPort(const std::string& name, uint32_t baud_rate);
  // As OpenPort with the time-outs t, 1, t, 1, t.
  int OpenPortWithTimeout(const std::string& name, uint32_t baud_rate, uint32_t timeout);
  int ClosePort();

  // Reads single bytes until a read brings none; 0 when the port failed or never fell silent.
  int DrainInput();
  // Fills the port table with the ports that can be opened now, in scan order.
  int ListComPorts();

  // Discards what has arrived and not been read.
  int FlushInput();
  // Returns when the bytes written so far have left the wire: a pause that follows is a gap on the
  // line of at least its length.
  int Drain();
  int SetDtr();
  int ClearDtr();

  bool IsOpen() const { return device_ != nullptr; }
  const std::string& OpenPortName() const { return open_name_; }
  const LineSettings& Line() const { return line_; }
  const SerialTimeouts& Timeouts() const { return timeouts_; }
  // Names of the openable ports from entry 0 upward; the first byte of every unused entry is 0.
  const std::array<PortNameField, kMaxScannedPorts>& ComPortTable() const { return com_port_table_; }
  std::vector<std::string> ScanOrder() const { return ports_.ScanOrder(); }

 private:
  int OpenConfigured(const std::string& name, uint32_t baud_rate, const SerialTimeouts& timeouts);

  const PortSystem& ports_;
  const Clock& clock_;
  WireTrace* trace_ = nullptr;
  std::unique_ptr<SerialDevice> device_;
  std::string open_name_;
  LineSettings line_;
  SerialTimeouts timeouts_;
  std::array<PortNameField, kMaxScannedPorts> com_port_table_{};
};

}  // namespace quillet
