// quillet-cli search [--gang]: the search an Update Chip runs before programming: find the
// Programmer (remembered port, else a scan), identify its firmware variant, switch it where the
// part needs another, and update a firmware that is not at 0x0710. Prints the "Prog. Type" word
// (or "Gang Programmer") and the firmware version.
#include <cstdio>
#include <iostream>

#include "cli/commands.h"
#include "cli/programmer_session.h"
#include "core/serial/port_name.h"

namespace quillet::cli {
namespace {

int RunSearch(ProgrammerSession& session, bool gang) {
  ProgrammerLink& link = session.link();
  if (!(gang ? link.SearchGangProgrammer() : link.SearchProgrammer())) return 1;
  // A FAIL from a stale remembered port before the scan found the Programmer does not count: the
  // search has its result.
  const int failures = session.FailureCount();
  // A firmware check that updated the firmware leaves the new version to be read again.
  const int updated = gang ? link.CheckGangFirmware() : link.CheckProgrammerFirmware();
  if (session.FailureCount() > failures) return 1;
  if (updated && !(gang ? link.QueryGangVersion() : link.QueryProgrammerVersion())) return 1;
  char version[8];
  std::snprintf(version, sizeof version, "0x%04X", link.ProgrammerFirmwareVersion);
  const std::string port_path = session.port().OpenPortName();
  std::cout << "Port: " << ShortPortName(port_path) << " (" << port_path << ")\n"
            << "Prog. Type: " << (gang ? "Gang Programmer" : session.display().programmer_type) << "\n"
            << "Firmware version: " << version << (updated ? " (updated)" : "") << "\n";
  return 0;
}

}  // namespace

void RegisterSearchCommand(CLI::App& app, ExitCode& exit_code) {
  auto* search = app.add_subcommand("search", "Find and identify the Programmer as Update Chip does");
  auto options = std::make_shared<LinkOptions>();
  AddLinkOptions(*search, *options);
  search->add_flag("--gang", options->gang, "search for a Gang Programmer");
  search->callback([options, &exit_code] {
    auto session = ProgrammerSession::Create(*options, std::cout, std::cerr, exit_code.value);
    if (session) exit_code.value = RunSearch(*session, options->gang);
  });
}

}  // namespace quillet::cli
