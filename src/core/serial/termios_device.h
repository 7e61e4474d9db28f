#pragma once
// Serial ports through the POSIX terminal interface: real ports (ttyUSB, ttyACM, ttyS) and
// pseudo-terminals alike.
#include <memory>
#include <string>

#include "core/serial/serial_device.h"

namespace quillet {

// Opens the device for reading and writing, exclusively: a port that another program (or another
// handle of this one) holds open is refused. Anything but a terminal device is refused too.
// Returns nullptr on failure.
std::unique_ptr<SerialDevice> OpenTermiosDevice(const std::string& path);

// Line settings of the terminal behind `fd`. On a pseudo-terminal master they are the settings the
// program on the other side chose. Any baud rate, not only the classic ones.
bool GetTermiosLine(int fd, LineSettings& settings);
bool SetTermiosLine(int fd, const LineSettings& settings);

}  // namespace quillet
