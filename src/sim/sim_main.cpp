// quillet-sim: a simulated Programmer or Gang Programmer on a pseudo-terminal, in real time, for
// end-to-end runs and demos. Prints "<role> <path>" for every terminal it serves (decoys first),
// then "ready", and serves until SIGINT or SIGTERM. Exit codes: 0 done, 1 it could not serve,
// 2 usage error.
#include <signal.h>

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <memory>

#include "sim/chip_feeder.h"
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

// The storage of the single Programmer in FILE, of gang socket n in FILE.n: loaded when the file
// exists, saved after every change.
int UseStorage(ProgrammerModel& programmer, const std::string& path) {
  if (std::filesystem::exists(path) && !programmer.storage().Load(path)) {
    std::cerr << "quillet-sim: " << path << " is not a storage file\n";
    return 0;
  }
  programmer.SetStorageFile(path);
  return 1;
}

struct ChipOptions {
  std::string storage_path, dump_folder, gang_result = "auto";
  std::vector<std::string> flaws;
  uint32_t chips = 0;
  unsigned sync_delay = 20;
};

// The chips' flaws into the feeder; 0 after a reported usage error.
int AddFlaws(const std::vector<std::string>& texts, ChipFeeder& feeder) {
  for (const auto& text : texts) {
    const auto flaw = ParseSocketFlaw(text);
    if (!flaw) {
      std::cerr << "quillet-sim: unknown chip '" << text << "' (S:flaw, S = 0..4, flaws: " << ChipFlawNames()
                << ")\n";
      return 0;
    }
    feeder.AddFlaw(flaw->socket, flaw->flaw);
  }
  return 1;
}

// Sets up the dump folder and the models' storage and gang options; 0 after a reported error.
int SetUpChips(const ChipOptions& options, ChipFeeder& feeder, ControllerModel& controller) {
  feeder.KeepContents(false);  // a long run keeps its chips' contents only in the dump
  if (!options.dump_folder.empty()) {
    if (!feeder.SetDumpFolder(options.dump_folder)) {
      std::cerr << "quillet-sim: cannot write into " << options.dump_folder << "\n";
      return 0;
    }
  }
  if (auto* programmer = dynamic_cast<ProgrammerModel*>(&controller)) {
    programmer->SetFeeder(feeder, 0);
    return options.storage_path.empty() || UseStorage(*programmer, options.storage_path);
  }
  auto* gang = dynamic_cast<GangModel*>(&controller);
  if (!gang) return 1;
  gang->SetFeeder(feeder);
  gang->SetSyncDelay(Millis(options.sync_delay));
  if (options.gang_result == "none")
    gang->SetGangResult(std::nullopt);
  else if (options.gang_result != "auto")
    gang->SetGangResult(static_cast<uint8_t>(ParseNumber(options.gang_result)));
  for (int n = 1; n <= kGangSockets && !options.storage_path.empty(); ++n) {
    if (!UseStorage(gang->socket(n), options.storage_path + "." + std::to_string(n))) return 0;
  }
  return 1;
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
  ChipOptions chip_options;
  app.add_option("--device", device_kind, "programmer, gang or silent")
      ->check(CLI::IsMember({"programmer", "gang", "silent"}));
  app.add_option(
      "--type", type_text,
      "type code the Programmer's firmware (gang: each socket's) answers to 0xC0 (default 0xAB, ICP)");
  app.add_option("--fw-version", version_text,
                 "firmware version (gang: the gang controller's; default 0x0710)");
  app.add_option("--decoys", decoys, "silent terminals served before the device")->check(CLI::Range(0, 16));
  app.add_option("--trace", trace_path, "write the device's wire trace to this file");
  app.add_option("--fault", fault_texts, "inject a fault, kind:n; kinds: " + FaultKindNames());
  app.add_option("--write-firmware", firmware_folder,
                 "write invented firmware files into this folder and exit");
  app.add_option("--firmware-size", firmware_size, "size of each Programmer firmware file written")
      ->check(CLI::Range(1, 65536));
  app.add_option("--device-time", device_time,
                 "milliseconds the device takes before each answer and per programmed block step (default 0)")
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
  app.add_option("--storage", chip_options.storage_path,
                 "keep the Programmer's storage and uses in this file across runs (gang: FILE.1 .. FILE.4)");
  app.add_option("--chip", chip_options.flaws,
                 "S:flaw, a flaw of every chip in socket S (0 single, 1..4 gang); flaws: " + ChipFlawNames());
  app.add_option("--chips", chip_options.chips,
                 "chips to program, a fresh one after each (default 0: no end)");
  app.add_option("--dump", chip_options.dump_folder,
                 "write chips.csv and each programmed chip's contents (chipK-*.bin) into this folder");
  app.add_option("--gang-result", chip_options.gang_result,
                 "gang result byte: auto (the sockets' outcome), none (never sent) or a value such as 0x3C");
  app.add_option("--sync-delay", chip_options.sync_delay,
                 "milliseconds before the gang's first sync byte (default 20)")
      ->check(CLI::Range(0, 60000));
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
    if (chip_options.gang_result != "auto" && chip_options.gang_result != "none")
      ParseNumber(chip_options.gang_result);
  } catch (const std::exception&) {
    std::cerr << "quillet-sim: --type, --fw-version and --gang-result take numbers such as 0xAB and 0x0710\n";
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
  ChipFeeder feeder(chip_options.chips);
  if (!AddFlaws(chip_options.flaws, feeder)) return 2;
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
  const auto device_faults = std::make_shared<DeviceFaults>(faults);
  if (device_kind == "programmer") {
    auto programmer = std::make_unique<ProgrammerModel>(type_code, version);
    programmer->SetFaults(device_faults);
    controller = std::move(programmer);
  }
  if (device_kind == "gang") {
    auto gang = std::make_unique<GangModel>(version, type_code);
    gang->SetFaults(device_faults);
    for (int n = 1; n <= kGangSockets; ++n) gang->socket(n).SetTiming(timing);
    controller = std::move(gang);
  }
  if (controller) {
    controller->SetTiming(timing);
    if (!SetUpChips(chip_options, feeder, *controller)) return 1;
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
