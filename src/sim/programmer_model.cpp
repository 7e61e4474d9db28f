#include "sim/programmer_model.h"

#include <algorithm>
#include <numeric>

#include "sim/device_tables.h"

namespace quillet::sim {
namespace {

bool AnyIdentity(const FirmwareIdentity&) {
  return true;
}

}  // namespace

Task<> ProgrammerModel::Command(uint8_t command, DeviceIo& io) {
  if (command == kFirmwareTransferCommand) co_await FirmwareTransfer(io);
}

// Header: last index (2 bytes) and the sum's low 24 bits (3 bytes), paced by the host. Then the
// image in blocks of 256 bytes, each acknowledged; then one acknowledge per block as the
// Programmer checks what it wrote, and its own sum of what it received. A host that falls silent
// for the stall time leaves the transfer unfinished and the firmware as it was.
Task<> ProgrammerModel::FirmwareTransfer(DeviceIo& io) {
  Acknowledge(io);
  std::vector<uint8_t> header;
  for (const Micros pause : kHeaderPauses) {
    const std::optional<uint8_t> byte = co_await io.ByteWithin(timing().stall);
    if (!byte) co_return Abandon(io);
    header.push_back(*byte);
    io.RequireQuiet(pause);
  }
  const std::size_t length = (std::size_t{header[0]} << 8 | header[1]) + 1;
  const uint32_t announced_sum = uint32_t{header[2]} << 16 | uint32_t{header[3]} << 8 | header[4];
  Acknowledge(io);

  std::vector<uint8_t> image;
  image.reserve(length);
  std::size_t blocks = 0;
  while (image.size() < length) {
    const auto block =
        co_await io.BytesWithin(std::min(kTransferBlockSize, length - image.size()), timing().stall);
    if (!block) co_return Abandon(io);
    image.insert(image.end(), block->begin(), block->end());
    Acknowledge(io);
    ++blocks;
  }
  io.RequireQuiet(kTransferEndPause);
  for (std::size_t i = 0; i < blocks; ++i) Acknowledge(io);
  const uint32_t sum = std::accumulate(image.begin(), image.end(), uint32_t{0}) & 0xFFFFFF;
  const uint8_t sum_bytes[] = {static_cast<uint8_t>(sum >> 16), static_cast<uint8_t>(sum >> 8),
                               static_cast<uint8_t>(sum)};
  io.Busy(timing().answer);
  io.Send(sum_bytes);
  Completed(io, std::move(image), sum == announced_sum, AnyIdentity);
}

}  // namespace quillet::sim
