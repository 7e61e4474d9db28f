#include "core/operations/programmer_steps.h"

#include <array>

#include "core/operations/download_header.h"
#include "core/operations/storage_report.h"
#include "core/programmer/programmer_commands.h"

namespace quillet {

std::string SocketText(const std::string& plain, uint8_t socket) {
  if (socket < 1 || socket > 4 || !plain.ends_with("...")) return plain;
  return plain.substr(0, plain.size() - 3) + " <" + std::to_string(socket) + " of 4>...";
}

int SetPortTimeouts(Workbench& bench, uint32_t ms) {
  const int result = bench.port().SetTimeouts(ms, 1, ms, 1, ms);
  return result ? (bench.link().LastResult = 1) : FailStep(bench, "Send data error !");
}

int SendPaced(Workbench& bench, uint8_t byte) {
  if (!bench.link().SendCommand(byte)) return 0;
  bench.port().Drain();
  bench.clock().Sleep(Millis(1));
  return 1;
}

int SendPacedBytes(Workbench& bench, std::span<const uint8_t> bytes) {
  for (uint8_t byte : bytes) {
    if (!SendPaced(bench, byte)) return 0;
  }
  return 1;
}

int SendCommandAck(Workbench& bench, uint8_t command, bool gang) {
  if (!SendPaced(bench, command)) return 0;
  return gang ? bench.link().ExpectGangAck() : bench.link().ExpectAck();
}

int FailStep(Workbench& bench, const std::string& message) {
  bench.reporter().ShowFail(message);
  return bench.link().LastResult = 0;
}

std::array<uint8_t, 7> IcpPartPreamble(uint32_t part_code, const PartRow& part) {
  return {static_cast<uint8_t>(part_code),
          static_cast<uint8_t>(part_code >> 8),
          part.PartParam3,
          part.PartParam4,
          static_cast<uint8_t>(part.PartParam5 >> 8),
          static_cast<uint8_t>(part.PartParam5),
          part.PartParam7};
}

int ReceiveChipStatus(Workbench& bench, const PartRow& part) {
  uint8_t status = 0;
  if (!bench.link().ReceiveByte(status)) return 0;
  if (status == 0) return SendPaced(bench, 0x00);
  if (status == 1) {
    const bool strict = part.IsCortexM0 || part.FamilyFlagB;
    bench.reporter().ShowWarning(strict || part.FamilyFlagC
                                     ? "Chip was locked !"
                                     : "Chip was previously locked !\n\nAPROM and CONFIG will be read 0xFF.\n"
                                       "DataFlash will also be read 0xFF unless it was not locked.");
    if (!SendPaced(bench, 0x00)) return 0;
    return strict ? (bench.link().LastResult = 0) : 1;
  }
  if (status == 2) {
    FailStep(bench, "Device ID error !\nPlease select the correct Part No.");
    SendPaced(bench, 0x00);
    return bench.link().LastResult = 0;
  }
  return 1;  // any other status: the Programmer goes on without a reply
}

int ExpectSync(Workbench& bench, uint8_t expected) {
  uint8_t sync = 0;
  if (!bench.link().ReceiveByte(sync)) return 0;
  if (sync != expected) return FailStep(bench, "Sync #" + std::to_string(expected) + " error !");
  return 1;
}

int SendSnSettings(Workbench& bench) {
  if (!SendCommandAck(bench, kSerialNumberSettings)) return 0;
  const auto block = BuildSnBlock(bench.job());
  return SendPacedBytes(bench, block);
}

int ReadStorageReport(Workbench& bench, bool gang, ReportVerdict& verdict) {
  ProgrammerLink& link = bench.link();
  JobSettings& job = bench.job();
  job.BuildItemFlags();
  const auto fields = ExpectedStorageReport(job, bench.images(), !link.Flags.FwBelow0501, gang);
  std::array<uint8_t, kStoredNameSize> buffer{};
  verdict = ReportVerdict::Matches;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::span<uint8_t> got(buffer.data(), fields[i].size);
    if (!link.ReceiveBlock(got)) return 0;
    if (FieldMatches(fields[i], got)) continue;
    if (i == 0) {
      verdict = ReportVerdict::Empty;
      return 1;
    }
    verdict = ReportVerdict::Differs;
  }
  return 1;
}

}  // namespace quillet
