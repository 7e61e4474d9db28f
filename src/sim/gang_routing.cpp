// The Gang Programmer's routing commands and its own programming of the four chips.
#include <algorithm>

#include "sim/gang_model.h"

namespace quillet::sim {
namespace {

constexpr uint8_t kDownloadEnds[] = {kStorageDownloadCommand};
constexpr uint8_t kSnEnds[] = {kSnSettingsCommand};
constexpr uint8_t kSocketExchanges[] = {kStorageReportCommand, kInformationCommand, kVerifyCommand,
                                        kReadCommand, kTrimReadCommand};
constexpr uint8_t kInformationEnds[] = {kInformationCommand};

}  // namespace

Task<bool> GangModel::Route(int n, bool first, std::span<const uint8_t> ends, Micros silence, DeviceIo& io) {
  io.Busy(first ? sync_delay_ : timing().answer);
  if (faults_->Next(FaultKind::WrongSync)) {
    // The host stops at a wrong sync byte; the gang, which sent it garbled, takes commands again.
    io.Send(static_cast<uint8_t>(n + 0x10));
    co_return false;
  }
  io.Send(static_cast<uint8_t>(n));
  Micros wait = silence;
  for (;;) {
    const std::optional<uint8_t> served = co_await socket(n).ServeOne(io, wait);
    if (!served) {
      io.Note("routing to socket " + std::to_string(n) + " ended: the host fell silent");
      co_return false;
    }
    if (std::find(ends.begin(), ends.end(), *served) != ends.end()) co_return true;
    // After a firmware transfer the socket's Programmer restarts while the host waits for it: that
    // wait is not silence, and the routing stays for the search that follows.
    wait = *served == kFirmwareTransferCommand ? silence + kTransferEndPause : silence;
  }
}

// 0xCA: the gang header (from firmware 0x0119 on), then the four sockets' downloads.
Task<> GangModel::GangDownload(DeviceIo& io) {
  Acknowledge(io);
  if (version() >= kGangHeaderFrom) {
    const bool header = co_await GangHeader(io);
    if (!header) co_return Abandon(io);
  }
  for (int n = 1; n <= kGangSockets; ++n) {
    const bool routed = co_await Route(n, n == 1, kDownloadEnds, timing().stall, io);
    if (!routed) co_return;
  }
}

// Ten fixed bytes, then the part name up to and including its zero byte, at most 64 bytes; one
// byte a write with 1 ms after each.
Task<bool> GangModel::GangHeader(DeviceIo& io) {
  std::vector<uint8_t> header;
  while (header.size() < kGangHeaderFixedSize + kGangNameMax) {
    const std::optional<uint8_t> byte = co_await io.ByteWithin(timing().stall);
    if (!byte) co_return false;
    io.RequireQuiet(kPacedBytePause);
    header.push_back(*byte);
    if (header.size() > kGangHeaderFixedSize && *byte == 0) break;
  }
  gang_header_ = std::move(header);
  co_return true;
}

// 0xD1: whether every socket's storage reports status 0 (a complete download, uses left), so that
// the host, which reads socket 1's whole report after 0xCC, meets no short one there.
void GangModel::StorageQuery(DeviceIo& io) {
  Acknowledge(io);
  bool current = true;
  for (auto& socket : sockets_) current = current && socket->storage().Status() == 0;
  io.Busy(timing().answer);
  io.Send(current ? kGangStorageCurrent : kGangStorageOutOfDate);
}

// 0xCC..0xCF: socket n alone, for one exchange with its Programmer (socket 1's report, before an
// update, or Verify Chip, Read Chip, TRIM read on the chosen socket).
Task<> GangModel::SocketRouting(int n, DeviceIo& io) {
  Acknowledge(io);
  co_await Route(n, true, kSocketExchanges, kRoutingSilence, io);
}

bool GangModel::Downloaded() const {
  bool complete = true;
  for (const auto& socket : sockets_) complete = complete && socket->storage().complete;
  return complete;
}

// 0xCB: socket 1's information.
Task<> GangModel::InformationRouting(DeviceIo& io) {
  Acknowledge(io);
  if (version() >= kGangInformationStatusFrom) {
    io.Busy(timing().answer);
    const bool downloaded = Downloaded();
    io.Send(downloaded ? uint8_t{0x00} : kInfoNotDownloaded);
    if (!downloaded) co_return;
  }
  co_await Route(1, true, kInformationEnds, kRoutingSilence, io);
}

// 0xD2: each socket in turn takes its S/N block.
Task<> GangModel::SnRouting(DeviceIo& io) {
  Acknowledge(io);
  for (int n = 1; n <= kGangSockets; ++n) {
    const bool routed = co_await Route(n, n == 1, kSnEnds, timing().stall, io);
    if (!routed) co_return;
  }
}

// 0xC3: the four sockets program (or verify) their chips together; the result byte follows when
// the slowest is done.
void GangModel::ProgramAll(DeviceIo& io) {
  Acknowledge(io);
  uint8_t result = 0;
  Micros slowest{0};
  for (int n = 1; n <= kGangSockets; ++n) {
    Micros time{0};
    if (socket(n).ProgramSeatedChip(time)) result = static_cast<uint8_t>(result | GangPassBit(n));
    slowest = std::max(slowest, time);
  }
  io.Busy(kGangProgramBaseTime + slowest);
  if (result_override_) {
    if (!result_) return io.Note("gang result withheld");
    result = *result_;
  }
  io.Send(result);
}

}  // namespace quillet::sim
