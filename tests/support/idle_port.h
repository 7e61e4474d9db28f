#pragma once
// A serial device that opens and carries nothing: a port that a scan lists and nothing answers on.
#include "core/serial/serial_device.h"

namespace quillet::test_support {

class IdlePort final : public SerialDevice {
 public:
  bool GetLineSettings(LineSettings& settings) override { return (settings = line_, true); }
  bool SetLineSettings(const LineSettings& settings) override { return (line_ = settings, true); }
  bool SetTimeouts(const SerialTimeouts&) override { return true; }
  IoResult Read(std::span<uint8_t>) override { return {}; }
  IoResult Write(std::span<const uint8_t> bytes) override { return {bytes.size(), false}; }
  bool SetDtr(bool) override { return true; }
  bool SetRts(bool) override { return true; }
  bool Drain() override { return true; }
  bool FlushInput() override { return true; }

 private:
  LineSettings line_;
};

}  // namespace quillet::test_support
