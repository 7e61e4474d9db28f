// quillet-sim: a simulated Programmer or Gang Programmer on a pseudo-terminal, in real time, for
// end-to-end runs and demos. Prints "<role> <path>" for every terminal it serves (decoys first),
// then "ready", and serves until SIGINT or SIGTERM. Exit codes: 0 done, 1 it could not serve,
// 2 usage error.
#include <signal.h>

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "sim/fault_plan.h"
#include "sim/firmware_image.h"
#include "sim/gang_model.h"
#include "sim/programmer_model.h"
#include "sim/pty_server.h"

namespace {

using namespace quillet;
using namespace quillet::sim;

unsigned long ParseNumber(const std::string& text) {
  return std::stoul(text, nullptr, 0);
}

int WriteFirmware(const std::string& folder, uint16_t version, std::size_t size) {
  const auto paths = WriteFirmwareSet(folder, version, size, 4096);
  if (!paths) {
    std::cerr << "quillet-sim: cannot write the firmware files into " << folder << "\n";
    return 1;
  }
  for (const auto& path : *paths) std::cout << path << "\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Simulated Programmer / Gang Programmer on pseudo-terminals.", "quillet-sim"};
  app.set_version_flag("--version", "quillet-sim " QUILLET_VERSION);
  std::string device_kind = "programmer", type_text = "0xAB", version_text = "0x0710", trace_path,
              firmware_folder;
  std::vector<std::string> fault_texts;
  int decoys = 0;
  std::size_t firmware_size = 14336;
  unsigned device_time = 0, restart_time = 0, stall_timeout = 2000;
  bool strict = false;
  app.add_option("--device", device_kind, "programmer, gang or silent")
      ->check(CLI::IsMember({"programmer", "gang", "silent"}));
  app.add_option("--type", type_text,
                 "type code the Programmer's firmware answers to 0xC0 (default 0xAB, ICP)");
  app.add_option("--fw-version", version_text, "firmware version (default 0x0710)");
  app.add_option("--decoys", decoys, "silent terminals served before the device")->check(CLI::Range(0, 16));
  app.add_option("--trace", trace_path, "write the device's wire trace to this file");
  app.add_option("--fault", fault_texts, "inject a fault, kind:n; kinds: " + FaultKindNames());
  app.add_option("--write-firmware", firmware_folder,
                 "write invented firmware files into this folder and exit");
  app.add_option("--firmware-size", firmware_size, "size of each Programmer firmware file written")
      ->check(CLI::Range(1, 65536));
  app.add_option("--device-time", device_time, "milliseconds the device takes before each answer (default 0)")
      ->check(CLI::Range(0, 60000));
  app.add_option(
         "--restart-time", restart_time,
         "milliseconds the device takes to restart after a firmware update, deaf meanwhile (default 0)")
      ->check(CLI::Range(0, 60000));
  app.add_option("--stall-timeout", stall_timeout,
                 "milliseconds of silence after which the device gives up a firmware transfer and keeps its "
                 "old firmware (default 2000; 0 waits for ever)")
      ->check(CLI::Range(0, 600000));
  app.add_flag(
      "--strict", strict,
      "refuse (drop, and note in the trace) a byte that arrives inside a pause the protocol prescribes");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    const int code = app.exit(error);  // prints help, version or the usage error with a hint
    return code == 0 ? 0 : 2;
  }

  uint8_t type_code = 0;
  uint16_t version = 0;
  FaultPlan faults;
  try {
    type_code = static_cast<uint8_t>(ParseNumber(type_text));
    version = static_cast<uint16_t>(ParseNumber(version_text));
  } catch (const std::exception&) {
    std::cerr << "quillet-sim: --type and --fw-version take numbers such as 0xAB and 0x0710\n";
    return 2;
  }
  for (const auto& text : fault_texts) {
    const auto fault = ParseFault(text);
    if (!fault) {
      std::cerr << "quillet-sim: unknown fault '" << text << "' (kinds: " << FaultKindNames() << ")\n";
      return 2;
    }
    faults.faults.push_back(*fault);
  }
  if (!firmware_folder.empty()) return WriteFirmware(firmware_folder, version, firmware_size);

  // Block the stop signals before the serving thread starts, so that only sigwait sees them.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);

  WireTrace trace;
  if (!trace_path.empty() && !trace.OpenFile(trace_path)) {
    std::cerr << "quillet-sim: cannot create " << trace_path << "\n";
    return 1;
  }
  PtyServer server;
  trace.SetOrigin(server.Now());
  std::vector<std::unique_ptr<SimDevice>> devices;
  for (int i = 0; i < decoys; ++i) {
    devices.push_back(std::make_unique<SilentDevice>());
    std::cout << "silent " << server.Add(*devices.back()) << "\n";
  }
  const DeviceTiming timing{Millis(device_time), Millis(restart_time), Millis(stall_timeout)};
  std::unique_ptr<ControllerModel> controller;
  if (device_kind == "programmer") controller = std::make_unique<ProgrammerModel>(type_code, version);
  if (device_kind == "gang") controller = std::make_unique<GangModel>(version);
  if (controller) {
    controller->SetTiming(timing);
    devices.push_back(std::move(controller));
  } else {
    devices.push_back(std::make_unique<SilentDevice>());
  }
  const std::string path = server.Add(*devices.back(), faults, trace_path.empty() ? nullptr : &trace, strict);
  if (path.empty()) {
    std::cerr << "quillet-sim: cannot create a pseudo-terminal\n";
    return 1;
  }
  std::cout << device_kind << " " << path << "\nready" << std::endl;
  server.Start();
  int signal_number = 0;
  sigwait(&stop_signals, &signal_number);
  server.Stop();
  if (strict)
    trace.Note(server.Now(), "strict: " + std::to_string(server.StrictRefusals()) + " bytes refused");
  trace.Flush();
  return 0;
}
