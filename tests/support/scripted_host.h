#pragma once
// A host that plays a scripted exchange against one simulated device in virtual time, on a strict
// line: bytes go out at a cursor that moves on by their wire time and by the pauses the script
// keeps; everything the device sends is collected at the end, and the whole exchange is traced.
#include <span>
#include <vector>

#include "core/serial/wire_trace.h"
#include "sim/sim_engine.h"

namespace quillet::test_support {

class ScriptedHost {
 public:
  explicit ScriptedHost(sim::SimDevice& device, sim::FaultPlan faults = {})
      : engine_(device, std::move(faults), &trace_) {
    engine_.SetStrict(true);
  }
  // Bytes as one write, then `pause` of quiet.
  void Send(std::span<const uint8_t> bytes, Micros pause = Micros(0)) {
    engine_.HostWrite(bytes, at_);
    at_ = engine_.HostLineFree() + pause;
  }
  void Send(std::initializer_list<uint8_t> bytes, Micros pause = Micros(0)) {
    Send(std::span<const uint8_t>(bytes.begin(), bytes.size()), pause);
  }
  // A command byte and the 1 ms before its acknowledge is read.
  void Command(uint8_t command) { Send({command}, Millis(1)); }
  // One write per byte, 1 ms after each.
  void Paced(std::span<const uint8_t> bytes) {
    for (uint8_t byte : bytes) Send({byte}, Millis(1));
  }
  void Wait(Micros time) { at_ += time; }
  // Everything the device sent by `limit` after the last byte written.
  std::vector<uint8_t> Received(Micros limit = Millis(60000)) {
    std::vector<uint8_t> got;
    while (engine_.NextOutput(at_ + limit)) got.push_back(engine_.PopOutput());
    return got;
  }
  const WireTrace& trace() const { return trace_; }
  sim::SimEngine& engine() { return engine_; }

 private:
  WireTrace trace_;
  sim::SimEngine engine_;
  Micros at_{0};
};

}  // namespace quillet::test_support
