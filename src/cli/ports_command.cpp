// quillet-cli ports: every port a Programmer scan tries, in scan order (the scan's port 1 first),
// with the name the window shows and the device path.
#include <iostream>

#include "cli/commands.h"
#include "core/serial/port_name.h"
#include "core/serial/port_system.h"

namespace quillet::cli {

void RegisterPortsCommand(CLI::App& app, ExitCode& exit_code) {
  auto* ports = app.add_subcommand(
      "ports", std::string("List the ports a Programmer scan tries: serial devices, then the paths in $") +
                   kExtraPortsVariable + " (" + kSystemPortsVariable + "=0 leaves the devices out)");
  ports->callback([&exit_code] {
    const PortSystem system(PortSourcesFromEnvironment());
    int n = 0;
    for (const std::string& path : system.ScanOrder()) {
      std::cout << ++n << "\t" << ShortPortName(path) << "\t" << path << "\n";
    }
    exit_code.value = 0;
  });
}

}  // namespace quillet::cli
