#include "sim/gang_model.h"

namespace quillet::sim {
namespace {

bool GangIdentity(const FirmwareIdentity& identity) {
  return identity.type_code == kGangType;
}

}  // namespace

GangModel::GangModel(uint16_t version, uint8_t socket_type, uint16_t socket_version)
    : ControllerModel(kGangType, version, kGangAckByte) {
  for (auto& socket : sockets_) {
    socket = std::make_unique<ProgrammerModel>(socket_type, socket_version);
    socket->SetFaults(faults_);
  }
}

void GangModel::SetFeeder(ChipFeeder& feeder) {
  for (int n = 1; n <= kGangSockets; ++n) socket(n).SetFeeder(feeder, static_cast<uint8_t>(n));
}

void GangModel::SetFaults(std::shared_ptr<DeviceFaults> faults) {
  faults_ = std::move(faults);
  for (auto& socket : sockets_) socket->SetFaults(faults_);
}

Task<> GangModel::Command(uint8_t command, DeviceIo& io) {
  if (command == kFirmwareTransferCommand) co_await FirmwareTransfer(io);
  if (command == kGangDownloadCommand) co_await GangDownload(io);
  if (command == kGangStorageQueryCommand) StorageQuery(io);
  if (command >= kGangSocketCommandFirst && command <= kGangSocketCommandLast)
    co_await SocketRouting(command - kGangSocketCommandFirst + 1, io);
  if (command == kGangInformationCommand) co_await InformationRouting(io);
  if (command == kSnSettingsCommand) co_await SnRouting(io);
  if (command == kStorageReportCommand) ProgramAll(io);
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
