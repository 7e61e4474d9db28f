// quillet-cli download: Download Programmer: the job (a project, or image files with the part and
// the CONFIG bytes) into the Programmer's own storage, or into the storage of each socket of a Gang
// Programmer, which then programs chips from it (quillet-cli update).
#include <iostream>

#include "cli/commands.h"
#include "cli/interrupt.h"
#include "cli/job_options.h"
#include "cli/verb_support.h"
#include "core/operations/chip_operations.h"

namespace quillet::cli {
namespace {

std::string DownloadNextStep(const std::string& message) {
  if (message == "Programmer's storage checksum error !" || message.starts_with("Sync #"))
    return "check the cable, then run quillet-cli download again";
  if (message.starts_with("Code size for") || message.starts_with("Data size for"))
    return "quillet-cli parts shows the part's sizes; choose a larger part or a smaller image";
  return {};
}

void Run(const JobOptions& options, int& exit_code) {
  const auto lock = HoldSettingsLock(options.link.settings, exit_code);
  if (!lock) return;
  auto session = ProgrammerSession::Create(options.link, std::cout, std::cerr, exit_code);
  if (!session || !LoadJob(options, *session, exit_code)) return;
  session->SetVerbNextStep(DownloadNextStep);
  int downloaded = 0;
  {
    UnitOfWork unit("the download finishes first",
                    "the Programmer's storage is half written: run quillet-cli download again");
    downloaded = DownloadProgrammer(session->bench());
  }
  exit_code = downloaded && !session->Failed() ? 0 : 1;
  if (options.link.output.json) {
    nlohmann::ordered_json json = ResultJson(session->reporter());
    json["job"] = JobSummary(session->bench());
    PrintJson(json);
  }
}

}  // namespace

void RegisterDownloadCommand(CLI::App& app, ExitCode& exit_code) {
  auto* download = app.add_subcommand(
      "download",
      "Download Programmer: copy the job into the Programmer's own storage (for a Gang Programmer, into "
      "each of its four sockets), from which it then programs chips when told (quillet-cli update). The "
      "job is a project file, or image files for a part; the S/N settings and the usage limit come from "
      "the project or the settings file. The Programmer is found as quillet-cli search finds it.");
  auto options = std::make_shared<JobOptions>();
  AddJobOptions(*download, *options);
  download->footer(HelpFooter(
      "Exit codes: 0 the Programmer holds the job; 1 it was not found, an image does not fit the part, or "
      "the transfer failed (the window's message on stderr, with what to do next); 2 a usage error. "
      "Ctrl-C lets the download finish; a second Ctrl-C aborts it.",
      std::string(kPortVariables) + kFirmwareVariable,
      "quillet-cli download --port ttyUSB0 --part QMC04A --aprom code.hex --config 0xFF,0xFF,0xFF,0xFF,0xFF,"
      "0xFF,0xFF,0xFF"));
  download->callback([options, &exit_code] { Run(*options, exit_code.value); });
}

}  // namespace quillet::cli
