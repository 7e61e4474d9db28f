#include "sim/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "core/serial/termios_device.h"

namespace quillet::sim {
namespace {

// The server learns of a byte when it wakes up and reads it, not when the program wrote it: on a
// loaded machine a wake-up comes milliseconds late, and bytes written a millisecond apart come in
// one read. A strict line therefore lets a byte start this much inside a pause before it refuses
// it. A pause that is missing or much too short shows; the 1 ms pauses, and whether a pause
// starts at the last stop bit, are judged exactly in virtual time only.
constexpr Micros kRealTimeSlack = Millis(20);

}  // namespace

struct PtyServer::Terminal {
  Terminal(int master_fd, int slave_fd, SimDevice& device, FaultPlan faults, WireTrace* trace)
      : master(master_fd), slave(slave_fd), engine(device, std::move(faults), trace) {}
  ~Terminal() {
    if (master >= 0) ::close(master);
    if (slave >= 0) ::close(slave);
  }
  int master;
  int slave;  // held open so the terminal survives the program closing and reopening it
  SimEngine engine;
  std::vector<uint8_t> unsent;  // due bytes the terminal could not take yet
  Micros lock_checked{0};
};

// A program holds a port with the terminal's exclusive flag and a lock on its handle, and clears the
// flag when it closes the port. A program killed on the way leaves the flag set, and a terminal
// outlives its last handle, so the port would stay barred. A serial port is free again once its
// holder is gone: when the flag is set and nobody holds the lock, the flag is cleared. The lock is
// let go before the flag is cleared, so that a program let in by the clearing finds it free.
void PtyServer::ReleaseAbandonedPort(Terminal& terminal) {
  int exclusive = 0;
  if (::ioctl(terminal.slave, TIOCGEXCL, &exclusive) != 0 || !exclusive) return;
  if (::flock(terminal.slave, LOCK_EX | LOCK_NB) != 0) return;  // the holder is alive
  ::flock(terminal.slave, LOCK_UN);
  ::ioctl(terminal.slave, TIOCNXCL);
}

PtyServer::PtyServer() = default;

PtyServer::~PtyServer() {
  Stop();
}

Micros PtyServer::Now() const {
  return clock_.NowMicros();
}

std::string PtyServer::Add(SimDevice& device, FaultPlan faults, WireTrace* trace, bool strict) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (master < 0) return "";
  const char* name = (::grantpt(master) == 0 && ::unlockpt(master) == 0) ? ::ptsname(master) : nullptr;
  const std::string path = name ? name : "";
  const int slave = path.empty() ? -1 : ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (slave < 0) {
    ::close(master);
    return "";
  }
  // Raw from the start: a terminal that echoed would send the program's bytes straight back.
  SetTermiosLine(slave, device.Line());
  auto terminal = std::make_unique<Terminal>(master, slave, device, std::move(faults), trace);
  terminal->engine.SetHostLine(device.Line());
  terminal->engine.SetStrict(strict, kRealTimeSlack);
  terminals_.push_back(std::move(terminal));
  return path;
}

void PtyServer::Start() {
  stop_ = false;
  thread_ = std::thread([this] { Serve(); });
}

void PtyServer::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

uint64_t PtyServer::StrictRefusals() const {
  uint64_t refused = 0;
  for (const auto& terminal : terminals_) refused += terminal->engine.StrictRefusals();
  return refused;
}

void PtyServer::Receive(Terminal& terminal, Micros now) {
  uint8_t buffer[4096];
  for (;;) {
    const ssize_t n = ::read(terminal.master, buffer, sizeof buffer);
    if (n <= 0) return;  // EAGAIN: all read
    // The program may have changed the line since its last bytes; its settings live in the terminal.
    LineSettings line;
    if (GetTermiosLine(terminal.master, line)) terminal.engine.SetHostLine(line);
    terminal.engine.HostWrite({buffer, static_cast<std::size_t>(n)}, now);
  }
}

void PtyServer::Transmit(Terminal& terminal, Micros now) {
  while (terminal.engine.NextOutput(now)) terminal.unsent.push_back(terminal.engine.PopOutput());
  while (!terminal.unsent.empty()) {
    const ssize_t n = ::write(terminal.master, terminal.unsent.data(), terminal.unsent.size());
    if (n <= 0) return;  // the terminal's input buffer is full: try again on the next pass
    terminal.unsent.erase(terminal.unsent.begin(), terminal.unsent.begin() + n);
  }
}

void PtyServer::Serve() {
  constexpr Micros kIdleWake{20'000};  // how soon a stop request is noticed
  std::vector<pollfd> polls;
  while (!stop_) {
    Micros now = Now();
    Micros wake = now + kIdleWake;
    polls.clear();
    for (auto& terminal : terminals_) {
      if (terminal->master < 0) continue;
      if (terminal->engine.Disconnected()) {  // the cable is pulled: the program's side hangs up
        ::close(terminal->master);
        ::close(terminal->slave);
        terminal->master = terminal->slave = -1;
        continue;
      }
      if (now - terminal->lock_checked >= kIdleWake) {
        ReleaseAbandonedPort(*terminal);
        terminal->lock_checked = now;
      }
      Transmit(*terminal, now);
      terminal->engine.RunUntil(Micros::max());  // every byte received is known; replies are timed
      if (const auto next = terminal->engine.NextOutput(Micros::max())) wake = std::min(wake, *next);
      if (!terminal->unsent.empty()) wake = std::min(wake, now + Micros(1000));
      polls.push_back({terminal->master, POLLIN, 0});
    }
    const Micros wait = std::max(Micros(0), wake - now);
    const timespec timeout{static_cast<time_t>(wait.count() / 1'000'000),
                           static_cast<long>(wait.count() % 1'000'000) * 1000};
    if (::ppoll(polls.data(), polls.size(), &timeout, nullptr) < 0 && errno != EINTR) break;
    now = Now();
    for (auto& terminal : terminals_) {
      if (terminal->master >= 0) Receive(*terminal, now);
    }
  }
}

}  // namespace quillet::sim
