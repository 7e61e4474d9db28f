#pragma once
// Serial ports through the POSIX terminal interface: real ports (ttyUSB, ttyACM, ttyS) and
// pseudo-terminals alike.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
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

// Input of a terminal that marks line errors (abort-on-error): 0xFF 0xFF stands for a received
// 0xFF, and 0xFF 0x00 x for a byte x received with a framing or parity error (x = 0: a break).
// `pending` carries an unfinished sequence from one read to the next: 0 none, 1 after 0xFF, 2 after
// 0xFF 0x00.
struct MarkedInput {
  uint8_t pending = 0;
};
struct DecodedInput {
  std::size_t count = 0;  // plain bytes, decoded into the front of the buffer
  bool error = false;     // a marked byte (or a sequence the terminal never sends) ended the decoding
};
// Decodes `bytes` in place. After an error the rest of the buffer is not decoded and `state` is
// reset.
DecodedInput DecodeMarkedInput(std::span<uint8_t> bytes, MarkedInput& state);

}  // namespace quillet
