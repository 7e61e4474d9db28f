// quillet-cli fwupdate: the hidden "FwUpdate" button: a Programmer search that reflashes the
// firmware even when its variant already suits the part.
#include <iostream>

#include "cli/commands.h"
#include "cli/programmer_session.h"
#include "cli/verb_support.h"

namespace quillet::cli {

void RegisterFwUpdateCommand(CLI::App& app, ExitCode& exit_code) {
  auto* fwupdate = app.add_subcommand(
      "fwupdate",
      "Reflash the Programmer's firmware with the variant the part needs, even when it already has it "
      "(the window's hidden FwUpdate button). The Programmer is found as quillet-cli search finds it; the "
      "firmware files come from the firmware folder (quillet-sim --write-firmware DIR makes a set for the "
      "simulator). The transfer takes about 4 s; do not disconnect the Programmer meanwhile.");
  auto options = std::make_shared<LinkOptions>();
  AddLinkOptions(*fwupdate, *options);
  fwupdate->footer(
      HelpFooter("Exit codes: 0 updated; 1 the Programmer was not found, a firmware file is "
                 "missing, or the transfer failed (power-cycle the Programmer and run fwupdate "
                 "again); 2 a usage error. Ctrl-C during the transfer lets it finish; a second "
                 "Ctrl-C aborts it.",
                 std::string(kPortVariables) + kFirmwareVariable,
                 "quillet-cli fwupdate --port ttyUSB0 --part QMC04A --firmware-dir ./fw"));
  fwupdate->callback([options, &exit_code] {
    auto session = ProgrammerSession::Create(*options, std::cout, std::cerr, exit_code.value);
    if (!session) return;
    session->link().OnFwUpdate();
    exit_code.value = session->Failed() ? 1 : 0;
    if (options->output.json) {
      nlohmann::ordered_json json = ResultJson(session->reporter());
      if (exit_code.value == 0) json["programmerType"] = session->display().programmer_type;
      PrintJson(json);
    }
  });
}

}  // namespace quillet::cli
