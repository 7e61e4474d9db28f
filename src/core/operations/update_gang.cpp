// Update Chips with a Gang Programmer: the storage of socket #1's Programmer is checked against the
// job (a difference asks for Download Programmer), serial numbers are handed to the four sockets,
// and the Gang Programmer programs them together and answers with one result byte.
#include <array>
#include <cstdio>
#include <optional>

#include "core/images/size_checks.h"
#include "core/operations/chip_operations.h"
#include "core/operations/programmer_steps.h"
#include "core/programmer/programmer_commands.h"

namespace quillet {
namespace {

constexpr char kDownloadFirst[] =
    "Please click 'Download Programmer' to update the programming data saved in the programmer !";
constexpr int kResultPolls = 200;
constexpr uint8_t kAllPassed = 0x3C;  // bit 2 + n - 1: socket #n passed

using SocketSns = std::array<std::optional<SplitDecimal>, 4>;

bool SocketPassed(uint8_t result, int socket) {
  return result & (1u << (socket + 1));
}

UpdateOutcome Warn(Workbench& bench, const char* message) {
  bench.reporter().ShowWarning(message);
  bench.link().LastResult = 0;
  return UpdateOutcome::Stopped;
}

// 0xD2 to the Gang Programmer, then each socket's Programmer gets its S/N after its sync byte.
int HandOutSerialNumbers(Workbench& bench, SocketSns& sns) {
  if (!SendCommandAck(bench, kSerialNumberSettings, true)) return 0;
  if (!SetPortTimeouts(bench, kFirstSyncMs) || !ExpectSync(bench, 1)) return 0;
  if (!SetPortTimeouts(bench, kStandardReadMs)) return 0;
  for (uint8_t socket = 1; socket <= 4; ++socket) {
    if (socket > 1 && !ExpectSync(bench, socket)) return 0;
    if (!SendSnSettings(bench)) return 0;
    sns[socket - 1] = bench.job().SnValue;
    StepSerialNumber(bench.job());
  }
  return 1;
}

std::string PassText(const JobSettings& job, const SocketSns& sns) {
  if (job.GangVerifyOnly) return "All chips are successfully verified !";
  std::string text = "All chips are successfully programmed !";
  if (!sns[0]) return text;
  text += "\n";
  for (int n = 0; n < 4; ++n) {
    char line[96];
    std::snprintf(line, sizeof line, "\n( #%d's S/N='%08u,%08u' at address 0x%X )", n + 1, sns[n]->high,
                  sns[n]->low, job.SnAddress);
    text += line;
  }
  return text;
}

std::string FailText(uint8_t result) {
  std::string text = "Failed chips:  ";
  for (int n = 1; n <= 4; ++n) {
    if (!SocketPassed(result, n)) text += "#" + std::to_string(n) + "  ";
  }
  return text;
}

int Finish(Workbench& bench, const SocketSns& sns, uint8_t result_bits, std::optional<ChipResult> all,
           const std::string& message) {
  std::array<ChipOutcome, 4> chips;
  for (int n = 1; n <= 4; ++n) {
    // A failed socket's S/N is used up when another socket passed (the S/N moved on past it);
    // when none passed the four come back and the failed chips' S/Ns are handed out again.
    const bool others_passed = (result_bits & kAllPassed) != 0;
    const ChipResult result = all                            ? *all
                              : SocketPassed(result_bits, n) ? ChipResult::Passed
                              : others_passed && sns[n - 1]  ? ChipResult::Skipped
                                                             : ChipResult::Failed;
    chips[n - 1] = {static_cast<uint8_t>(n), sns[n - 1], result, message};
  }
  const JobSettings& job = bench.job();
  return bench.recorder().ChipsFinished(chips, {job.SnValue, job.ChipCounter});
}

// The result byte: all passed, or the failed sockets listed; the counter moves by the passed
// count, and serial numbers come back only when no socket passed.
UpdateOutcome Conclude(Workbench& bench, const SocketSns& sns, uint8_t result) {
  JobSettings& job = bench.job();
  int passed = 0;
  for (int n = 1; n <= 4; ++n) passed += SocketPassed(result, n);
  StepChipCounter(job, static_cast<uint32_t>(passed));
  if (passed == 4) {
    const std::string text = PassText(job, sns);
    // No PASS that the settings file does not hold.
    if (!Finish(bench, sns, result, std::nullopt, text)) return UpdateOutcome::Stopped;
    bench.reporter().ShowPass(text);
  } else {
    if (passed == 0 && sns[0]) {
      for (int i = 0; i < 4; ++i) UnstepSerialNumber(job);
    }
    const std::string text = FailText(result);
    Finish(bench, sns, result, std::nullopt, text);
    bench.reporter().ShowFail(text);
  }
  if (job.ChipCounterEnabled) bench.display().ShowChipCounter(job.ChipCounter);
  bench.display().ShowSerialNumber(job.SnValue.high, job.SnValue.low);
  return passed == 4 ? UpdateOutcome::Passed : UpdateOutcome::ChipFailed;
}

}  // namespace

UpdateOutcome UpdateGangChips(Workbench& bench) {
  ProgrammerLink& link = bench.link();
  JobSettings& job = bench.job();
  Reporter& reporter = bench.reporter();
  const PartRow& part = bench.catalogue().Row(job.PartCode);
  if (job.SnProgrammingEnabled && !CheckSnAddress(part, job, bench.images(), reporter))
    return UpdateOutcome::Stopped;
  if (!link.SearchGangProgrammer() || !link.QueryGangVersion()) return UpdateOutcome::Stopped;
  if (link.ProgrammerFirmwareVersion != kExpectedFirmwareVersion) return Warn(bench, kDownloadFirst);

  uint8_t stored = 0;
  if (!SendCommandAck(bench, kGangStorageQuery, true) || !link.ReceiveByte(stored))
    return UpdateOutcome::Stopped;
  if (stored == 0xFF) return Warn(bench, kDownloadFirst);
  if (!SendCommandAck(bench, kGangSocketFirst, true)) return UpdateOutcome::Stopped;
  if (!SetPortTimeouts(bench, kFirstSyncMs) || !ExpectSync(bench, 1)) return UpdateOutcome::Stopped;
  if (!SetPortTimeouts(bench, kStandardReadMs)) return UpdateOutcome::Stopped;

  link.InfoOnlySearch = true;
  const int found = link.SearchProgrammer();
  link.InfoOnlySearch = false;
  if (!found) return UpdateOutcome::Stopped;
  ReportVerdict verdict = ReportVerdict::Matches;
  if (!SendCommandAck(bench, kStorageReport) || !ReadStorageReport(bench, true, verdict))
    return UpdateOutcome::Stopped;
  if (!SendPaced(bench, 0xFF)) return UpdateOutcome::Stopped;
  if (verdict != ReportVerdict::Matches) return Warn(bench, kDownloadFirst);

  SocketSns sns;
  if (job.Type() == kTypeIcp && job.SnProgrammingEnabled && !job.GangVerifyOnly &&
      !HandOutSerialNumbers(bench, sns))
    return UpdateOutcome::Stopped;

  std::array<ChipStart, 4> chips;
  for (uint8_t n = 1; n <= 4; ++n) chips[n - 1] = {n, sns[n - 1]};
  if (!bench.recorder().ChipsStarting(chips, {job.SnValue, job.ChipCounter})) {
    // No chip started: the S/Ns handed to the sockets' Programmers are not on any chip.
    if (sns[0]) {
      for (int i = 0; i < 4; ++i) UnstepSerialNumber(job);
    }
    return UpdateOutcome::Stopped;
  }

  if (!SendCommandAck(bench, kStorageReport, true)) {
    Finish(bench, sns, 0, ChipResult::Skipped, reporter.ResultMessage());
    return UpdateOutcome::Stopped;
  }
  reporter.BeginPhase(job.GangVerifyOnly ? "Verify the chips in #1~#4 sockets..."
                                         : "Program and verify the chips in #1~#4 sockets...",
                      1);
  bool answered = false;
  if (SetPortTimeouts(bench, kGangPollMs)) {
    for (int poll = 0; poll < kResultPolls && !answered; ++poll) {
      answered = link.ReceiveByteQuiet();
      if (!answered) reporter.StepIt();
    }
  }
  const uint8_t result = link.LastReceivedByte;
  reporter.ResetStatus();
  SetPortTimeouts(bench, kStandardReadMs);
  if (!answered) {
    Finish(bench, sns, 0, ChipResult::Skipped, "Timeout !");
    return Warn(bench, "Timeout !");
  }
  return Conclude(bench, sns, result);
}

}  // namespace quillet
