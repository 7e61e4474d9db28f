#include "sim/gang_model.h"

namespace quillet::sim {
namespace {

bool GangIdentity(const FirmwareIdentity& identity) {
  return identity.type_code == kGangType;
}

}  // namespace

Task<> GangModel::Command(uint8_t command, DeviceIo& io) {
  if (command == kFirmwareTransferCommand) co_await FirmwareTransfer(io);
}

Task<> GangModel::FirmwareTransfer(DeviceIo& io) {
  Acknowledge(io);
  std::vector<uint8_t> image;
  image.reserve(kGangTransferBlocks * kTransferBlockSize);
  for (std::size_t block = 0; block < kGangTransferBlocks; ++block) {
    const auto data = co_await io.BytesWithin(kTransferBlockSize, timing().stall);
    if (!data) co_return Abandon(io);
    image.insert(image.end(), data->begin(), data->end());
    Acknowledge(io);
    if (block != kGangMarkerAfterBlock) continue;
    const std::optional<uint8_t> marker = co_await io.ByteWithin(timing().stall);
    if (!marker) co_return Abandon(io);
    io.RequireQuiet(kGangMarkerPause);
    if (*marker != kGangTransferMarker) {  // the rest, unacknowledged and unused
      co_await io.BytesWithin((kGangTransferBlocks - block - 1) * kTransferBlockSize, timing().stall);
      co_return;
    }
  }
  io.RequireQuiet(kTransferEndPause);
  Completed(io, std::move(image), true, GangIdentity);
}

}  // namespace quillet::sim
