#pragma once
// Simulated devices on pseudo-terminals, in real time: the program opens the terminal's path like
// a serial port (through the termios backend) and the server plays the device on the other side,
// with wire time at the baud rate the program set and the faults of each device's plan. One thread
// serves every terminal. A pseudo-terminal has no modem lines: the program's DTR and RTS do not
// reach the device here (the in-process virtual ports carry them).
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/serial/wire_trace.h"
#include "core/sys/clock.h"
#include "sim/fault_plan.h"
#include "sim/sim_engine.h"

namespace quillet::sim {

class PtyServer {
 public:
  PtyServer();
  ~PtyServer();
  PtyServer(const PtyServer&) = delete;
  PtyServer& operator=(const PtyServer&) = delete;

  // Serves `device` on a new pseudo-terminal; its path ("/dev/pts/N"), or "" when none can be made.
  // Devices are added before Start. A strict line refuses bytes inside prescribed pauses, with the
  // slack below.
  std::string Add(SimDevice& device, FaultPlan faults = {}, WireTrace* trace = nullptr, bool strict = false);
  void Start();
  void Stop();
  // Bytes the strict lines refused (read after Stop).
  uint64_t StrictRefusals() const;
  // Microseconds of the server's time line (as in its traces).
  Micros Now() const;

 private:
  struct Terminal;
  void Serve();
  void Receive(Terminal& terminal, Micros now);
  void Transmit(Terminal& terminal, Micros now);
  void ReleaseAbandonedPort(Terminal& terminal);

  const SystemClock clock_{};
  std::vector<std::unique_ptr<Terminal>> terminals_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace quillet::sim
