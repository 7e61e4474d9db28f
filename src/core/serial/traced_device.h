#pragma once
// A serial device that writes everything passing through it into a wire trace: bytes written
// (host to device) at the time of the write, bytes read (device to host) at the time the read
// returned, and line settings, time-outs and modem-line changes ("DTR 0", "RTS 1") as notes.
#include <memory>
#include <string>

#include "core/serial/serial_device.h"
#include "core/serial/wire_trace.h"
#include "core/sys/clock.h"

namespace quillet {

std::unique_ptr<SerialDevice> TraceDevice(std::unique_ptr<SerialDevice> device, WireTrace& trace,
                                          const Clock& clock);

// "115200 8N1", "9600 8E2": baud rate, data bits, parity letter, stop bits.
std::string DescribeLine(const LineSettings& line);

}  // namespace quillet
