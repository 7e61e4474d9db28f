#include "sim/gang_model.h"

#include "link/firmware_variant.h"
#include "sim/firmware_image.h"

namespace quillet::sim {
namespace {

constexpr std::size_t kBlockSize = 256;
constexpr std::size_t kBlocks = 16;
constexpr std::size_t kPauseAfterBlock = 7;
constexpr uint8_t kPauseMarker = 0x5A;

}  // namespace

const GangModel::Command GangModel::kCommands[] = {
    {0xC0, &GangModel::QueryType},
    {0xC1, &GangModel::QueryVersion},
    {0xC5, &GangModel::FirmwareTransfer},
};

Task<> GangModel::Run(DeviceIo& io) {
  for (;;) {
    const uint8_t command = co_await io.Byte();
    for (const Command& entry : kCommands) {
      if (entry.code == command) co_await (this->*entry.handler)(io);
    }
  }
}

Task<> GangModel::QueryType(DeviceIo& io) {
  io.Send(kGangTypeCode);
  co_return;
}

Task<> GangModel::QueryVersion(DeviceIo& io) {
  io.SendAck(kGangAck);
  const uint8_t version[] = {static_cast<uint8_t>(version_ >> 8), static_cast<uint8_t>(version_)};
  io.Send(version);
  co_return;
}

Task<> GangModel::FirmwareTransfer(DeviceIo& io) {
  io.SendAck(kGangAck);
  std::vector<uint8_t> image;
  image.reserve(kBlocks * kBlockSize);
  for (std::size_t block = 0; block < kBlocks; ++block) {
    const std::vector<uint8_t> data = co_await io.Bytes(kBlockSize);
    image.insert(image.end(), data.begin(), data.end());
    io.SendAck(kGangAck);
    if (block == kPauseAfterBlock && co_await io.Byte() != kPauseMarker) co_return;
  }
  ++transfers_;
  if (const auto identity = ReadFirmwareIdentity(image); identity && identity->type_code == kGangTypeCode) {
    version_ = identity->version;
  }
  last_image_ = std::move(image);
}

}  // namespace quillet::sim
