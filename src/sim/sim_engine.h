#pragma once
// The serial line between a host and one simulated device. Bytes take their wire time at the
// line's baud rate in both directions (start bit, data bits, parity, stop bits); a byte sent at a
// rate the receiver does not listen at is lost, as a UART drops a byte with a framing error. The
// engine injects the faults of its plan and writes every byte into a wire trace. It keeps no clock
// of its own: the host side tells it when bytes were written and asks for the next byte due by a
// given time, so the same engine runs in virtual time (tests) and in real time (pseudo-terminals).
// A strict line refuses (drops, notes and counts) a host byte that starts inside a pause the
// device's protocol prescribes after an earlier byte.
#include <cstdint>
#include <deque>
#include <optional>
#include <span>

#include "core/serial/serial_device.h"
#include "core/serial/wire_trace.h"
#include "core/sys/clock.h"
#include "sim/fault_plan.h"
#include "sim/sim_device.h"

namespace quillet::sim {

// Time one byte takes on a line.
Micros ByteTime(const LineSettings& line);
// Whether a receiver set up as `receiver` reads bytes sent as `sender` sends them.
bool LinesMatch(const LineSettings& sender, const LineSettings& receiver);

class SimEngine final : private DeviceIo {
 public:
  SimEngine(SimDevice& device, FaultPlan faults = {}, WireTrace* trace = nullptr);
  SimEngine(const SimEngine&) = delete;
  SimEngine& operator=(const SimEngine&) = delete;

  // The host's current line settings (its side of the line).
  void SetHostLine(const LineSettings& line) { host_line_ = line; }
  // Strictness: a byte that starts more than `slack` before the end of a prescribed pause is
  // refused. Real time needs a slack: there the host's write times are known only as well as the
  // server's wake-ups place them.
  void SetStrict(bool strict, Micros slack = Micros(0)) {
    strict_ = strict;
    strict_slack_ = slack;
  }
  uint64_t StrictRefusals() const { return strict_refusals_; }
  // The host's DTR and RTS from `at` on; changes are noted and handed to the device.
  void SetModemLines(bool dtr, bool rts, Micros at);
  bool Dtr() const { return dtr_; }
  bool Rts() const { return rts_; }

  // Bytes the host wrote at `at`; they leave one after another once the line is free.
  void HostWrite(std::span<const uint8_t> bytes, Micros at);
  // Hands the device every host byte that has arrived by `time`.
  void RunUntil(Micros time);
  // The arrival time of the next byte for the host if it arrives by `limit`, after handing the
  // device every host byte that arrives before it.
  std::optional<Micros> NextOutput(Micros limit);
  // Takes the byte NextOutput announced.
  uint8_t PopOutput();
  // The host opened the port at `at`: what arrived while it was closed is gone.
  void DiscardOutputBefore(Micros at);
  // When the last byte the host has written leaves the wire.
  Micros HostLineFree() const { return host_line_free_; }

  bool Disconnected() const { return disconnected_; }
  uint64_t BytesToDevice() const { return to_device_count_; }
  WireTrace* trace() const { return trace_; }

 private:
  struct Timed {
    Micros at;  // when its last stop bit has arrived
    uint8_t value;
    bool framing_error = false;  // sent at a rate the receiver does not listen at
    Micros start{0};             // when its start bit began
  };
  void Emit(uint8_t value, bool ack) override;
  void Note(const std::string& text) override { Note(Now(), text); }
  void DeliverNext();
  // Whether a host byte that arrived is lost or refused before the device sees it.
  bool Refused(const Timed& byte);
  void Schedule(uint8_t value);
  void Note(Micros at, const std::string& text);

  SimDevice& device_;
  FaultPlan faults_;
  WireTrace* trace_;
  Task<> firmware_;
  LineSettings host_line_;
  std::deque<Timed> to_device_;
  std::deque<Timed> to_host_;
  Micros host_line_free_{0};
  Micros device_line_free_{0};
  uint64_t to_device_count_ = 0;
  uint64_t to_host_count_ = 0;
  uint64_t ack_count_ = 0;
  uint64_t strict_refusals_ = 0;
  Micros strict_slack_{0};
  bool strict_ = false;
  bool silent_ = false;
  bool disconnected_ = false;
  bool dtr_ = false;
  bool rts_ = false;
};

}  // namespace quillet::sim
