#include "sim/programmer_model.h"

#include <numeric>

#include "sim/firmware_image.h"

namespace quillet::sim {
namespace {

constexpr uint8_t kAck = 0xA5;
constexpr std::size_t kBlockSize = 256;

}  // namespace

const ProgrammerModel::Command ProgrammerModel::kCommands[] = {
    {0xC0, &ProgrammerModel::QueryType},
    {0xC1, &ProgrammerModel::QueryVersion},
    {0xC5, &ProgrammerModel::FirmwareTransfer},
};

Task<> ProgrammerModel::Run(DeviceIo& io) {
  for (;;) {
    const uint8_t command = co_await io.Byte();
    for (const Command& entry : kCommands) {
      if (entry.code == command) co_await (this->*entry.handler)(io);
    }
  }
}

Task<> ProgrammerModel::QueryType(DeviceIo& io) {
  io.Send(type_code_);
  co_return;
}

Task<> ProgrammerModel::QueryVersion(DeviceIo& io) {
  io.SendAck(kAck);
  const uint8_t version[] = {static_cast<uint8_t>(version_ >> 8), static_cast<uint8_t>(version_)};
  io.Send(version);
  co_return;
}

// Header: last index (2 bytes) and the sum's low 24 bits (3 bytes). Then the image in blocks of
// 256 bytes, each acknowledged; then one acknowledge per block as the Programmer checks what it
// wrote, and its own sum of what it received.
Task<> ProgrammerModel::FirmwareTransfer(DeviceIo& io) {
  io.SendAck(kAck);
  const std::vector<uint8_t> header = co_await io.Bytes(5);
  const std::size_t length = (std::size_t{header[0]} << 8 | header[1]) + 1;
  const uint32_t announced_sum = uint32_t{header[2]} << 16 | uint32_t{header[3]} << 8 | header[4];
  io.SendAck(kAck);

  std::vector<uint8_t> image;
  image.reserve(length);
  std::size_t blocks = 0;
  while (image.size() < length) {
    const std::vector<uint8_t> block = co_await io.Bytes(std::min(kBlockSize, length - image.size()));
    image.insert(image.end(), block.begin(), block.end());
    io.SendAck(kAck);
    ++blocks;
  }
  for (std::size_t i = 0; i < blocks; ++i) io.SendAck(kAck);
  const uint32_t sum = std::accumulate(image.begin(), image.end(), uint32_t{0}) & 0xFFFFFF;
  const uint8_t sum_bytes[] = {static_cast<uint8_t>(sum >> 16), static_cast<uint8_t>(sum >> 8),
                               static_cast<uint8_t>(sum)};
  io.Send(sum_bytes);

  ++transfers_;
  if (sum == announced_sum) {
    if (const auto identity = ReadFirmwareIdentity(image)) {
      type_code_ = identity->type_code;
      version_ = identity->version;
    }
  }
  last_image_ = std::move(image);
}

}  // namespace quillet::sim
