// quillet-cli fwupdate: the hidden "FwUpdate" button: a Programmer search that reflashes the
// firmware even when its variant already suits the part.
#include <iostream>

#include "cli/commands.h"
#include "cli/programmer_session.h"

namespace quillet::cli {

void RegisterFwUpdateCommand(CLI::App& app, ExitCode& exit_code) {
  auto* fwupdate =
      app.add_subcommand("fwupdate", "Reflash the Programmer's firmware (the hidden FwUpdate button)");
  auto options = std::make_shared<LinkOptions>();
  AddLinkOptions(*fwupdate, *options);
  fwupdate->callback([options, &exit_code] {
    auto session = ProgrammerSession::Create(*options, std::cout, std::cerr, exit_code.value);
    if (!session) return;
    session->link().OnFwUpdate();
    if (!session->Failed()) std::cout << "Prog. Type: " << session->display().programmer_type << "\n";
    exit_code.value = session->Failed() ? 1 : 0;
  });
}

}  // namespace quillet::cli
