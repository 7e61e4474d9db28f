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
  io.SendAck(ack());
  std::vector<uint8_t> image;
  image.reserve(kGangTransferBlocks * kTransferBlockSize);
  for (std::size_t block = 0; block < kGangTransferBlocks; ++block) {
    const std::vector<uint8_t> data = co_await io.Bytes(kTransferBlockSize);
    image.insert(image.end(), data.begin(), data.end());
    io.SendAck(ack());
    if (block == kGangMarkerAfterBlock && co_await io.Byte() != kGangTransferMarker) {
      co_await io.Bytes((kGangTransferBlocks - block - 1) *
                        kTransferBlockSize);  // the rest, unacknowledged and unused
      co_return;
    }
  }
  Completed(std::move(image), true, GangIdentity);
}

}  // namespace quillet::sim
