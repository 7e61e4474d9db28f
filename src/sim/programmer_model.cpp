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
  if (command == kSnSettingsCommand) co_await SnSettings(io);
  if (command == kStorageDownloadCommand) co_await StorageDownload(io);
  if (command == kStorageReportCommand) co_await StorageReport(io);
  if (command == kInformationCommand) Information(io);
  if (command == kVerifyCommand) co_await Verify(io);
  if (command == kReadCommand) co_await Read(io);
  if (command == kTrimReadCommand) co_await TrimRead(io);
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

// The 19-byte block, one byte a write with 1 ms after each. It is kept until the next chip is
// programmed, which takes its S/N value (ICP).
Task<> ProgrammerModel::SnSettings(DeviceIo& io) {
  Acknowledge(io);
  SnBlock block{};
  for (uint8_t& byte : block) {
    const std::optional<uint8_t> got = co_await io.ByteWithin(timing().stall);
    if (!got) co_return Abandon(io);
    byte = *got;
    io.RequireQuiet(kPacedBytePause);
  }
  storage_.sn = block;
  Changed();
}

Task<std::optional<uint8_t>> ProgrammerModel::Reply(DeviceIo& io, std::optional<Micros> within) {
  const std::optional<uint8_t> reply = co_await io.ByteWithin(within.value_or(timing().stall));
  if (reply) io.RequireQuiet(kPacedBytePause);
  co_return reply;
}

ProgramOutcome ProgrammerModel::ProgramNow() {
  Chip* chip = feeder_->Seat(socket_);
  const ProgramOutcome outcome = ProgramChip(storage_, chip);
  if (chip) feeder_->Done(socket_, outcome.passed, outcome.sn);
  if (outcome.usable && !storage_.VerifyOnly()) storage_.SpendUse();
  if (!outcome.sn.empty()) storage_.sn.reset();
  Changed();
  return outcome;
}

bool ProgrammerModel::ProgramSeatedChip(Micros& time) {
  time = Micros(0);
  if (storage_.Status() != 0) return false;
  const ProgramOutcome outcome = ProgramNow();
  time = timing().answer * static_cast<long>(2 * outcome.blocks);
  return outcome.passed;
}

void ProgrammerModel::Changed() {
  if (!storage_file_.empty()) storage_.Save(storage_file_);
}

}  // namespace quillet::sim
