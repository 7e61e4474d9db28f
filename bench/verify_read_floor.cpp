// Read Chip in ICP of 128 KB APROM, 4 KB DataFlash and 4 KB LDROM, and Verify Chip in ISP of a 64 KB
// APROM, at 115200 baud through the termios backend against a Programmer holding the chip on a
// pseudo-terminal, in real time. The floor of each is the same exchange in virtual time against the
// same device: the clock moves only by the wire time of each byte, the pauses the protocol
// prescribes and the device's own time. Prints measured time over floor.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "core/images/image_loader.h"
#include "core/operations/chip_reading.h"
#include "core/operations/workbench.h"
#include "core/report/recording_reporter.h"
#include "sim/programmer_model.h"
#include "sim/pty_server.h"
#include "sim/virtual_port.h"

namespace {

using namespace quillet;

constexpr int kRuns = 3;

uint8_t ChipByte(uint32_t i) {
  return static_cast<uint8_t>(i * 13 + (i >> 8));
}

// A Programmer running `type_code` whose chip holds ChipByte in every area, its CONFIG blank.
struct Device {
  explicit Device(uint8_t type_code) : programmer(type_code, 0x0710) {
    std::vector<uint8_t> bytes(kImageCapacity);
    for (uint32_t i = 0; i < kImageCapacity; ++i) bytes[i] = ChipByte(i);
    feeder.Blank(0).areas = {bytes, bytes, bytes};
    programmer.SetFeeder(feeder, 0);
  }
  sim::ChipFeeder feeder;
  sim::ProgrammerModel programmer;
};

struct Case {
  const char* name;
  const char* part;
  uint8_t type;
  uint8_t type_code;  // the firmware variant the part needs
  uint32_t aprom;     // the image verified (0: a read)
  std::function<bool(Workbench&)> run;
};
const Case kCases[] = {
    {"ICP read 128+4+4 KB", "QVAB128LB", kTypeIcp, 0xAD, 0,
     [](Workbench& bench) { return ReadChipQuiet(bench) == 1 && bench.read().LdromWasRead; }},
    {"ISP verify 64 KB", "QLB064D", kTypeIsp, 0xAA, 64 * 1024,
     [](Workbench& bench) { return VerifyChip(bench) == 1; }},
};

// The job: the part, and the APROM image (the chip's bytes) from a file in `folder`.
int PrepareJob(Workbench& bench, const Case& c, const std::filesystem::path& folder) {
  if (!bench.ChoosePart(c.part, c.type)) return 0;
  bench.job().ApromSelected = bench.job().DataFlashSelected = bench.job().LdromSelected = false;
  if (!c.aprom) return 1;
  const std::string path = (folder / "aprom.bin").string();
  std::vector<char> bytes(c.aprom);
  for (uint32_t i = 0; i < c.aprom; ++i) bytes[i] = static_cast<char>(ChipByte(i));
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  AttachImageFile(bench.images().aprom, path);
  bench.job().ApromSelected = true;
  return 1;
}

// The case in virtual time: the floor, in seconds; negative when it failed.
double Floor(const Case& c, const std::filesystem::path& folder) {
  VirtualClock clock;
  RecordingReporter reporter(clock);
  NullOperationDisplay display;
  Workbench bench(clock, reporter, display, folder.string(), PortSources{false, "", {}});
  Device device(c.type_code);
  sim::SimulatedPort line(bench.ports(), "sim:1", device.programmer, clock, {}, nullptr, true);
  bench.job().SetPortName("sim:1");
  if (!PrepareJob(bench, c, folder)) return -1;
  const Micros start = clock.NowMicros();
  const bool done = c.run(bench);
  bench.port().ClosePort();
  if (!done)
    std::fprintf(stderr, "%s failed in virtual time: %s\n", c.name, reporter.ResultMessage().c_str());
  return done ? std::chrono::duration<double>(clock.NowMicros() - start).count() : -1;
}

int Measure(const Case& c, const std::filesystem::path& folder) {
  const double floor = Floor(c, folder);
  if (floor < 0) return 1;
  Device device(c.type_code);
  sim::PtyServer server;
  const std::string path = server.Add(device.programmer);
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
  if (!PrepareJob(bench, c, folder)) return 1;
  std::printf("%s: %s at 115200 baud, %s\n", c.name, c.part, path.c_str());
  std::vector<double> ratios;
  for (int run = 0; run < kRuns; ++run) {
    reporter.Clear();
    const auto start = std::chrono::steady_clock::now();
    if (!c.run(bench)) {
      std::fprintf(stderr, "%s failed: %s\n", c.name, reporter.ResultMessage().c_str());
      return 1;
    }
    const double measured = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ratios.push_back(measured / floor);
    std::printf("%s run %d: measured %.3f s, floor %.3f s, ratio %.4f\n", c.name, run + 1, measured, floor,
                ratios.back());
  }
  std::sort(ratios.begin(), ratios.end());
  std::printf("%s: median ratio %.4f (best %.4f)\n", c.name, ratios[ratios.size() / 2], ratios.front());
  bench.port().ClosePort();
  server.Stop();
  return 0;
}

}  // namespace

int main() {
  const auto folder =
      std::filesystem::temp_directory_path() / ("quillet-bench-read-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  int failed = 0;
  for (const Case& c : kCases) failed |= Measure(c, folder);
  std::filesystem::remove_all(folder);
  return failed;
}
