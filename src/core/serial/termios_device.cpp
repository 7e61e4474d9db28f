#include "core/serial/termios_device.h"

// The kernel's termios2 interface sets any baud rate (14400 has no B constant). Its headers clash
// with <termios.h> and <sys/ioctl.h>, so this file uses the kernel headers alone.
#include <asm/termios.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <thread>

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept;

namespace quillet {
namespace {

using SteadyClock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr tcflag_t kDataBitFlags[] = {CS5, CS6, CS7, CS8};

int MillisUntil(SteadyClock::time_point deadline) {
  const auto left = std::chrono::ceil<milliseconds>(deadline - SteadyClock::now()).count();
  return left <= 0 ? 0 : static_cast<int>(left < INT_MAX ? left : INT_MAX);
}

// Waits until `fd` is ready for `events` or the deadline passes; false on time-out or hang-up
// without data.
bool WaitFor(int fd, short events, SteadyClock::time_point deadline, bool& failed) {
  for (;;) {
    pollfd p{fd, events, 0};
    const int n = ::poll(&p, 1, MillisUntil(deadline));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      failed = true;
      return false;
    }
    if (n == 0) return false;
    if (p.revents & events) return true;
    failed = true;  // POLLHUP, POLLERR, POLLNVAL without the wanted event
    return false;
  }
}

class TermiosDevice final : public SerialDevice {
 public:
  TermiosDevice(int fd, const LineSettings& line) : fd_(fd), line_(line) {}
  ~TermiosDevice() override {
    ::ioctl(fd_, TIOCNXCL);  // the flag outlives us while another handle (a simulator) stays open
    ::close(fd_);
  }

  bool GetLineSettings(LineSettings& settings) override { return GetTermiosLine(fd_, settings); }

  bool SetLineSettings(const LineSettings& settings) override {
    if (!SetTermiosLine(fd_, settings)) return false;
    // Bytes received before the marking changed cannot be decoded by the new rule.
    if (settings.abort_on_error != line_.abort_on_error) FlushInput();
    line_ = settings;
    return true;
  }

  bool SetTimeouts(const SerialTimeouts& timeouts) override {
    timeouts_ = timeouts;
    return true;
  }

  IoResult Read(std::span<uint8_t> buffer) override {
    IoResult result;
    const auto start = SteadyClock::now();
    const bool has_total = timeouts_.read_multiplier != 0 || timeouts_.read_constant != 0;
    const auto total_deadline =
        has_total ? start + milliseconds(uint64_t{timeouts_.read_multiplier} * buffer.size() +
                                         timeouts_.read_constant)
                  : SteadyClock::time_point::max();
    while (result.count < buffer.size()) {
      auto deadline = total_deadline;
      if (result.count > 0 && timeouts_.read_interval != 0) {
        deadline = std::min(deadline, SteadyClock::now() + milliseconds(timeouts_.read_interval));
      }
      if (!WaitFor(fd_, POLLIN, deadline, result.failed)) break;
      const std::span<uint8_t> free = buffer.subspan(result.count);
      const ssize_t n = ::read(fd_, free.data(), free.size());
      if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      if (n <= 0) {  // end of file or EIO: the other side hung up
        result.failed = true;
        break;
      }
      if (!line_.abort_on_error) {
        result.count += static_cast<std::size_t>(n);
        continue;
      }
      const DecodedInput decoded = DecodeMarkedInput(free.first(static_cast<std::size_t>(n)), marked_);
      result.count += decoded.count;
      if (decoded.error) {  // abort-on-error: the read fails and what else has arrived is dropped
        result.failed = true;
        FlushInput();
        break;
      }
    }
    return result;
  }

  IoResult Write(std::span<const uint8_t> bytes) override {
    IoResult result;
    const bool has_total = timeouts_.write_multiplier != 0 || timeouts_.write_constant != 0;
    const auto deadline =
        has_total ? SteadyClock::now() + milliseconds(uint64_t{timeouts_.write_multiplier} * bytes.size() +
                                                      timeouts_.write_constant)
                  : SteadyClock::time_point::max();
    while (result.count < bytes.size()) {
      const ssize_t n = ::write(fd_, bytes.data() + result.count, bytes.size() - result.count);
      if (n > 0) {
        result.count += static_cast<std::size_t>(n);
        AddWireTime(static_cast<std::size_t>(n));
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && errno == EAGAIN) {
        if (!WaitFor(fd_, POLLOUT, deadline, result.failed)) break;
        continue;
      }
      result.failed = true;
      break;
    }
    return result;
  }

  bool SetDtr(bool on) override { return SetModemLine(TIOCM_DTR, on); }
  bool SetRts(bool on) override { return SetModemLine(TIOCM_RTS, on); }

  bool Drain() override {
    int result = 0;
    while ((result = ::ioctl(fd_, TCSBRK, 1)) != 0 && errno == EINTR) {
    }
    // A pseudo-terminal has no wire and returns at once, and a USB adapter may still hold bytes
    // in its own buffer: the bytes' wire time at the set baud rate is the least that is waited.
    std::this_thread::sleep_until(wire_end_);
    return result == 0;
  }

  bool FlushInput() override {
    marked_ = {};
    return ::ioctl(fd_, TCFLSH, TCIFLUSH) == 0;
  }

 private:
  bool SetModemLine(int bit, bool on) {
    if (::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bit) == 0) return true;
    return errno == ENOTTY || errno == EINVAL;  // no modem lines (pseudo-terminal)
  }

  // `count` bytes were handed to the driver now: they leave the wire after those still in flight.
  void AddWireTime(std::size_t count) {
    const uint64_t baud = std::max<uint32_t>(line_.baud_rate, 1);
    const std::chrono::nanoseconds time(count * BitsPerByte(line_) * 1'000'000'000ull / baud);
    wire_end_ = std::max(wire_end_, SteadyClock::now()) + time;
  }

  int fd_;
  LineSettings line_;
  SerialTimeouts timeouts_;
  MarkedInput marked_;
  SteadyClock::time_point wire_end_{};  // when the last byte written leaves the wire
};

}  // namespace

bool GetTermiosLine(int fd, LineSettings& settings) {
  termios2 t{};
  if (::ioctl(fd, TCGETS2, &t) != 0) return false;
  settings.baud_rate = t.c_ospeed;
  settings.data_bits = 8;
  for (int i = 0; i < 4; ++i) {
    if ((t.c_cflag & CSIZE) == kDataBitFlags[i]) settings.data_bits = static_cast<uint8_t>(5 + i);
  }
  settings.abort_on_error = (t.c_iflag & PARMRK) && !(t.c_iflag & IGNPAR);
  if (!(t.c_cflag & PARENB)) {
    settings.parity = Parity::None;
  } else if (t.c_cflag & CMSPAR) {
    settings.parity = (t.c_cflag & PARODD) ? Parity::Mark : Parity::Space;
  } else {
    settings.parity = (t.c_cflag & PARODD) ? Parity::Odd : Parity::Even;
  }
  settings.stop_bits = (t.c_cflag & CSTOPB) ? StopBits::Two : StopBits::One;
  // Input checking without a parity bit is the framing check that abort-on-error turns on.
  settings.parity_check =
      (t.c_iflag & INPCK) && !(settings.abort_on_error && settings.parity == Parity::None);
  settings.binary = !(t.c_lflag & (ICANON | ECHO | ISIG)) && !(t.c_oflag & OPOST);
  settings.hardware_flow = (t.c_cflag & CRTSCTS) != 0;
  settings.software_flow = (t.c_iflag & (IXON | IXOFF)) != 0;
  return true;
}

bool SetTermiosLine(int fd, const LineSettings& settings) {
  if (settings.data_bits < 5 || settings.data_bits > 8 || settings.baud_rate == 0) return false;
  termios2 t{};
  if (::ioctl(fd, TCGETS2, &t) != 0) return false;
  t.c_cflag &= ~(CBAUD | CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  t.c_cflag |= BOTHER | CLOCAL | CREAD | kDataBitFlags[settings.data_bits - 5];
  t.c_ispeed = t.c_ospeed = settings.baud_rate;
  t.c_cflag &= ~(CBAUD << IBSHIFT);  // input speed follows the output speed
  switch (settings.parity) {
    case Parity::None:
      break;
    case Parity::Odd:
      t.c_cflag |= PARENB | PARODD;
      break;
    case Parity::Even:
      t.c_cflag |= PARENB;
      break;
    case Parity::Mark:
      t.c_cflag |= PARENB | CMSPAR | PARODD;
      break;
    case Parity::Space:
      t.c_cflag |= PARENB | CMSPAR;
      break;
  }
  if (settings.stop_bits != StopBits::One) t.c_cflag |= CSTOPB;  // one and a half is two here
  if (settings.hardware_flow) t.c_cflag |= CRTSCTS;
  t.c_iflag &= ~(INPCK | PARMRK | IGNPAR | IXON | IXOFF | IXANY);
  // The driver reports framing and parity errors only while input checking (INPCK) is on; without
  // a parity bit it checks the framing alone. PARMRK marks an errored byte (and a break) in the
  // input, where the read finds it.
  if (settings.parity_check || (settings.abort_on_error && settings.parity == Parity::None))
    t.c_iflag |= INPCK;
  if (settings.abort_on_error) t.c_iflag |= PARMRK;
  if (settings.software_flow) t.c_iflag |= IXON | IXOFF;
  if (settings.binary) {
    t.c_iflag &= ~(IGNBRK | BRKINT | ISTRIP | INLCR | IGNCR | ICRNL);
    t.c_oflag &= ~OPOST;
    t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  }
  t.c_cc[VMIN] = 0;  // reads are bounded by poll, never by the line discipline
  t.c_cc[VTIME] = 0;
  return ::ioctl(fd, TCSETS2, &t) == 0;
}

DecodedInput DecodeMarkedInput(std::span<uint8_t> bytes, MarkedInput& state) {
  DecodedInput result;
  for (const uint8_t byte : bytes) {
    if (state.pending == 0 && byte != 0xFF) {
      bytes[result.count++] = byte;
    } else if (state.pending == 0) {
      state.pending = 1;
    } else if (state.pending == 1 && byte == 0xFF) {
      bytes[result.count++] = 0xFF;
      state.pending = 0;
    } else if (state.pending == 1 && byte == 0x00) {
      state.pending = 2;
    } else {  // the errored byte itself, or a byte no mark is followed by
      state.pending = 0;
      result.error = true;
      return result;
    }
  }
  return result;
}

std::unique_ptr<SerialDevice> OpenTermiosDevice(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  termios2 t{};
  // TIOCEXCL keeps out other opens (except privileged ones); the lock keeps out every cooperating
  // program, root included.
  if (::ioctl(fd, TCGETS2, &t) != 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(fd, TIOCEXCL) != 0) {
    ::close(fd);
    return nullptr;
  }
  ::ioctl(fd, TCFLSH, TCIOFLUSH);  // a freshly opened port starts with empty buffers
  LineSettings line;
  GetTermiosLine(fd, line);
  return std::make_unique<TermiosDevice>(fd, line);
}

}  // namespace quillet
