// A 14,336-byte Programmer firmware update at 115200 baud through the termios backend against the
// simulator on a pseudo-terminal, in real time. Prints the measured time over the protocol floor:
// the wire time of every byte that went either way plus the pauses the protocol prescribes (1 ms
// after the command, 1 ms between the header bytes, 500 ms after the header, 2000 ms at the end).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <vector>

#include <unistd.h>

#include "core/operations/workbench.h"
#include "core/report/recording_reporter.h"
#include "sim/firmware_image.h"
#include "sim/programmer_model.h"
#include "sim/pty_server.h"
#include "sim/sim_engine.h"

namespace {

using namespace quillet;

constexpr std::size_t kFirmwareSize = 14336;
constexpr int kRuns = 3;
constexpr Millis kPrescribedPauses{1 + 4 + 500 + 2000};

}  // namespace

int main() {
  const auto folder =
      std::filesystem::temp_directory_path() / ("quillet-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const VariantInfo& icp = Info(FirmwareVariant::Icp);
  sim::WriteBytes((folder / std::string(icp.file)).string(),
                  sim::ScrambledFile(sim::MakeFirmwareImage({icp.type_code, 0x0710}, kFirmwareSize)));

  sim::ProgrammerModel device(icp.type_code, 0x0700);
  WireTrace trace;
  sim::PtyServer server;
  const std::string path = server.Add(device, {}, &trace);
  if (path.empty()) {
    std::fprintf(stderr, "cannot create a pseudo-terminal\n");
    return 1;
  }
  server.Start();

  SystemClock clock;
  RecordingReporter reporter(clock);
  NullOperationDisplay display;
  Workbench bench(clock, reporter, display, folder.string(), PortSources{false, "", {}});
  SerialPort& port = bench.port();
  ProgrammerLink& link = bench.link();
  if (!port.OpenPort(path, 115200)) {
    std::fprintf(stderr, "cannot open %s\n", path.c_str());
    return 1;
  }
  link.Variant = FirmwareVariant::Icp;

  std::vector<double> ratios;
  std::printf("firmware update, %zu bytes at %u baud, %s\n", kFirmwareSize, port.Line().baud_rate,
              path.c_str());
  for (int run = 0; run < kRuns; ++run) {
    trace.Clear();
    reporter.Clear();
    const auto start = std::chrono::steady_clock::now();
    const int result = link.UpdateProgrammerFirmware();
    const double measured = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!result) {
      std::fprintf(stderr, "update failed: %s\n", reporter.ResultMessage().c_str());
      return 1;
    }
    const std::size_t bytes = trace.Events().size();
    const double wire = static_cast<double>(bytes) * BitsPerByte(port.Line()) / port.Line().baud_rate;
    const double floor = wire + std::chrono::duration<double>(kPrescribedPauses).count();
    ratios.push_back(measured / floor);
    std::printf(
        "run %d: %zu bytes on the wire, measured %.3f s, floor %.3f s (wire %.3f s + pauses %.3f s), ratio "
        "%.4f\n",
        run + 1, bytes, measured, floor, wire, std::chrono::duration<double>(kPrescribedPauses).count(),
        ratios.back());
  }
  std::sort(ratios.begin(), ratios.end());
  std::printf("median ratio %.4f (best %.4f)\n", ratios[ratios.size() / 2], ratios.front());
  server.Stop();
  std::filesystem::remove_all(folder);
  return 0;
}
