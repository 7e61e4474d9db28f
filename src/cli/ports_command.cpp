// quillet-cli ports: every port a Programmer scan tries, in scan order (the scan's port 1 first),
// with the name the window shows and the device path.
#include <iostream>

#include "cli/commands.h"
#include "cli/verb_support.h"
#include "core/serial/port_name.h"
#include "core/serial/port_system.h"

namespace quillet::cli {

void RegisterPortsCommand(CLI::App& app, ExitCode& exit_code) {
  auto* ports = app.add_subcommand(
      "ports",
      "List the ports a Programmer search tries when no port is named, in the order it tries them: the "
      "serial devices of the system, then the paths in QUILLET_EXTRA_PORTS. Each line: its number in the "
      "scan, the name the window shows, the device path. Name one with --port to use it alone.");
  auto json = std::make_shared<bool>(false);
  ports->add_flag("--json", *json, "print JSON");
  ports->footer(HelpFooter("Exit codes: 0 listed; 1 no port to scan; 2 a usage error.", kPortVariables,
                           "QUILLET_EXTRA_PORTS=/dev/pts/3:/dev/pts/4 quillet-cli ports"));
  ports->callback([json, &exit_code] {
    const PortSystem system(PortSourcesFromEnvironment());
    const std::vector<std::string> order = system.ScanOrder();
    if (order.empty()) {
      std::cerr
          << kProgram << ": no serial port to scan\n"
          << "  connect the Programmer, or list pseudo-terminals in QUILLET_EXTRA_PORTS (colon-separated)\n";
      exit_code.value = 1;
      return;
    }
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    int n = 0;
    for (const std::string& path : order) {
      ++n;
      if (*json) {
        rows.push_back({{"number", n}, {"name", ShortPortName(path)}, {"path", path}});
      } else {
        std::cout << n << "\t" << ShortPortName(path) << "\t" << path << "\n";
      }
    }
    if (*json) PrintJson(rows);
    exit_code.value = 0;
  });
}

}  // namespace quillet::cli
