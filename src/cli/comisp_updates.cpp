#include "cli/comisp_updates.h"

#include "cli/interrupt.h"
#include "core/comisp/com_port_memory.h"
#include "core/comisp/com_port_scan.h"
#include "core/operations/chip_operations.h"

namespace quillet::cli {
namespace {

constexpr char kFinishing[] = "the chip in hand is finished first";

// Without --port, the port the COM port search picks: the one GUI_ComPortISP.LOG remembers, else
// the first USB serial port (the file is written with it).
int PickPort(ProgrammerSession& session, const std::string& port_file) {
  Workbench& bench = session.bench();
  const ComPortScanResult found =
      ComPortScan(bench.port(), bench.job(), session.reporter(), bench.display(), port_file);
  if (found.selected < 0) {
    session.reporter().SetDetail(
        "no serial port can be opened: connect the chip's serial adapter, name it with --port, or list "
        "pseudo-terminals in QUILLET_EXTRA_PORTS (colon-separated)");
    session.reporter().ShowFail("ComPort cannot be opened !");
    return 0;
  }
  bench.job().SetPortName(found.ports[static_cast<std::size_t>(found.selected)]);
  return 1;
}

// Why a loop ended otherwise than by its chip count or a signal, for its last line.
std::string Ending(ComIspRun::End end) {
  switch (end) {
    case ComIspRun::End::CounterLimit:
      return "the Chip Counter is at its end";
    case ComIspRun::End::PortFailed:
      return "the port failed";
    case ComIspRun::End::RecordsFailed:
      return "the settings file or Production.csv could not be written";
    default:
      return "";
  }
}

}  // namespace

int RunComIspUpdates(const ComIspUpdateOptions& options, ProgrammerSession& session, ChipLedger& ledger) {
  Workbench& bench = session.bench();
  JobSettings& job = bench.job();
  ComIspRun& run = bench.comisp();
  run.port_file = ComPortFilePath(options.settings);
  if (!options.port_named && !PickPort(session, run.port_file)) return 1;

  const bool loop = options.loop >= 0;
  job.ProgrammerMode = static_cast<uint8_t>(kTypeComIsp | (loop ? kModeProduction : 0));
  DeriveModeFlags(job);
  run.chips = loop ? static_cast<uint32_t>(options.loop) : 0;
  UpdateOutcome outcome;
  {
    UnitOfWork unit(kFinishing);
    // A signal ends the loop's wait for the next chip, or the loop after the chip in hand.
    ClearOnInterrupt(loop ? &job.ProductionMode : nullptr);
    outcome = UpdateChip(bench);
    ClearOnInterrupt(nullptr);
  }
  if (!loop) return outcome == UpdateOutcome::Passed ? 0 : 1;

  const bool broken = run.end == ComIspRun::End::PortFailed || run.end == ComIspRun::End::RecordsFailed ||
                      run.end == ComIspRun::End::None;
  const bool all_passed = !broken && ledger.failed == 0 && ledger.passed > 0;
  return ReportUpdateSummary(session.reporter(), ledger, all_passed, Ending(run.end));
}

}  // namespace quillet::cli
