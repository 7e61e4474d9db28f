#pragma once
// The program's one serial port: opens one port at a time, configures it, moves bytes with
// exact-count semantics, drives DTR, finds the port on which a Programmer answers and lists the
// ports that can be opened. Every operation returns 1 for success and 0 for failure and shows no
// message: the calling layer reports in its own words.
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "images/job_settings.h"
#include "platform/clock.h"
#include "platform/port_system.h"
#include "platform/serial_device.h"
#include "platform/wire_trace.h"

namespace quillet {

using PortNameField = std::array<char, kPortNameSize>;

constexpr uint32_t kProgrammerBaudRate = 115200;
constexpr SerialTimeouts kStandardTimeouts{1000, 1, 1000, 1, 1000};
// While probing: a silent port costs about 10 ms.
constexpr SerialTimeouts kProbeTimeouts{1, 1, 10, 1, 10};
// The drain before a probe gives up on a port that has sent this many bytes without a pause; such
// a port is streaming something that is not a Programmer.
constexpr std::size_t kDrainLimit = 65536;

// What `FindProgrammerPort` sends: 0xC0 and a type code back, or 0xC1 and 0xA5 plus two bytes.
enum class ProbeKind { Version = 0, Type = 1 };

class SerialPort {
 public:
  // `programmer_port_name` is where the port of a found Programmer is remembered (the job
  // settings' field, kept in GUI.LOG).
  SerialPort(const PortSystem& ports, const Clock& clock, PortNameField& programmer_port_name);
  ~SerialPort();
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // Every port opened later is traced into `trace` (nullptr: no trace).
  void SetTrace(WireTrace* trace) { trace_ = trace; }

  // Reads the current line settings, sets these (binary mode, no flow control, parity checking
  // when bit 0 of parity_enable is 1), writes them back; a failed write closes the port.
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

  // The remembered Programmer port at 115200 baud, 8N1, standard time-outs.
  int OpenProgrammerPort();
  // 8 data bits, no parity, one stop bit, standard time-outs.
  int OpenPort(const std::string& name, uint32_t baud_rate);
  // As OpenPort with the time-outs t, 1, t, 1, t.
  int OpenPortWithTimeout(const std::string& name, uint32_t baud_rate, uint32_t timeout);
  int ClosePort();

  // Probes every port in scan order; on success the port stays open (115200 baud, two stop bits,
  // standard time-outs) and its name is remembered as the Programmer's port.
  int FindProgrammerPort(ProbeKind probe);
  // Fills the port table with the ports that can be opened now, in scan order.
  int ListComPorts();

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
  // Opens without configuring; the current handle is closed first.
  bool OpenDevice(const std::string& name);
  int OpenConfigured(const std::string& name, uint32_t baud_rate, const SerialTimeouts& timeouts);
  // Reads single bytes until a read brings none; false when the port failed or never fell silent.
  bool Drain();
  bool Probe(ProbeKind probe);

  const PortSystem& ports_;
  const Clock& clock_;
  PortNameField& programmer_port_name_;
  WireTrace* trace_ = nullptr;
  std::unique_ptr<SerialDevice> device_;
  std::string open_name_;
  LineSettings line_;
  SerialTimeouts timeouts_;
  std::array<PortNameField, kMaxScannedPorts> com_port_table_{};
};

// The name a window shows for a port: the device path without "/dev/".
std::string PortFieldText(const PortNameField& name);
std::string PortNameText(const PortNameField& name);
PortNameField MakePortNameField(const std::string& name);

}  // namespace quillet
