#include "core/serial/traced_device.h"

#include <cstdio>

namespace quillet {
namespace {

class TracedDevice final : public SerialDevice {
 public:
  TracedDevice(std::unique_ptr<SerialDevice> device, WireTrace& trace, const Clock& clock)
      : device_(std::move(device)), trace_(trace), clock_(clock) {}

  bool GetLineSettings(LineSettings& settings) override { return device_->GetLineSettings(settings); }

  bool SetLineSettings(const LineSettings& settings) override {
    const bool ok = device_->SetLineSettings(settings);
    trace_.Note(clock_.NowMicros(), "line " + DescribeLine(settings) + (ok ? "" : " failed"));
    return ok;
  }

  bool SetTimeouts(const SerialTimeouts& t) override {
    char text[96];
    std::snprintf(text, sizeof text, "timeouts %u/%u/%u/%u/%u", t.read_interval, t.read_multiplier,
                  t.read_constant, t.write_multiplier, t.write_constant);
    trace_.Note(clock_.NowMicros(), text);
    return device_->SetTimeouts(t);
  }

  IoResult Read(std::span<uint8_t> buffer) override {
    const IoResult result = device_->Read(buffer);
    const Micros now = clock_.NowMicros();
    for (std::size_t i = 0; i < result.count; ++i) trace_.Byte(now, WireDirection::ToHost, buffer[i]);
    if (result.count < buffer.size()) {
      trace_.Note(now, "read " + std::to_string(result.count) + " of " + std::to_string(buffer.size()) +
                           (result.failed ? ", port failed" : ", timed out"));
    }
    return result;
  }

  IoResult Write(std::span<const uint8_t> bytes) override {
    const Micros now = clock_.NowMicros();
    const IoResult result = device_->Write(bytes);
    for (std::size_t i = 0; i < result.count; ++i) trace_.Byte(now, WireDirection::ToDevice, bytes[i]);
    if (result.count < bytes.size()) {
      trace_.Note(now, "wrote " + std::to_string(result.count) + " of " + std::to_string(bytes.size()));
    }
    return result;
  }

  bool SetDtr(bool on) override {
    trace_.Note(clock_.NowMicros(), on ? "DTR 1" : "DTR 0");
    return device_->SetDtr(on);
  }

  bool SetRts(bool on) override {
    trace_.Note(clock_.NowMicros(), on ? "RTS 1" : "RTS 0");
    return device_->SetRts(on);
  }

  bool Drain() override { return device_->Drain(); }

  bool FlushInput() override {
    trace_.Note(clock_.NowMicros(), "flush input");
    return device_->FlushInput();
  }

 private:
  std::unique_ptr<SerialDevice> device_;
  WireTrace& trace_;
  const Clock& clock_;
};

}  // namespace

std::unique_ptr<SerialDevice> TraceDevice(std::unique_ptr<SerialDevice> device, WireTrace& trace,
                                          const Clock& clock) {
  return std::make_unique<TracedDevice>(std::move(device), trace, clock);
}

std::string DescribeLine(const LineSettings& line) {
  static constexpr char kParityLetters[] = "NOEMS";
  static constexpr const char* kStopBits[] = {"1", "1.5", "2"};
  const auto parity = static_cast<std::size_t>(line.parity);
  const auto stop = static_cast<std::size_t>(line.stop_bits);
  return std::to_string(line.baud_rate) + " " + std::to_string(line.data_bits) +
         (parity < 5 ? kParityLetters[parity] : '?') + (stop < 3 ? kStopBits[stop] : "?");
}

}  // namespace quillet
