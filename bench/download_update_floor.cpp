// A 128 KB APROM download and the ICP update that follows it, at 115200 baud through the termios
// backend against the simulator on a pseudo-terminal, in real time. The floor of each is the same
// exchange run in virtual time against the same simulated Programmer: there the clock moves only by
// the wire time of each byte, the pauses the protocol prescribes and the device's own time, so it
// is what the protocol costs. Prints measured time over floor.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include <unistd.h>

#include "core/images/image_loader.h"
#include "core/operations/chip_operations.h"
#include "core/operations/workbench.h"
#include "core/report/recording_reporter.h"
#include "sim/programmer_model.h"
#include "sim/pty_server.h"
#include "sim/virtual_port.h"

namespace {

using namespace quillet;

constexpr uint32_t kImageSize = 128 * 1024;
constexpr uint8_t kIcpType = 0xAD;  // the firmware variant the part needs
constexpr char kPart[] = "QVAB128LB";
constexpr int kRuns = 3;

// The job: the part, and its APROM image from a file in `folder`.
int PrepareJob(Workbench& bench, const std::filesystem::path& folder) {
  if (!bench.ChoosePart(kPart, kTypeIcp)) return 0;
  const std::string path = (folder / "aprom.bin").string();
  if (!std::filesystem::exists(path)) {
    std::vector<char> bytes(kImageSize);
    for (uint32_t i = 0; i < kImageSize; ++i) bytes[i] = static_cast<char>(i * 13 + (i >> 8));
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }
  AttachImageFile(bench.images().aprom, path);
  bench.job().ApromSelected = true;
  bench.job().DataFlashSelected = bench.job().LdromSelected = false;
  return 1;
}

struct Step {
  const char* name;
  std::function<bool(Workbench&)> run;
};
const Step kSteps[] = {
    {"download 128 KB", [](Workbench& bench) { return DownloadProgrammer(bench) == 1; }},
    {"ICP update 128 KB", [](Workbench& bench) { return UpdateChip(bench) == UpdateOutcome::Passed; }},
};

// Each step's time in virtual time: the floor.
std::vector<double> Floors(const std::filesystem::path& folder) {
  VirtualClock clock;
  RecordingReporter reporter(clock);
  NullOperationDisplay display;
  Workbench bench(clock, reporter, display, folder.string(), PortSources{false, "", {}});
  sim::ProgrammerModel device(kIcpType, 0x0710);
  sim::SimulatedPort line(bench.ports(), "sim:1", device, clock, {}, nullptr, true);
  bench.job().SetPortName("sim:1");
  std::vector<double> floors;
  if (!PrepareJob(bench, folder)) return floors;
  for (const Step& step : kSteps) {
    const Micros start = clock.NowMicros();
    if (!step.run(bench)) {
      std::fprintf(stderr, "%s failed in virtual time: %s\n", step.name, reporter.ResultMessage().c_str());
      return {};
    }
    floors.push_back(std::chrono::duration<double>(clock.NowMicros() - start).count());
  }
  bench.port().ClosePort();
  return floors;
}

}  // namespace

int main() {
  const auto folder =
      std::filesystem::temp_directory_path() / ("quillet-bench-ops-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::vector<double> floors = Floors(folder);
  if (floors.size() != std::size(kSteps)) return 1;

  sim::ProgrammerModel device(kIcpType, 0x0710);
  sim::PtyServer server;
  const std::string path = server.Add(device, {}, nullptr);
  if (path.empty()) {
    std::fprintf(stderr, "cannot create a pseudo-terminal\n");
    return 1;
  }
  server.Start();
  SystemClock clock;
  RecordingReporter reporter(clock);
  NullOperationDisplay display;
  Workbench bench(clock, reporter, display, folder.string(), PortSources{false, "", {path}});
  bench.job().SetPortName(path);
  if (!PrepareJob(bench, folder)) return 1;

  std::printf("%s at 115200 baud, %s\n", kPart, path.c_str());
  for (std::size_t s = 0; s < std::size(kSteps); ++s) {
    std::vector<double> ratios;
    for (int run = 0; run < kRuns; ++run) {
      reporter.Clear();
      const auto start = std::chrono::steady_clock::now();
      if (!kSteps[s].run(bench)) {
        std::fprintf(stderr, "%s failed: %s\n", kSteps[s].name, reporter.ResultMessage().c_str());
        return 1;
      }
      const double measured = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      ratios.push_back(measured / floors[s]);
      std::printf("%s run %d: measured %.3f s, floor %.3f s, ratio %.4f\n", kSteps[s].name, run + 1, measured,
                  floors[s], ratios.back());
    }
    std::sort(ratios.begin(), ratios.end());
    std::printf("%s: median ratio %.4f (best %.4f)\n", kSteps[s].name, ratios[ratios.size() / 2],
                ratios.front());
  }
  bench.port().ClosePort();
  server.Stop();
  std::filesystem::remove_all(folder);
  return 0;
}
