// quillet-cli search [--gang]: the search an Update Chip runs before programming: find the
// Programmer (remembered port, else a scan), identify its firmware variant, switch it where the
// part needs another, and update a firmware that is not at 0x0710. One line says where it was
// found, its "Prog. Type" word and its firmware version.
#include <cstdio>
#include <iostream>

#include "cli/commands.h"
#include "cli/programmer_session.h"
#include "cli/verb_support.h"
#include "core/serial/port_name.h"

namespace quillet::cli {
namespace {

int RunSearch(ProgrammerSession& session, bool gang, nlohmann::ordered_json& json) {
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
  const std::string type = gang ? "Gang Programmer" : session.display().programmer_type;
  json["port"] = ShortPortName(port_path);
  json["portPath"] = port_path;
  json["programmerType"] = type;
  json["firmwareVersion"] = link.ProgrammerFirmwareVersion;
  json["updated"] = updated != 0;
  session.reporter().ShowPass(std::string(gang ? "Gang Programmer" : "Programmer") + " found on " +
                              ShortPortName(port_path) + " (" + port_path + "), Prog. Type " + type +
                              ", firmware version " + version + (updated ? " (updated)" : ""));
  return 0;
}

}  // namespace

void RegisterSearchCommand(CLI::App& app, ExitCode& exit_code) {
  auto* search = app.add_subcommand(
      "search",
      "Find the Programmer and get it ready, as Update Chip does first: open the port given with --port, "
      "or the one GUI.LOG remembers, or else try every port in turn (quillet-cli ports lists them); then "
      "read its firmware variant and version, and reflash it (about 4 s) when the part needs another "
      "variant or the firmware is not at version 0x0710. The firmware files come from the firmware "
      "folder; quillet-sim --write-firmware DIR makes a set for the simulator.");
  auto options = std::make_shared<LinkOptions>();
  AddLinkOptions(*search, *options);
  search->add_flag("--gang", options->gang, "search for a Gang Programmer (four sockets)");
  search->footer(
      HelpFooter("Exit codes: 0 found (and updated where needed); 1 not found, or its firmware "
                 "could not be updated; 2 a usage error. Ctrl-C during a firmware transfer lets "
                 "it finish; a second Ctrl-C aborts it.",
                 std::string(kPortVariables) + kFirmwareVariable,
                 "quillet-cli search --port ttyUSB0 --part QMC04A --firmware-dir ./fw"));
  search->callback([options, &exit_code] {
    auto session = ProgrammerSession::Create(*options, std::cout, std::cerr, exit_code.value);
    if (!session) return;
    nlohmann::ordered_json extra;
    exit_code.value = RunSearch(*session, options->gang, extra);
    if (options->output.json) {
      nlohmann::ordered_json json = ResultJson(session->reporter());
      if (exit_code.value == 0) json.update(extra);
      PrintJson(json);
    }
  });
}

}  // namespace quillet::cli
