// quillet-cli comports: the COM port search of ISP by COM Port, as the window runs it when that type
// is chosen: every port that can be opened now, the one GUI_ComPortISP.LOG remembers marked '*'
// (without that file: the first USB serial port, which is then written down).
#include <iostream>

#include "cli/commands.h"
#include "cli/programmer_session.h"
#include "cli/verb_support.h"
#include "core/comisp/com_port_memory.h"
#include "core/comisp/com_port_scan.h"
#include "core/job/job_settings.h"
#include "core/serial/port_name.h"
#include "core/serial/serial_port.h"

namespace quillet::cli {
namespace {

struct ComPortsOptions {
  std::string settings = DefaultSettingsFile();
  bool json = false;
};

nlohmann::ordered_json NameOrNull(const std::string& device_path) {
  return device_path.empty() ? nlohmann::ordered_json(nullptr)
                             : nlohmann::ordered_json(ShortPortName(device_path));
}

int RunComPorts(const ComPortsOptions& options) {
  SystemClock clock;
  ConsoleReporter reporter(clock, std::cout, std::cerr, false, {false, options.json});
  const std::string file_path = ComPortFilePath(options.settings);
  reporter.SetNextStep([&file_path](const std::string&) { return WriteFailureReason(file_path); });
  const PortSystem ports(PortSourcesFromEnvironment());
  SerialPort port(ports, clock);
  JobSettings job;
  NullOperationDisplay display;
  const ComPortScanResult found = ComPortScan(port, job, reporter, display, file_path);

  if (options.json) {
    nlohmann::ordered_json names = nlohmann::ordered_json::array();
    for (const std::string& path : found.ports) names.push_back(ShortPortName(path));
    PrintJson({{"ports", names},
               {"selected", NameOrNull(found.selected >= 0 ? found.ports[found.selected] : "")},
               {"remembered", NameOrNull(found.remembered)},
               {"file", file_path}});
  } else {
    int n = 0;
    for (const std::string& path : found.ports) {
      std::cout << (n == found.selected ? "* " : "  ") << n + 1 << "\t" << ShortPortName(path) << "\t" << path
                << "\n";
      ++n;
    }
  }
  if (!found.ports.empty()) return 0;
  std::cerr << kProgram << ": no serial port can be opened\n"
            << "  connect the chip's serial adapter, or list pseudo-terminals in QUILLET_EXTRA_PORTS "
               "(colon-separated)\n";
  return 1;
}

}  // namespace

void RegisterComPortsCommand(CLI::App& app, ExitCode& exit_code) {
  auto* verb = app.add_subcommand(
      "comports",
      "The COM port search of ISP by COM Port: every port that can be opened now, in scan order, the one "
      "to be used marked '*'. That is the port GUI_ComPortISP.LOG (beside the settings file) names; "
      "without that file the first USB serial port (ttyUSB, ttyACM), else the first port, and the file "
      "is written with it. Each line: the mark, the number in the scan, the name the window shows, the "
      "device path.");
  auto options = std::make_shared<ComPortsOptions>();
  verb->add_option("--settings", options->settings,
                   "the settings file beside which GUI_ComPortISP.LOG lies (default GUI.LOG in the current "
                   "folder)");
  verb->add_flag("--json", options->json,
                 "print JSON: ports (names), selected (a name or null), remembered (the name the file "
                 "held before the search, or null), file (its path)");
  verb->footer(
      HelpFooter("Exit codes: 0 listed (a file that cannot be written is reported on stderr); 1 no "
                 "port can be opened; 2 a usage error.",
                 kPortVariables, "quillet-cli comports --settings ~/line1/GUI.LOG"));
  verb->callback([options, &exit_code] { exit_code.value = RunComPorts(*options); });
}

}  // namespace quillet::cli
