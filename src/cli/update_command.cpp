// quillet-cli update [--loop N] [--json]: Update Chip: the Programmer programs the chip in its
// socket (a Gang Programmer the four in its sockets) from its storage, downloading the job first when
// the storage does not hold it. The S/N and chip counter step on in the settings file, whose other
// bytes stay as they were read; Production.csv beside it logs every chip.
#include <unistd.h>

#include <iostream>

#include "cli/chip_ledger.h"
#include "cli/comisp_updates.h"
#include "cli/commands.h"
#include "cli/interrupt.h"
#include "cli/job_options.h"
#include "cli/verb_support.h"
#include "core/operations/chip_operations.h"
#include "core/storage/settings_record.h"
#include "core/storage/settings_recorder.h"
#include "core/sys/file_io.h"

namespace quillet::cli {
namespace {

constexpr char kPrompt[] = "Insert the next chip and press Enter (q to stop): ";

struct UpdateOptions {
  JobOptions job;
  int loop = -1;  // -1: one update, nothing asked
};

// `com_port`: the chip sits on the serial line with its boot loader, not in a Programmer's socket.
std::string UpdateNextStep(const std::string& message, bool com_port) {
  if (com_port && message == "Chip not ready !")
    return "reset the chip (or power it off and on) while quillet-cli waits, and check that the port is the "
           "chip's serial line";
  if (message.starts_with("Please click 'Download Programmer'"))
    return "run quillet-cli download first with the same job, --gang and --verify-only as here";
  if (message.starts_with("Chip Counter reaches"))
    return "set the Chip Counter in the window's Advanced Functions, or start from another settings file";
  if (message.starts_with("Device ID error !"))
    return "the chip in the socket is not the part named by --part";
  if (message == "Timeout !")
    return "check that chips sit in the four sockets, then run quillet-cli update again";
  if (message.starts_with("Last update was interrupted !"))
    return "the chip programmed then may be half written: Production.csv names it; update it again";
  for (const char* failed :
       {"Failed chips:", "Update APROM", "Update DataFlash", "Update LDROM", "Update CONFIG"}) {
    if (!message.starts_with(failed)) continue;
    return com_port ? "reset the chip and update it again; replace it if it fails again"
                    : "replace or reseat the failed chips and update them again";
  }
  return {};
}

// Another chip, when the operator says so: a line from stdin; "q" or the end of the input stops.
bool NextChipWanted() {
  if (::isatty(STDIN_FILENO)) std::cerr << kPrompt << std::flush;
  std::string line;
  if (!std::getline(std::cin, line)) return false;
  const auto first = line.find_first_not_of(" \t\r");
  return first == std::string::npos || (line[first] != 'q' && line[first] != 'Q');
}

// The updates one after the other; the exit code.
int RunUpdates(const UpdateOptions& options, ProgrammerSession& session, ChipLedger& ledger) {
  Workbench& bench = session.bench();
  bool stopped = false;
  for (int updates = 0;; ++updates) {
    if (updates > 0 &&
        ((options.loop > 0 && updates >= options.loop) || StopRequested() || !NextChipWanted()))
      break;
    const int chips = ledger.Chips();
    UpdateOutcome outcome;
    {
      UnitOfWork unit("the chip in hand is finished first");
      outcome = UpdateChip(bench);
    }
    // An update that wrote no chip down still counts its one chip.
    if (ledger.Chips() == chips && outcome != UpdateOutcome::Stopped)
      ++(outcome == UpdateOutcome::Passed ? ledger.passed : ledger.failed);
    stopped = outcome == UpdateOutcome::Stopped;
    if (options.loop < 0) return outcome == UpdateOutcome::Passed ? 0 : 1;
    if (stopped || StopRequested()) break;
  }
  const bool all_passed = !stopped && ledger.Chips() == ledger.passed && ledger.passed > 0;
  return ReportUpdateSummary(session.reporter(), ledger, all_passed, stopped ? "the updates stopped" : "");
}

void Run(const UpdateOptions& options, int& exit_code) {
  const std::string& settings = options.job.link.settings;
  const auto lock = HoldSettingsLock(settings, exit_code);
  if (!lock) return;
  const auto as_read = ReadFileLimited(settings, 1 << 16);
  auto session = ProgrammerSession::Create(options.job.link, std::cout, std::cerr, exit_code);
  if (!session) return;
  Workbench& bench = session->bench();
  const auto next_step = [&bench](const std::string& message) {
    return UpdateNextStep(message, bench.job().ComPortMode);
  };
  session->SetVerbNextStep(next_step);
  ReportInterruptedUpdate(settings, session->reporter());
  if (!LoadJob(options.job, *session, exit_code)) return;
  session->SetVerbNextStep(next_step);
  // Only the S/N and counter bytes change: the rest of the file stays as it was read.
  const std::vector<uint8_t> base = as_read ? as_read->bytes : EncodeSettingsRecord(session->bench().job());
  SettingsFileRecorder file(
      settings, [base](const ProductionTally& tally) { return PatchSettingsTally(base, tally); },
      session->reporter());
  SystemClock clock;
  ChipLedger ledger(file, clock, options.job.link.output.json);
  session->bench().SetRecorder(ledger);
  if (session->bench().job().Type() == kTypeComIsp) {
    exit_code = RunComIspUpdates({options.loop, settings, !options.job.link.port.empty()}, *session, ledger);
    return;
  }
  exit_code = RunUpdates(options, *session, ledger);
}

}  // namespace

void RegisterUpdateCommand(CLI::App& app, ExitCode& exit_code) {
  auto* update = app.add_subcommand(
      "update",
      "Update Chip: the Programmer programs and verifies the chip in its socket (a Gang Programmer the "
      "four chips in its sockets) from its storage. When the storage does not hold the job, the job is "
      "downloaded first (a Gang Programmer asks for quillet-cli download instead). The S/N and the chip "
      "counter step on after each chip in the settings file, whose other bytes are left as they were; "
      "Production.csv beside it logs each chip. With --loop the update goes on chip after chip: before "
      "each further chip it waits for Enter (q, or the end of the input, stops). With --mode comisp (or a "
      "project for ISP by COM Port) no Programmer is used: the chip's boot loader on the serial line of "
      "--port (else the port quillet-cli comports marks) takes CONFIG, APROM and DataFlash; with --loop the "
      "update waits for each chip's boot loader in turn, no Enter asked, and ends after N chips, at the "
      "Chip Counter's end or when the port fails.");
  auto options = std::make_shared<UpdateOptions>();
  options->job.comisp = true;
  AddJobOptions(*update, options->job);
  update
      ->add_option("--loop", options->loop,
                   "update N chips one after the other (a gang update is four chips), 0 until stopped; "
                   "failed chips do not stop the loop, a stopped update does")
      ->check(CLI::NonNegativeNumber);
  update->footer(HelpFooter(
      "Exit codes: 0 every chip passed; 1 a chip failed or the update stopped (the window's message on "
      "stderr; with --loop a last line counts the chips that passed and failed); 2 a usage error. Ctrl-C "
      "finishes the chip in hand and ends the loop; a second Ctrl-C aborts it.",
      std::string(kPortVariables) + kFirmwareVariable,
      "quillet-cli update --project line3.TPJ --settings line3.LOG --loop 0 --json"));
  update->callback([options, &exit_code] { Run(*options, exit_code.value); });
}

}  // namespace quillet::cli
