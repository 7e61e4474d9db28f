#include "sim/virtual_port.h"

namespace quillet::sim {

// Shared by the port and its open handle, so that a handle left open cannot outlive the engine.
struct SimulatedPort::State {
  State(SimDevice& device, VirtualClock& clock, FaultPlan faults, WireTrace* trace)
      : engine(device, std::move(faults), trace), clock(clock), line(device.Line()) {}
  SimEngine engine;
  VirtualClock& clock;
  LineSettings line;  // a port keeps its settings from one open to the next
  bool open = false;
  bool attached = true;  // the port (and its device) still exist
};

namespace {

class VirtualDevice final : public SerialDevice {
 public:
  // Opening raises DTR and RTS and closing lowers them, as the system does with a serial port.
  explicit VirtualDevice(std::shared_ptr<SimulatedPort::State> state) : state_(std::move(state)) {
    state_->open = true;
    state_->engine.DiscardOutputBefore(state_->clock.NowMicros());
    state_->engine.SetModemLines(true, true, state_->clock.NowMicros());
  }
  ~VirtualDevice() override {
    if (state_->attached) state_->engine.SetModemLines(false, false, state_->clock.NowMicros());
    state_->open = false;
  }

  bool GetLineSettings(LineSettings& settings) override {
    settings = state_->line;
    return !state_->engine.Disconnected();
  }

  bool SetLineSettings(const LineSettings& settings) override {
    if (state_->engine.Disconnected()) return false;
    state_->line = settings;
    state_->engine.SetHostLine(settings);
    return true;
  }

  bool SetTimeouts(const SerialTimeouts& timeouts) override {
    timeouts_ = timeouts;
    return !state_->engine.Disconnected();
  }

  IoResult Read(std::span<uint8_t> buffer) override {
    IoResult result;
    SimEngine& engine = state_->engine;
    VirtualClock& clock = state_->clock;
    const Micros start = clock.NowMicros();
    const bool has_total = timeouts_.read_multiplier != 0 || timeouts_.read_constant != 0;
    const Micros total_end =
        has_total
            ? start + Millis(uint64_t{timeouts_.read_multiplier} * buffer.size() + timeouts_.read_constant)
            : Micros::max();
    Micros last = start;
    while (result.count < buffer.size() && !engine.Disconnected()) {
      Micros limit = total_end;
      if (result.count > 0 && timeouts_.read_interval != 0) {
        limit = std::min(limit, last + Millis(timeouts_.read_interval));
      }
      const auto arrival = engine.NextOutput(limit);
      if (!arrival) {
        // Nothing more can come before the limit (a read without any time-out never ends in the
        // real world; here nothing would ever arrive, so it returns).
        if (limit != Micros::max()) clock.AdvanceTo(limit);
        return result;
      }
      clock.AdvanceTo(*arrival);
      last = *arrival;
      buffer[result.count++] = engine.PopOutput();
    }
    result.failed = engine.Disconnected();
    return result;
  }

  IoResult Write(std::span<const uint8_t> bytes) override {
    // A line cut while the program slept is noticed here, as a vanished adapter refuses writes.
    state_->engine.RunUntil(state_->clock.NowMicros());
    if (state_->engine.Disconnected()) return {0, true};
    state_->engine.HostWrite(bytes, state_->clock.NowMicros());
    return {bytes.size(), false};
  }

  bool SetDtr(bool on) override {
    state_->engine.SetModemLines(on, state_->engine.Rts(), state_->clock.NowMicros());
    return !state_->engine.Disconnected();
  }

  bool SetRts(bool on) override {
    state_->engine.SetModemLines(state_->engine.Dtr(), on, state_->clock.NowMicros());
    return !state_->engine.Disconnected();
  }

  // The bytes in flight take their wire time: the program's clock moves on to their end.
  bool Drain() override {
    state_->clock.AdvanceTo(state_->engine.HostLineFree());
    return !state_->engine.Disconnected();
  }

  bool FlushInput() override {
    state_->engine.RunUntil(state_->clock.NowMicros());
    state_->engine.DiscardOutputBefore(state_->clock.NowMicros());
    return !state_->engine.Disconnected();
  }

 private:
  std::shared_ptr<SimulatedPort::State> state_;
  SerialTimeouts timeouts_;
};

}  // namespace

SimulatedPort::SimulatedPort(PortSystem& ports, std::string name, SimDevice& device, VirtualClock& clock,
                             FaultPlan faults, WireTrace* trace, bool strict)
    : ports_(ports),
      name_(std::move(name)),
      state_(std::make_shared<State>(device, clock, std::move(faults), trace)) {
  state_->engine.SetStrict(strict);  // virtual time places every byte exactly: no slack
  ports_.virtual_ports().Register(name_, [state = state_]() -> std::unique_ptr<SerialDevice> {
    if (state->open) return nullptr;  // one handle at a time, as with any serial port
    return std::make_unique<VirtualDevice>(state);
  });
}

SimulatedPort::~SimulatedPort() {
  state_->attached = false;
  ports_.virtual_ports().Unregister(name_);
}

void SimulatedPort::Settle() {
  state_->engine.RunUntil(state_->clock.NowMicros());
}

SimEngine& SimulatedPort::engine() {
  return state_->engine;
}

bool SimulatedPort::IsOpen() const {
  return state_->open;
}

}  // namespace quillet::sim
