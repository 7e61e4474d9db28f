#include "sim/gang_model.h"

namespace quillet::sim {
namespace {

constexpr uint8_t kFirmwareTransfer = 0xC5;
constexpr std::size_t kBlockSize = 256;
constexpr std::size_t kBlocks = 16;
constexpr std::size_t kPauseAfterBlock = 7;
constexpr uint8_t kPauseMarker = 0x5A;

bool GangIdentity(const FirmwareIdentity& identity) {
  return identity.type_code == kGangTypeCode;
}

}  // namespace

Task<> GangModel::Command(uint8_t command, DeviceIo& io) {
  if (command == kFirmwareTransfer) co_await FirmwareTransfer(io);
}

Task<> GangModel::FirmwareTransfer(DeviceIo& io) {
  io.SendAck(ack());
  std::vector<uint8_t> image;
  image.reserve(kBlocks * kBlockSize);
  for (std::size_t block = 0; block < kBlocks; ++block) {
    const std::vector<uint8_t> data = co_await io.Bytes(kBlockSize);
    image.insert(image.end(), data.begin(), data.end());
    io.SendAck(ack());
    if (block == kPauseAfterBlock && co_await io.Byte() != kPauseMarker) {
      co_await io.Bytes((kBlocks - block - 1) * kBlockSize);  // the rest, unacknowledged and unused
      co_return;
    }
  }
  Completed(std::move(image), true, GangIdentity);
}

}  // namespace quillet::sim
