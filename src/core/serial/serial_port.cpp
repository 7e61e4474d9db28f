#include "core/serial/serial_port.h"

#include <algorithm>

#include "core/serial/traced_device.h"

namespace quillet {

SerialPort::SerialPort(const PortSystem& ports, const Clock& clock) : ports_(ports), clock_(clock) {}

SerialPort::~SerialPort() {
  ClosePort();
}

int SerialPort::ConfigurePort(uint32_t baud_rate, uint8_t data_bits, uint8_t parity_enable, uint8_t parity,
                              uint8_t stop_bits) {
  if (!device_) return 0;
  LineSettings line;
  if (!device_->GetLineSettings(line)) return 0;
  line.baud_rate = baud_rate;
  line.data_bits = data_bits;
  line.parity = static_cast<Parity>(parity);
  line.stop_bits = static_cast<StopBits>(stop_bits);
  line.binary = true;
  line.parity_check = (parity_enable & 1) != 0;
  line.hardware_flow = false;
  line.software_flow = false;
  line.abort_on_error = true;
  const bool valid =
      parity <= static_cast<uint8_t>(Parity::Space) && stop_bits <= static_cast<uint8_t>(StopBits::Two);
  // DTR and RTS stay low: the system raises both when it opens a port, and boards wire them to
  // reset and boot pins.
  if (!valid || !device_->SetLineSettings(line) || !device_->SetDtr(false) || !device_->SetRts(false)) {
    ClosePort();
    return 0;
  }
  line_ = line;
  return 1;
}

int SerialPort::SetTimeouts(uint32_t read_interval, uint32_t read_multiplier, uint32_t read_constant,
                            uint32_t write_multiplier, uint32_t write_constant) {
  return SetTimeouts(
      SerialTimeouts{read_interval, read_multiplier, read_constant, write_multiplier, write_constant});
}

int SerialPort::SetTimeouts(const SerialTimeouts& timeouts) {
  if (!device_ || !device_->SetTimeouts(timeouts)) return 0;
  timeouts_ = timeouts;
  return 1;
}

int SerialPort::ReadByte(uint8_t& byte) {
  return ReadBlock({&byte, 1});
}

int SerialPort::ReadBlock(std::span<uint8_t> buffer) {
  if (!device_) return 0;
  return device_->Read(buffer).count == buffer.size() ? 1 : 0;
}

int SerialPort::WriteByte(uint8_t byte) {
  return WriteBlock({&byte, 1});
}

int SerialPort::WriteBlock(std::span<const uint8_t> bytes) {
  if (!device_) return 0;
  return device_->Write(bytes).count == bytes.size() ? 1 : 0;
}

int SerialPort::OpenUnconfigured(const std::string& name) {
  // A handle still open (even on the same port) would make the exclusive open fail.
  ClosePort();
  auto device = ports_.Open(name);
  if (!device) return 0;
  if (trace_) {
    trace_->Note(clock_.NowMicros(), "open " + name);
    device = TraceDevice(std::move(device), *trace_, clock_);
  }
  device_ = std::move(device);
  open_name_ = name;
  return 1;
}

int SerialPort::OpenConfigured(const std::string& name, uint32_t baud_rate, const SerialTimeouts& timeouts) {
  if (!OpenUnconfigured(name)) return 0;
  if (!ConfigurePort(baud_rate, 8, 0, 0, 0) || !SetTimeouts(timeouts)) {
    ClosePort();
    return 0;
  }
  return 1;
}

int SerialPort::OpenPort(const std::string& name, uint32_t baud_rate) {
  return OpenConfigured(name, baud_rate, kStandardTimeouts);
}

int SerialPort::OpenPortWithTimeout(const std::string& name, uint32_t baud_rate, uint32_t timeout) {
  return OpenConfigured(name, baud_rate, {timeout, 1, timeout, 1, timeout});
}

int SerialPort::ClosePort() {
  if (device_ && trace_) trace_->Note(clock_.NowMicros(), "close " + open_name_);
  device_.reset();
  open_name_.clear();
  return 1;
}

int SerialPort::DrainInput() {
  if (!device_) return 0;
  uint8_t byte = 0;
  for (std::size_t drained = 0; drained <= kDrainLimit; ++drained) {
    const IoResult result = device_->Read({&byte, 1});
    if (result.failed) return 0;
    if (result.count == 0) return 1;
  }
  return 0;
}

int SerialPort::ListComPorts() {
  for (auto& entry : com_port_table_) entry[0] = '\0';
  ClosePort();
  std::size_t next = 0;
  for (const std::string& name : ports_.ScanOrder()) {
    if (OpenUnconfigured(name)) com_port_table_[next++] = MakePortNameField(name);
    ClosePort();
  }
  return 1;
}

int SerialPort::FlushInput() {
  return device_ && device_->FlushInput() ? 1 : 0;
}

int SerialPort::Drain() {
  return device_ && device_->Drain() ? 1 : 0;
}

int SerialPort::SetDtr() {
  return device_ && device_->SetDtr(true) ? 1 : 0;
}

int SerialPort::ClearDtr() {
  return device_ && device_->SetDtr(false) ? 1 : 0;
}

}  // namespace quillet
