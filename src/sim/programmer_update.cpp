// The storage report (0xC3) and the chip programming it leads into, the Programmer's side. After
// the acknowledge: a storage without a complete download, or with no uses left, sends only its
// status byte 0xFF (the host downloads again and sends no reply); otherwise the whole report, and
// the host's reply: 0xFF stops, 0x00 programs the seated chip and reports the phases.
//
// ICP: a status byte (0 normal, 1 the chip was locked and erased whole, 2 device-ID error), then
// the host's 0x00; after a device-ID error nothing more. Per selected area (APROM, DataFlash,
// LDROM) two zero bytes per 256-byte block, the program and the verify step; a failing area sends
// its program steps and then a non-zero byte in place of the first verify step, and ends. Then,
// when CONFIG is selected, its result byte.
//
// ISP: when CONFIG is selected, 0xFF when the new CONFIG drops code protection (then the host's
// 0x00 and an erase count for the whole APROM) or 0x00, then the CONFIG result. APROM: an erase
// count when item flag bit 6 asks for a separate erase, two acknowledges per block, the result.
// DataFlash: 0 when the chip's DataFlash is enabled (else 1, and the end), an erase count, two
// acknowledges per block, the result. LDROM is not programmed this way. An erase count is one
// byte n (0 for 256) and n acknowledges, one per 512-byte page.
#include <algorithm>

#include "sim/programmer_model.h"

namespace quillet::sim {
namespace {

constexpr std::size_t kReportPartCodeLow = 1;

uint8_t Result(bool ok) {
  return ok ? 0 : kAreaFailed;
}

}  // namespace

Task<> ProgrammerModel::StorageReport(DeviceIo& io) {
  Acknowledge(io);
  std::vector<uint8_t> report = storage_.Report(version());
  io.Busy(timing().answer);
  if (report.front() != 0) co_return io.Send(report.front());
  if (faults_->Next(FaultKind::BadReport)) report[kReportPartCodeLow] ^= 0x01;
  io.Send(report);
  const std::optional<uint8_t> reply = co_await Reply(io);
  if (reply != kGoOnByte) co_return;
  const ProgramOutcome outcome = ProgramNow();
  if (storage_.Icp()) {
    co_await IcpPhase(outcome, io);
  } else {
    co_await IspPhase(outcome, io);
  }
}

Task<> ProgrammerModel::IcpPhase(const ProgramOutcome& outcome, DeviceIo& io) {
  const uint8_t status = !outcome.usable      ? kIcpStatusDeviceIdError
                         : outcome.was_locked ? kIcpStatusErasedLocked
                                              : kIcpStatusNormal;
  io.Busy(timing().answer);
  io.Send(status);
  const std::optional<uint8_t> reply = co_await Reply(io);
  if (!reply || status == kIcpStatusDeviceIdError) co_return;
  for (Area area : kAreas) {
    if (!storage_.Selected(area)) continue;
    const bool ok = outcome.area_ok[static_cast<std::size_t>(area)];
    const std::size_t blocks = BlockCount(storage_.image(area).size());
    for (std::size_t i = 0; i < (ok ? 2 * blocks : blocks); ++i) {
      io.Busy(timing().answer);
      io.Send(uint8_t{0});
    }
    if (!ok) co_return io.Send(kAreaFailed);
  }
  if (storage_.ConfigSelected()) {
    io.Busy(timing().answer);
    io.Send(Result(outcome.config_ok));
  }
}

Task<> ProgrammerModel::IspPhase(const ProgramOutcome& outcome, DeviceIo& io) {
  if (storage_.ConfigSelected()) {
    io.Busy(timing().answer);
    io.Send(outcome.unprotected ? kCodeProtectionDropped : uint8_t{0});
    if (outcome.unprotected) {
      // The host answers once its operator has acknowledged a warning: no time limit.
      const std::optional<uint8_t> reply = co_await Reply(io, Micros(0));
      if (!reply) co_return;
      EraseCount(storage_.image(Area::Aprom).size(), io);
    }
    io.Busy(timing().answer);
    io.Send(Result(outcome.config_ok));
    if (!outcome.config_ok) co_return;
  }
  if (storage_.Selected(Area::Aprom)) {
    if (storage_.item_flags() & kItemSeparateErase) EraseCount(storage_.image(Area::Aprom).size(), io);
    if (!AreaSteps(Area::Aprom, outcome.area_ok[0], io)) co_return;
  }
  if (storage_.Selected(Area::DataFlash)) {
    io.Busy(timing().answer);
    io.Send(Result(outcome.dataflash_enabled));
    if (!outcome.dataflash_enabled) co_return;
    EraseCount(storage_.image(Area::DataFlash).size(), io);
    AreaSteps(Area::DataFlash, outcome.area_ok[1], io);
  }
}

bool ProgrammerModel::AreaSteps(Area area, bool ok, DeviceIo& io) {
  for (std::size_t i = 0; i < 2 * BlockCount(storage_.image(area).size()); ++i) Acknowledge(io);
  io.Busy(timing().answer);
  io.Send(Result(ok));
  return ok;
}

void ProgrammerModel::EraseCount(std::size_t size, DeviceIo& io) {
  const std::size_t pages = std::clamp<std::size_t>((size + kErasePageSize - 1) / kErasePageSize, 1, 256);
  io.Busy(timing().answer);
  io.Send(static_cast<uint8_t>(pages));
  for (std::size_t i = 0; i < pages; ++i) Acknowledge(io);
}

}  // namespace quillet::sim
