// Update Chip with ISP by COM Port: one chip per press, or chip after chip in production mode.
#include "core/operations/comisp_update.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "core/comisp/comisp_link.h"
#include "core/storage/packed_bcd.h"

namespace quillet {
namespace {

constexpr char kNoAprom[] = "Please load an APROM file first !";
// One part's single updates explain an area failure at length.
constexpr uint32_t kExplainedPart = 39;
constexpr char kExplanation[] =
    "\nPlease check:\n (1) Part No.\n (2) Chip's actual CONFIG setting related to DataFlash\n";
constexpr uint32_t kCounterEnd = 999'999;

// The chip in hand: its S/N when S/N programming hands it one.
struct ChipRun {
  std::optional<SplitDecimal> sn;
};

enum class ChipEnd { Passed, Failed, RecordsFailed };

bool HasAprom(Workbench& bench) {
  return bench.job().ApromSelected && bench.images().aprom.hasFile;
}

bool CounterAtEnd(const JobSettings& job) {
  if (!job.ChipCounterEnabled) return false;
  return job.CountDown ? job.ChipCounter == 0 : job.ChipCounter >= kCounterEnd;
}

std::string AreaError(const char* area, uint32_t part_code, bool single) {
  std::string text = std::string("Update ") + area + " error !";
  if (single && part_code == kExplainedPart) text += kExplanation;
  return text;
}

// The chip's result on record with its S/N reservation given back, then the FAIL window (a run
// cut off while it shows has nothing left open).
ChipEnd ChipFailed(Workbench& bench, const ChipRun& chip, const std::string& message) {
  const JobSettings& job = bench.job();
  const ChipOutcome outcome{0, chip.sn, ChipResult::Failed, message};
  bench.recorder().ChipsFinished({&outcome, 1}, {job.SnValue, job.ChipCounter});
  bench.reporter().ShowFail(message);
  return ChipEnd::Failed;
}

// Counter and S/N step and are committed, then the PASS window with the chip's own S/N. A result
// that cannot be put on record has shown its FAIL window: no PASS then.
ChipEnd ChipPassed(Workbench& bench, const ChipRun& chip) {
  JobSettings& job = bench.job();
  const std::string text = ChipPassText(job);
  StepChipCounter(job, 1);
  if (job.SnProgrammingEnabled) StepSerialNumber(job);
  const ChipOutcome outcome{0, chip.sn, ChipResult::Passed, text};
  if (!bench.recorder().ChipsFinished({&outcome, 1}, {job.SnValue, job.ChipCounter}))
    return ChipEnd::RecordsFailed;
  bench.reporter().ShowPass(text);
  if (job.SnProgrammingEnabled) bench.display().ShowSerialNumber(job.SnValue.high, job.SnValue.low);
  if (job.ChipCounterEnabled) bench.display().ShowChipCounter(job.ChipCounter);
  return ChipEnd::Passed;
}

// A detected chip: its start on record, then CONFIG, APROM with the S/N, DataFlash, in that order.
ChipEnd ProgramChip(Workbench& bench, ComIspLink& link, bool single) {
  JobSettings& job = bench.job();
  ImageBuffers& images = bench.images();
  ChipRun chip;
  if (job.SnProgrammingEnabled) chip.sn = job.SnValue;
  if (!RecordChipStarting(bench, chip.sn)) return ChipEnd::RecordsFailed;

  if (job.ConfigSelected && !link.WriteConfig()) return ChipFailed(bench, chip, "Update CONFIG error !");
  if (job.ApromSelected) {
    if ((chip.sn && !PutSerialNumber(job, images.aprom)) || !link.UpdateAprom(images.aprom.Bytes()))
      return ChipFailed(bench, chip, AreaError("APROM", job.PartCode, single));
  }
  if (job.DataFlashSelected && !link.UpdateDataFlash(images.dataFlash.Bytes()))
    return ChipFailed(bench, chip, AreaError("DataFlash", job.PartCode, single));
  return ChipPassed(bench, chip);
}

ComIspLink MakeLink(Workbench& bench, const ComIspRun& run) {
  return ComIspLink(bench.port(), bench.clock(), bench.reporter(), bench.display(), bench.job(),
                    run.port_file);
}

}  // namespace

int PutSerialNumber(const JobSettings& job, ImageBuffer& aprom) {
  const uint64_t end = uint64_t{job.SnAddress} + sizeof(PackedBcd);
  if (end > aprom.data.size()) return 0;
  // An S/N at or past the image's end (or reaching over it) lengthens the image to the S/N's end.
  if (end > aprom.size) {
    std::fill(aprom.data.begin() + aprom.size, aprom.data.begin() + static_cast<std::ptrdiff_t>(end), 0xFF);
    aprom.size = static_cast<uint32_t>(end);
  }
  const PackedBcd bcd = ToPackedBcd(job.SnValue);
  std::copy(bcd.begin(), bcd.end(), aprom.data.begin() + job.SnAddress);
  aprom.UpdateSums();
  return 1;
}

UpdateOutcome ComIspUpdateOnce(Workbench& bench, const ComIspRun& run) {
  if (!HasAprom(bench)) {
    bench.reporter().ShowFail(kNoAprom);
    return UpdateOutcome::Stopped;
  }
  ComIspLink link = MakeLink(bench, run);
  ChipEnd end = ChipEnd::Failed;
  if (!link.DetectChip(DetectMode::Single, bench.job().PortName())) {
    bench.reporter().ShowFail("Chip not ready !");
  } else {
    end = ProgramChip(bench, link, true);
    if (end == ChipEnd::Passed) link.FinishChip();
  }
  bench.port().ClosePort();
  return end == ChipEnd::Passed          ? UpdateOutcome::Passed
         : end == ChipEnd::RecordsFailed ? UpdateOutcome::Stopped
                                         : UpdateOutcome::ChipFailed;
}

UpdateOutcome ComIspProductionLoop(Workbench& bench, ComIspRun& run) {
  JobSettings& job = bench.job();
  run.passed = run.failed = 0;
  run.end = ComIspRun::End::None;
  if (!HasAprom(bench)) {
    bench.reporter().ShowFail(kNoAprom);
    run.end = ComIspRun::End::Stopped;
    return UpdateOutcome::Stopped;
  }
  ComIspLink link = MakeLink(bench, run);
  while (run.end == ComIspRun::End::None) {
    if (CounterAtEnd(job)) {
      run.end = ComIspRun::End::CounterLimit;
    } else if (run.chips && run.passed + run.failed >= run.chips) {
      run.end = ComIspRun::End::ChipCount;
    } else if (!link.DetectChip(DetectMode::Production, job.PortName())) {
      // Detection ends without a report of its own only when production mode was cleared.
      run.end = job.ProductionMode ? ComIspRun::End::PortFailed : ComIspRun::End::Stopped;
    } else {
      switch (ProgramChip(bench, link, false)) {
        case ChipEnd::Passed:
          ++run.passed;
          break;
        case ChipEnd::Failed:
          ++run.failed;
          break;
        case ChipEnd::RecordsFailed:
          run.end = ComIspRun::End::RecordsFailed;
          break;
      }
    }
  }
  bench.port().ClosePort();
  const bool broken = run.end == ComIspRun::End::PortFailed || run.end == ComIspRun::End::RecordsFailed;
  if (!broken) bench.reporter().ResetStatus();
  if (broken) return UpdateOutcome::Stopped;
  return run.failed ? UpdateOutcome::ChipFailed : UpdateOutcome::Passed;
}

}  // namespace quillet
