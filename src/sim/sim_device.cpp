#include "sim/sim_device.h"

#include <algorithm>

namespace quillet::sim {

Task<std::vector<uint8_t>> DeviceIo::Bytes(std::size_t count) {
  std::vector<uint8_t> bytes;
  bytes.reserve(count);
  while (bytes.size() < count) bytes.push_back(co_await Byte());
  co_return bytes;
}

void DeviceIo::Deliver(uint8_t value, Micros at) {
  inbox_.push_back({value, at});
  if (const auto waiting = std::exchange(waiting_, {})) waiting.resume();
}

uint8_t DeviceIo::TakeByte() {
  const Arrival arrival = inbox_.front();
  inbox_.pop_front();
  now_ = std::max(now_, arrival.at);
  return arrival.value;
}

Task<> SilentDevice::Run(DeviceIo& io) {
  for (;;) co_await io.Byte();
}

LineSettings SilentDevice::Line() const {
  return ProgrammerLine();
}

LineSettings ProgrammerLine() {
  LineSettings line;
  line.baud_rate = 115200;
  line.binary = true;
  return line;
}

}  // namespace quillet::sim
