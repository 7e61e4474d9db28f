// quillet-cli trim [--gang --socket N] [--json]: the TRIM read of the window's hidden hot key: the
// five TRIM bytes of the Tessel chip in the Programmer's socket, as "TRIM0~4=0x.. 0x.. ...".
#include <iostream>

#include "cli/chip_verbs.h"
#include "cli/commands.h"
#include "cli/programmer_session.h"
#include "cli/verb_support.h"
#include "core/operations/programmer_information.h"

namespace quillet::cli {
namespace {

struct TrimOptions {
  LinkOptions link;
  int socket = 1;
};

int Run(const TrimOptions& options) {
  int exit_code = 0;
  auto session = ProgrammerSession::Create(options.link, std::cout, std::cerr, exit_code);
  if (!session) return exit_code;
  Workbench& bench = session->bench();
  bench.SocketChoice() = options.socket - 1;
  std::array<uint8_t, 5> trim{};
  int read = 0;
  // Only Tessel parts have TRIM bytes: nothing is sent for another part.
  if (!IsTesselPart(bench.job().PartCode)) {
    bench.reporter().ShowFail("Not Tessel parts !");
  } else {
    read = TrimRead(bench, &trim);
  }
  if (options.link.output.json) {
    nlohmann::ordered_json json = ResultJson(session->reporter());
    // A warning ended it ("... has not been downloaded yet !", "Chip was locked !"): no result.
    const auto& warnings = session->reporter().Warnings();
    if (!read && !session->reporter().Failed() && !warnings.empty()) {
      json["result"] = "FAIL";
      json["message"] = warnings.back().message;
    }
    if (read) {
      json["Trim"] = trim;
      json["Text"] = TrimText(trim);
    }
    PrintJson(json);
  } else if (read) {
    std::cout << TrimText(trim) << "\n" << std::flush;
  }
  return read ? 0 : 1;
}

}  // namespace

void RegisterTrimCommand(CLI::App& app, ExitCode& exit_code) {
  auto* trim = app.add_subcommand(
      "trim",
      "TRIM read: the Programmer reads the five TRIM bytes of the Tessel chip in its socket (part "
      "codes 136..144, QTS16A to QTS16N; --part or the settings file's part) and they are printed as "
      "\"TRIM0~4=0x01 0x02 0xAB 0x00 0xFF\", in the order received. With --gang the Gang Programmer "
      "first connects the socket chosen with --socket.");
  auto options = std::make_shared<TrimOptions>();
  AddLinkOptions(*trim, options->link);
  auto* gang = trim->add_flag("--gang", options->link.gang, "through a Gang Programmer");
  AddSocketOption(*trim, options->socket, gang);
  trim->footer(HelpFooter(
      "Exit codes: 0 the TRIM bytes were printed; 1 the part is no Tessel part (\"Not Tessel parts !\", "
      "nothing sent), the chip is locked or another part, or the Programmer failed (the window's "
      "message on stderr); 2 a usage error.",
      std::string(kPortVariables) + kFirmwareVariable,
      "quillet-cli trim --part QTS16A --gang --socket 3 --port ttyUSB0"));
  trim->callback([options, &exit_code] { exit_code.value = Run(*options); });
}

}  // namespace quillet::cli
