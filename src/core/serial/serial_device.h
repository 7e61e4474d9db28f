#pragma once
// One open serial port as the link layer sees it, whatever carries the bytes: a termios device
// (real port or pseudo-terminal) or an in-process virtual port. Byte moves are bounded by the five
// time-out values; what arrived or left within them is returned, and the caller judges the count.
#include <cstddef>
#include <cstdint>
#include <span>

namespace quillet {

enum class Parity : uint8_t { None = 0, Odd = 1, Even = 2, Mark = 3, Space = 4 };
// Codes as the line settings carry them: 0 one, 1 one and a half, 2 two.
enum class StopBits : uint8_t { One = 0, OneAndHalf = 1, Two = 2 };

// The line settings a port reports and accepts.
struct LineSettings {
  uint32_t baud_rate = 9600;
  uint8_t data_bits = 8;
  bool parity_check = false;  // received bytes with a parity error are flagged
  Parity parity = Parity::None;
  StopBits stop_bits = StopBits::One;
  bool binary = false;         // raw bytes: no line editing, echo, signals or character mapping
  bool hardware_flow = false;  // RTS/CTS
  bool software_flow = false;  // XON/XOFF in either direction
  // A byte received with a framing error, a parity error (while parity checking is on) or a break
  // fails the read and discards the input, instead of arriving as some byte value.
  bool abort_on_error = false;
  bool operator==(const LineSettings&) const = default;
};

// Time-outs in milliseconds. A read ends when `read_interval` passes between two bytes (0: no
// interval limit), or when read_multiplier x count + read_constant have passed since it began
// (both 0: no total limit). A write may take write_multiplier x count + write_constant.
struct SerialTimeouts {
  uint32_t read_interval = 0;
  uint32_t read_multiplier = 0;
  uint32_t read_constant = 0;
  uint32_t write_multiplier = 0;
  uint32_t write_constant = 0;
  bool operator==(const SerialTimeouts&) const = default;
};

// Result of a byte move: how many bytes moved, and whether the port itself failed (unplugged,
// hung up, a byte received with a line error under abort-on-error) as opposed to a time-out.
struct IoResult {
  std::size_t count = 0;
  bool failed = false;
};

class SerialDevice {
 public:
  virtual ~SerialDevice() = default;
  virtual bool GetLineSettings(LineSettings& settings) = 0;
  virtual bool SetLineSettings(const LineSettings& settings) = 0;
  virtual bool SetTimeouts(const SerialTimeouts& timeouts) = 0;
  virtual IoResult Read(std::span<uint8_t> buffer) = 0;
  virtual IoResult Write(std::span<const uint8_t> bytes) = 0;
  // Raise or lower DTR and RTS. A port without modem lines (a pseudo-terminal) accepts and ignores
  // them.
  virtual bool SetDtr(bool on) = 0;
  virtual bool SetRts(bool on) = 0;
  // Returns when every byte written so far has left the wire, so that a pause that follows starts
  // after the last stop bit and not while the bytes still wait in a buffer.
  virtual bool Drain() = 0;
  // Discards what has arrived and not been read, so that a byte left over from a failed exchange
  // is never taken for the answer to the next command.
  virtual bool FlushInput() = 0;
};

// Bits on the wire for one byte: start bit, data bits, parity bit, stop bits (one and a half
// rounded up to two).
inline unsigned BitsPerByte(const LineSettings& line) {
  const unsigned parity = line.parity == Parity::None ? 0 : 1;
  const unsigned stop = line.stop_bits == StopBits::One ? 1 : 2;
  return 1 + line.data_bits + parity + stop;
}

}  // namespace quillet
