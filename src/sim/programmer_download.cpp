// The storage download (0xC2), the Programmer's side: two acknowledges; the 52-byte header, one
// byte a write with 1 ms after each, acknowledged; the 16-byte part-name block and the three
// 64-byte stored names, each acknowledged after the host's 1 ms; the storage clear, acknowledged
// when done. Then each area the item flags select, APROM, DataFlash, LDROM: a ready acknowledge,
// 256-byte blocks (the last one short) each acknowledged, one acknowledge per block as the stored
// copy is read back, the 32-bit sum of the stored bytes (most significant first), and the host's
// verdict: 0x00 goes on, 0xFF ends the download. The storage holds a download only when every
// selected area was taken; a host silent for the stall time leaves it incomplete.
#include <numeric>

#include "sim/programmer_model.h"

namespace quillet::sim {

Task<> ProgrammerModel::StorageDownload(DeviceIo& io) {
  storage_.complete = false;
  Acknowledge(io);
  Acknowledge(io);
  for (uint8_t& byte : storage_.header) {
    const std::optional<uint8_t> got = co_await io.ByteWithin(timing().stall);
    if (!got) co_return Abandon(io);
    byte = *got;
    io.RequireQuiet(kPacedBytePause);
  }
  Acknowledge(io);
  const auto part_name = co_await io.BytesWithin(kPartNameBlockSize, timing().stall);
  if (!part_name) co_return Abandon(io);
  std::copy(part_name->begin(), part_name->end(), storage_.part_name.begin());
  io.RequireQuiet(kPacedBytePause);
  Acknowledge(io);
  for (auto& name : storage_.names) {
    const auto got = co_await io.BytesWithin(kStoredNameSize, timing().stall);
    if (!got) co_return Abandon(io);
    std::copy(got->begin(), got->end(), name.begin());
    io.RequireQuiet(kPacedBytePause);
    Acknowledge(io);
  }
  storage_.Clear();
  Changed();
  io.Busy(kStorageClearTime);
  Acknowledge(io);
  for (Area area : kAreas) {
    if (!storage_.Selected(area)) continue;
    const bool taken = co_await AreaDownload(area, io);
    if (!taken) co_return Changed();
  }
  storage_.Complete();
  Changed();
}

Task<bool> ProgrammerModel::AreaDownload(Area area, DeviceIo& io) {
  const std::size_t size = storage_.AreaSize(area);
  Acknowledge(io);
  std::vector<uint8_t>& image = storage_.image(area);
  image.reserve(size);
  while (image.size() < size) {
    const auto block =
        co_await io.BytesWithin(std::min(kStorageBlockSize, size - image.size()), timing().stall);
    if (!block) {
      Abandon(io);
      co_return false;
    }
    image.insert(image.end(), block->begin(), block->end());
    Acknowledge(io);
  }
  for (std::size_t i = 0; i < BlockCount(size); ++i) Acknowledge(io);
  uint32_t sum = std::accumulate(image.begin(), image.end(), uint32_t{0});
  if (faults_->Next(FaultKind::SumError)) sum += 0x01000000;
  const uint8_t sum_bytes[] = {static_cast<uint8_t>(sum >> 24), static_cast<uint8_t>(sum >> 16),
                               static_cast<uint8_t>(sum >> 8), static_cast<uint8_t>(sum)};
  io.Busy(timing().answer);
  io.Send(sum_bytes);
  const std::optional<uint8_t> verdict = co_await Reply(io);
  co_return verdict == kGoOnByte;
}

}  // namespace quillet::sim
