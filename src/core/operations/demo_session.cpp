#include "core/operations/demo_session.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "core/serial/port_system.h"

namespace quillet {
namespace {

constexpr int kStartTimeoutMs = 5000;

bool IsExecutable(const std::string& path) {
  return ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string DemoFolder() {
  if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state)
    return std::string(state) + "/quillet-demo/";
  if (const char* home = std::getenv("HOME"); home && *home)
    return std::string(home) + "/.local/state/quillet-demo/";
  return "/tmp/quillet-demo-" + std::to_string(::getuid()) + "/";
}

std::string FindSimulator() {
  if (const char* sim = std::getenv("QUILLET_SIM"); sim && *sim) return sim;
  const std::string folder = ExecutableFolder();
  for (const std::string& candidate : {folder + "quillet-sim", folder + "../sim/quillet-sim"}) {
    if (IsExecutable(candidate)) return candidate;
  }
  return folder + "quillet-sim";
}

int DemoSession::StartDevice(const std::string& simulator, const std::vector<std::string>& arguments,
                             std::string& port, std::string& error) {
  auto device = std::make_unique<ChildProcess>(simulator, arguments);
  while (device->IsRunning()) {
    const auto line = device->ReadLine(kStartTimeoutMs);
    if (!line) break;
    if (*line == "ready") {
      devices_.push_back(std::move(device));
      return port.empty() ? 0 : 1;
    }
    if (const auto space = line->find(' '); space != std::string::npos) port = line->substr(space + 1);
  }
  error = simulator + " did not start";
  return 0;
}

int DemoSession::Start(std::string& error) {
  folder_ = DemoFolder();
  std::error_code failed;
  std::filesystem::create_directories(folder_, failed);
  if (failed) {
    error = folder_ + ": " + failed.message();
    return 0;
  }
  const std::string simulator = FindSimulator();
  if (!IsExecutable(simulator)) {
    error = simulator + ": not found (set QUILLET_SIM to the simulator)";
    return 0;
  }
  if (!std::filesystem::exists(folder_ + "v0710_GangMCU.DAT")) {
    ChildProcess writer(simulator, {"--write-firmware", folder_});
    while (writer.ReadLine(kStartTimeoutMs)) {
    }
  }
  // The storage files let a demo download outlive the run, so the next run's Programmer
  // Information, Update Chip or Verify Chip finds the job where a real Programmer keeps it.
  return StartDevice(
             simulator,
             {"--device", "programmer", "--type", "0xAB", "--storage", folder_ + "programmer.storage"},
             programmer_port_, error) &&
         StartDevice(simulator, {"--device", "gang", "--storage", folder_ + "gang.storage"}, gang_port_,
                     error);
}

void DemoSession::RestrictPortScan() const {
  ::setenv(kSystemPortsVariable, "0", 1);
  // The Gang Programmer first: a gang scan takes the first port that answers a type query, which a
  // single Programmer answers too, while a single search passes the Gang Programmer over.
  ::setenv(kExtraPortsVariable, (gang_port_ + ":" + programmer_port_).c_str(), 1);
}

}  // namespace quillet
