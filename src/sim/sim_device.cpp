#include "sim/sim_device.h"

#include <algorithm>

namespace quillet::sim {

Task<std::vector<uint8_t>> DeviceIo::Bytes(std::size_t count) {
  std::vector<uint8_t> bytes;
  bytes.reserve(count);
  while (bytes.size() < count) bytes.push_back(co_await Byte());
  co_return bytes;
}

Task<std::optional<std::vector<uint8_t>>> DeviceIo::BytesWithin(std::size_t count, Micros timeout) {
  std::vector<uint8_t> bytes;
  bytes.reserve(count);
  while (bytes.size() < count) {
    const std::optional<uint8_t> byte = co_await ByteWithin(timeout);
    if (!byte) co_return std::nullopt;
    bytes.push_back(*byte);
  }
  co_return bytes;
}

std::optional<uint8_t> DeviceIo::TimedByteAwaiter::await_resume() {
  if (timeout_ != Micros(0) && io_.inbox_.front().at > since_ + timeout_) {
    io_.now_ = std::max(io_.now_, since_ + timeout_);
    return std::nullopt;
  }
  return io_.TakeByte();
}

void DeviceIo::Deliver(uint8_t value, Micros at) {
  inbox_.push_back({value, at});
  if (const auto waiting = std::exchange(waiting_, {})) waiting.resume();
}

uint8_t DeviceIo::TakeByte() {
  const Arrival arrival = inbox_.front();
  inbox_.pop_front();
  now_ = std::max(now_, arrival.at);
  last_arrival_ = arrival.at;
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
