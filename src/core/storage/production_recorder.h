#pragma once
// Where an update writes down each chip it programs: the S/N and Chip Counter that the settings
// file keeps, and the production log. The update reserves a chip's S/N in the settings file before
// the byte that starts programming, and commits the counter and S/N at the result, before any PASS
// window; a run cut off between the two leaves the log's STARTED line without its result, which
// the next start reports. The window and the CLI supply a recorder over their settings file; tests
// record; a run that keeps no records uses NullProductionRecorder.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "core/job/job_settings.h"

namespace quillet {

// The two settings the updates move: what the settings file must hold after a step.
struct ProductionTally {
  SplitDecimal sn;
  uint32_t counter = 0;
  bool operator==(const ProductionTally&) const = default;
};

// One chip about to be programmed: socket 0 for a single Programmer or the boot loader, 1..4 in a
// Gang Programmer; its S/N when S/N programming hands it one.
struct ChipStart {
  uint8_t socket = 0;
  std::optional<SplitDecimal> sn;
};

enum class ChipResult { Passed, Failed, Skipped };

struct ChipOutcome {
  uint8_t socket = 0;
  std::optional<SplitDecimal> sn;
  ChipResult result = ChipResult::Failed;
  std::string message;  // the PASS or FAIL text shown for it, on one line in the log
};

class ProductionRecorder {
 public:
  virtual ~ProductionRecorder() = default;
  // Before the byte that starts programming: a STARTED line per chip, then the settings file with
  // `reserved` (the S/N already moved past these chips). 0 after a report when either cannot be
  // written: no chip may be started then.
  virtual int ChipsStarting(std::span<const ChipStart> chips, const ProductionTally& reserved) = 0;
  // At the result: the settings file with `committed`, then a result line per chip. 0 after a
  // report when the settings file cannot be written.
  virtual int ChipsFinished(std::span<const ChipOutcome> chips, const ProductionTally& committed) = 0;
};

class NullProductionRecorder : public ProductionRecorder {
 public:
  int ChipsStarting(std::span<const ChipStart>, const ProductionTally&) override { return 1; }
  int ChipsFinished(std::span<const ChipOutcome>, const ProductionTally&) override { return 1; }
};

}  // namespace quillet
