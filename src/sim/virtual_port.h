#pragma once
// A simulated device behind an in-process port, in virtual time. The port is registered with a
// PortSystem under its name, so the program opens, scans and uses it like any other port. A read
// advances the virtual clock to the arrival of each byte, or to the end of its time-outs; writes
// are accepted at once and travel while the program goes on, and a drain advances the clock to
// the end of their wire time. DTR and RTS reach the device model.
#include <memory>
#include <string>

#include "core/serial/port_system.h"
#include "core/serial/wire_trace.h"
#include "core/sys/clock.h"
#include "sim/fault_plan.h"
#include "sim/sim_engine.h"

namespace quillet::sim {

class SimulatedPort {
 public:
  SimulatedPort(PortSystem& ports, std::string name, SimDevice& device, VirtualClock& clock,
                FaultPlan faults = {}, WireTrace* trace = nullptr, bool strict = false);
  ~SimulatedPort();
  SimulatedPort(const SimulatedPort&) = delete;
  SimulatedPort& operator=(const SimulatedPort&) = delete;

  // Hands the device everything the program has sent by now.
  void Settle();
  SimEngine& engine();
  bool IsOpen() const;

  struct State;

 private:
  PortSystem& ports_;
  std::string name_;
  std::shared_ptr<State> state_;
};

}  // namespace quillet::sim
