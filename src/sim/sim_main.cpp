// quillet-sim: a simulated Programmer, Gang Programmer or boot-loader chip on a pseudo-terminal, in
// real time, for end-to-end runs and demos. Prints "<role> <path>" for every terminal it serves (decoys
// first), then "ready", and serves until SIGINT or SIGTERM. Exit codes: 0 done, 1 it could not serve, 2 usage
// error.
#include <signal.h>

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <memory>

#include "core/catalogue/part_catalogue.h"
#include "sim/chip_feeder.h"
#include "sim/chip_options.h"
#include "sim/chip_tray.h"
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
  // Values of --chip-part, --chip-flash, --chip-ldrom, --chip-config, --chip-trim and --chip.
  std::array<std::vector<std::string>, 6> chip_values;
  uint32_t chips = 0;
  unsigned sync_delay = 20;
};

struct ChipFlag {
  std::string_view name;
  std::string_view help;
};
constexpr std::array<ChipFlag, 6> kChipFlags{{
    {"chip-part", "S:NAME, the part of every chip in socket S (0 single, 1..4 gang)"},
    {"chip-flash", "S:FILE, the chips' flash, flat from address 0 (DataFlash where its start puts it)"},
    {"chip-ldrom", "S:FILE, the chips' LDROM"},
    {"chip-config", "S:B1,...,B8, the chips' CONFIG bytes, CONFIG0 first"},
    {"chip-trim", "S:B1,...,B5, the chips' TRIM bytes"},
    {"chip", "S:FLAW or S:status=N (the status a read reports); flaws: "},
}};

void AddChipFlags(CLI::App& app, ChipOptions& options) {
  for (std::size_t i = 0; i < kChipFlags.size(); ++i) {
    std::string help(kChipFlags[i].help);
    if (kChipFlags[i].name == "chip") help += ChipFlawNames();
    app.add_option("--" + std::string(kChipFlags[i].name), options.chip_values[i], help);
  }
}

// The chips' options into the feeder; 0 after a reported usage error.
int ApplyChipFlags(const ChipOptions& options, ChipFeeder& feeder) {
  for (std::size_t i = 0; i < kChipFlags.size(); ++i) {
    for (const auto& value : options.chip_values[i]) {
      const std::string error = ApplyChipOption(kChipFlags[i].name, value, feeder);
      if (error.empty()) continue;
      std::cerr << "quillet-sim: --" << kChipFlags[i].name << " '" << value << "' " << error << "\n";
      return 0;
    }
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

// The boot-loader chip's own flags.
struct BootChipFlags {
  std::string part, baud_code = "0x73";
  std::vector<std::string> probe_answers;
  unsigned reset_after = 300, erase_ms = 0, program_ms = 0, config_ms = 0;
  bool locked = false;
};

void AddBootChipFlags(CLI::App& app, BootChipFlags& flags) {
  app.add_option("--part", flags.part, "chip: the part's name (its flash and DataFlash)");
  app.add_option("--baud-code", flags.baud_code,
                 "chip: the boot loader's answer to the probe (default 0x73)");
  app.add_option("--reset-after", flags.reset_after,
                 "chip: milliseconds after the host starts probing until the operator resets the chip "
                 "(default 300)")
      ->check(CLI::Range(0, 60000));
  app.add_option("--erase-ms", flags.erase_ms, "chip: milliseconds an erase takes (default 0)")
      ->check(CLI::Range(0, 60000));
  app.add_option("--program-ms", flags.program_ms, "chip: milliseconds a block takes (default 0)")
      ->check(CLI::Range(0, 60000));
  app.add_option("--config-ms", flags.config_ms, "chip: milliseconds a CONFIG write takes (default 0)")
      ->check(CLI::Range(0, 60000));
  app.add_option("--probe-answers", flags.probe_answers,
                 "chip: bytes answered to the first probes, before the baud code (B,...)")
      ->delimiter(',');
  app.add_flag("--locked", flags.locked, "chip: every chip starts with its flash locked");
}

// The chips of `--device chip` in their tray; null after a reported usage error.
std::unique_ptr<ChipTray> MakeChipTray(const BootChipFlags& flags, const ChipOptions& chip_options,
                                       bool strict) {
  const PartCatalogue catalogue;
  const auto code = catalogue.FindPartCode(CurrentPartName(flags.part), 0, kIspCodesLast);
  if (!code || flags.part.empty()) {
    std::cerr << "quillet-sim: --device chip takes --part NAME, a part of the ISP list\n";
    return nullptr;
  }
  BootChipOptions options;
  try {
    options.baud_code = static_cast<uint8_t>(ParseNumber(flags.baud_code));
    for (const auto& text : flags.probe_answers)
      options.probe_answers.push_back(static_cast<uint8_t>(ParseNumber(text)));
  } catch (const std::exception&) {
    std::cerr << "quillet-sim: --baud-code and --probe-answers take bytes such as 0x73\n";
    return nullptr;
  }
  options.erase_time = Millis(flags.erase_ms);
  options.program_time = Millis(flags.program_ms);
  options.config_time = Millis(flags.config_ms);
  options.strict = strict;
  options.strict_slack = Millis(20);  // the server's wake-ups place the host's bytes no better
  options.locked = flags.locked;
  const ChipTrayOptions tray{Millis(flags.reset_after), chip_options.chips, chip_options.dump_folder, false};
  return std::make_unique<ChipTray>(GeometryOf(catalogue.Row(*code)), options, tray);
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
  BootChipFlags boot_chip;
  app.add_option("--device", device_kind, "programmer, gang, chip (a boot-loader chip) or silent")
      ->check(CLI::IsMember({"programmer", "gang", "chip", "silent"}));
  app.add_option(
      "--type", type_text,
      "type code the Programmer's firmware (gang: each socket's) answers to 0xC0 (default 0xAB, ICP)");
  app.add_option("--fw-version", version_text,
                 "firmware version (gang: the gang controller's; default 0x0710)");
  app.add_option("--decoys", decoys, "silent terminals served before the device")->check(CLI::Range(0, 16));
  app.add_option("--trace", trace_path, "write the device's wire trace to this file");
  app.add_option("--fault", fault_texts,
                 "inject a fault, kind:n (chip: 'Z', 0xA5 and CONFIG replies are its acknowledges); kinds: " +
                     FaultKindNames());
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
  AddChipFlags(app, chip_options);
  app.add_option("--chips", chip_options.chips,
                 "chips to program, a fresh one after each (default 0: no end)");
  app.add_option("--dump", chip_options.dump_folder,
                 "write chips.csv and each programmed chip's contents (chipK-*.bin) into this folder");
  app.add_option("--gang-result", chip_options.gang_result,
                 "gang result byte: auto (the sockets' outcome), none (never sent) or a value such as 0x3C");
  app.add_option("--sync-delay", chip_options.sync_delay,
                 "milliseconds before the gang's first sync byte (default 20)")
      ->check(CLI::Range(0, 60000));
  AddBootChipFlags(app, boot_chip);
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
  if (!ApplyChipFlags(chip_options, feeder)) return 2;
  if (!firmware_folder.empty()) return WriteFirmware(firmware_folder, version, firmware_size);
  std::unique_ptr<ChipTray> tray;
  if (device_kind == "chip") {
    tray = MakeChipTray(boot_chip, chip_options, strict);
    if (!tray) return 2;
    if (!chip_options.dump_folder.empty() && !std::filesystem::is_directory(chip_options.dump_folder) &&
        !std::filesystem::create_directories(chip_options.dump_folder)) {
      std::cerr << "quillet-sim: cannot write into " << chip_options.dump_folder << "\n";
      return 1;
    }
  }

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
  } else if (tray) {
    devices.push_back(std::move(tray));
  } else {
    devices.push_back(std::make_unique<SilentDevice>());
  }
  // The chip judges pauses itself.
  const std::string path = server.Add(*devices.back(), faults, trace_path.empty() ? nullptr : &trace,
                                      strict && device_kind != "chip");
  if (path.empty()) {
    std::cerr << "quillet-sim: cannot create a pseudo-terminal\n";
    return 1;
  }
  std::cout << device_kind << " " << path << "\nready" << std::endl;
  server.Start();
  int signal_number = 0;
  sigwait(&stop_signals, &signal_number);
  server.Stop();
  int result = 0;
  if (auto* chips = dynamic_cast<ChipTray*>(devices.back().get()); chips && !chips->DumpChipInHand()) {
    std::cerr << "quillet-sim: cannot write the last chip into " << chip_options.dump_folder << "\n";
    result = 1;
  }
  if (strict)
    trace.Note(server.Now(), "strict: " + std::to_string(server.StrictRefusals()) + " bytes refused");
  trace.Flush();
  return result;
}
