// quillet-cli verify: Verify Chip: the chip in the Programmer's socket (a Gang Programmer's socket
// chosen with --socket) against the job. ISP: the Programmer compares the APROM image block by
// block; ICP: the chip is read back whole and every selected area and CONFIG compared here.
#include <iostream>

#include "cli/chip_verbs.h"
#include "cli/commands.h"
#include "cli/job_options.h"
#include "cli/verb_support.h"

namespace quillet::cli {
namespace {

struct VerifyOptions {
  JobOptions job;
  int socket = 1;
};

void Run(const VerifyOptions& options, int& exit_code) {
  const auto lock = HoldSettingsLock(options.job.link.settings, exit_code);
  if (!lock) return;
  auto session = ProgrammerSession::Create(options.job.link, std::cout, std::cerr, exit_code);
  if (!session) return;
  Workbench& bench = session->bench();
  if ((exit_code = RefuseComIspType(bench, "verify")) != 0) return;
  if (!LoadJob(options.job, *session, exit_code)) return;
  if (bench.job().Type() == kTypeIsp && !bench.job().ApromSelected) {
    exit_code =
        UsageError("verify in ISP compares the APROM image only", "name it with --aprom, or use --mode icp");
    return;
  }
  session->SetVerbNextStep(ChipVerbNextStep);
  bench.SocketChoice() = options.socket - 1;
  VerifyFindings findings;
  exit_code = VerifyChip(bench, &findings) && !session->Failed() ? 0 : 1;
  if (options.job.link.output.json) {
    nlohmann::ordered_json json = ResultJson(session->reporter());
    json["job"] = JobSummary(bench);
    json["areas"] = FindingsJson(findings);
    PrintJson(json);
  }
}

}  // namespace

void RegisterVerifyCommand(CLI::App& app, ExitCode& exit_code) {
  auto* verify = app.add_subcommand(
      "verify",
      "Verify Chip: compare the chip in the Programmer's socket with the job (a project, or image files "
      "for a part, with --config for the CONFIG bytes). ISP: the Programmer compares the APROM image "
      "block by block and names the first block that differs. ICP: the chip is read back whole, then "
      "each selected area and CONFIG is compared; a FAIL is followed by the first differing byte of each "
      "failing area and how many differ. --config alone verifies the CONFIG bytes only (ICP). With --gang "
      "the chip in socket --socket of the Gang Programmer is verified.");
  auto options = std::make_shared<VerifyOptions>();
  options->job.config_alone = true;
  AddJobOptions(*verify, options->job);
  AddSocketOption(*verify, options->socket, verify->get_option("--gang"));
  verify->footer(HelpFooter(
      "Exit codes: 0 the chip matches; 1 it differs, or the Programmer was not found or failed (the "
      "window's message on stderr, then what differs); 2 a usage error, also for a part set for ISP by "
      "COM Port.",
      std::string(kPortVariables) + kFirmwareVariable,
      "quillet-cli verify --port ttyUSB0 --part QMC04A --aprom code.hex --json"));
  verify->callback([options, &exit_code] { Run(*options, exit_code.value); });
}

}  // namespace quillet::cli
