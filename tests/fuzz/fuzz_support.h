#pragma once
// What the fuzz targets share: the check that stops a run on a broken promise, a reporter that only
// counts, and a scratch folder in memory for the files a target reads and writes.
#include <cstdint>
#include <span>
#include <string>

#include "core/report/reporter.h"
#include "core/sys/clock.h"

// Stops the run, with a stack the fuzzer prints, when a promise of the code under test is broken.
#define FUZZ_CHECK(condition)           \
  do {                                  \
    if (!(condition)) __builtin_trap(); \
  } while (0)

namespace quillet::fuzz {

class CountingReporter final : public Reporter {
 public:
  using Reporter::Reporter;
  void SetStatus(const std::string&) override {}
  void SetProgressRange(int, int) override {}
  void SetProgressStep(int) override {}
  void SetProgressPos(int) override {}
  void StepIt() override {}
  void PlaySound(Sound) override {}
  void PassWindow(const std::string&, const std::string&) override { ++passes; }
  void FailWindow(const std::string&, const std::string&) override { ++fails; }
  void WarningBox(const std::string&) override { ++warnings; }
  void DebugBox(const std::string&) override { ++debugs; }
  void PlainBox(const std::string&, const std::string&) override { ++debugs; }
  void StartAutoClose() override {}
  void StopAutoClose() override {}

  int passes = 0;
  int fails = 0;
  int warnings = 0;
  int debugs = 0;
};

// A folder of its own for this process (in /dev/shm when there is one, so that the synced writes
// cost nothing), removed when the process ends. Ends with '/'.
const std::string& ScratchFolder();

// Writes `bytes` to ScratchFolder() + name and returns the path.
std::string WriteScratchFile(const std::string& name, std::span<const uint8_t> bytes);

}  // namespace quillet::fuzz
