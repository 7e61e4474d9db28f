#include "sim/sim_engine.h"

#include <algorithm>
#include <cstdio>

namespace quillet::sim {
namespace {

uint8_t Flipped(uint8_t value) {
  return static_cast<uint8_t>(~value);
}

std::string Hex(uint8_t value) {
  char text[4];
  std::snprintf(text, sizeof text, "%02X", value);
  return text;
}

}  // namespace

Micros ByteTime(const LineSettings& line) {
  const uint64_t baud = std::max<uint32_t>(line.baud_rate, 1);
  return Micros((BitsPerByte(line) * 1'000'000ull + baud - 1) / baud);
}

bool LinesMatch(const LineSettings& sender, const LineSettings& receiver) {
  return sender.baud_rate == receiver.baud_rate && sender.data_bits == receiver.data_bits &&
         sender.parity == receiver.parity;
}

SimEngine::SimEngine(SimDevice& device, FaultPlan faults, WireTrace* trace)
    : device_(device), faults_(std::move(faults)), trace_(trace), firmware_(device.Run(*this)) {
  host_line_ = device.Line();
  silent_ = faults_.Has(FaultKind::SilentAfter, 0);
  firmware_.Start();
}

void SimEngine::Note(Micros at, const std::string& text) {
  if (trace_) trace_->Note(at, text);
}

void SimEngine::HostWrite(std::span<const uint8_t> bytes, Micros at) {
  if (disconnected_) return;
  const Micros byte_time = ByteTime(host_line_);
  const bool framing_error = !LinesMatch(host_line_, device_.Line());
  for (uint8_t value : bytes) {
    const Micros start = std::max(host_line_free_, at);
    host_line_free_ = start + byte_time;
    to_device_.push_back({host_line_free_, value, framing_error, start});
  }
}

void SimEngine::DeliverNext() {
  Timed byte = to_device_.front();
  to_device_.pop_front();
  const uint64_t n = ++to_device_count_;
  if (faults_.Has(FaultKind::DropToDevice, n))
    return Note(byte.at, "fault: byte " + std::to_string(n) + " to the device dropped");
  if (faults_.Has(FaultKind::CorruptToDevice, n)) byte.value = Flipped(byte.value);
  if (Refused(byte)) return;
  if (trace_) trace_->Byte(byte.at, WireDirection::ToDevice, byte.value);
  if (const auto silent = faults_.First(FaultKind::SilentAfter); silent && n >= *silent && !silent_) {
    silent_ = true;
    Note(byte.at, "fault: device silent from here on");
  }
  if (const auto cut = faults_.First(FaultKind::DisconnectAfter); cut && n >= *cut) {
    disconnected_ = true;
    to_device_.clear();
    to_host_.clear();
    return Note(byte.at, "fault: line disconnected");
  }
  Deliver(byte.value, byte.at);
}

bool SimEngine::Refused(const Timed& byte) {
  if (byte.framing_error) {
    Note(byte.at, "byte " + Hex(byte.value) + " lost: sent at another rate");
    device_.OnLostByte(byte.at);
    return true;
  }
  if (byte.at < DeafUntil()) {
    Note(byte.at, "byte " + Hex(byte.value) + " lost: the device is restarting");
    return true;
  }
  if (strict_ && byte.start + strict_slack_ < QuietUntil()) {
    ++strict_refusals_;
    Note(byte.at, "strict: byte 0x" + Hex(byte.value) + " inside a pause");
    return true;
  }
  return false;
}

void SimEngine::SetModemLines(bool dtr, bool rts, Micros at) {
  RunUntil(at);  // the device sees the lines change after the bytes that arrived before
  if (dtr == dtr_ && rts == rts_) return;
  if (dtr != dtr_) Note(at, dtr ? "DTR 1" : "DTR 0");
  if (rts != rts_) Note(at, rts ? "RTS 1" : "RTS 0");
  dtr_ = dtr;
  rts_ = rts;
  device_.OnModemLines(dtr, rts, at);
}

void SimEngine::RunUntil(Micros time) {
  while (!to_device_.empty() && to_device_.front().at <= time) DeliverNext();
}

std::optional<Micros> SimEngine::NextOutput(Micros limit) {
  for (;;) {
    const bool has_output = !to_host_.empty();
    if (!to_device_.empty() && to_device_.front().at <= limit &&
        (!has_output || to_device_.front().at <= to_host_.front().at)) {
      DeliverNext();
      continue;
    }
    if (has_output && to_host_.front().at <= limit) return to_host_.front().at;
    return std::nullopt;
  }
}

uint8_t SimEngine::PopOutput() {
  const uint8_t value = to_host_.front().value;
  to_host_.pop_front();
  return value;
}

void SimEngine::DiscardOutputBefore(Micros at) {
  while (!to_host_.empty() && to_host_.front().at <= at) to_host_.pop_front();
}

void SimEngine::Emit(uint8_t value, bool ack) {
  if (silent_ || disconnected_) return;
  const uint64_t n = ++to_host_count_;
  if (ack && faults_.Has(FaultKind::WrongAck, ++ack_count_)) {
    value = Flipped(value);
    Note(Now(), "fault: acknowledge " + std::to_string(ack_count_) + " sent as " + Hex(value));
  }
  if (faults_.Has(FaultKind::DropToHost, n))
    return Note(Now(), "fault: byte " + std::to_string(n) + " to the host dropped");
  if (faults_.Has(FaultKind::CorruptToHost, n)) value = Flipped(value);
  Schedule(value);
  if (faults_.Has(FaultKind::ExtraToHost, n)) Schedule(value);
}

void SimEngine::Schedule(uint8_t value) {
  const LineSettings line = device_.Line();
  device_line_free_ = std::max(device_line_free_, Now()) + ByteTime(line);
  if (!LinesMatch(line, host_line_)) {
    return Note(device_line_free_, "byte " + Hex(value) + " to the host lost (host listens at " +
                                       std::to_string(host_line_.baud_rate) + " baud)");
  }
  if (trace_) trace_->Byte(device_line_free_, WireDirection::ToHost, value);
  to_host_.push_back({device_line_free_, value});
}

}  // namespace quillet::sim
