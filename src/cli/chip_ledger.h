#pragma once
// What the update verb keeps of the chips an update writes down: the counts for its last line and,
// with --json, one line per chip with the fields Production.csv writes and the counter after it.
#include <iostream>
#include <span>
#include <string>

#include "cli/console_reporter.h"
#include "core/storage/production_log.h"
#include "core/storage/production_recorder.h"
#include "core/sys/clock.h"

namespace quillet::cli {

// Sees each chip the update writes down, counts it and, with --json, prints it as one line.
class ChipLedger : public ProductionRecorder {
 public:
  ChipLedger(ProductionRecorder& inner, const Clock& clock, bool json)
      : inner_(inner), clock_(clock), json_(json) {}

  int ChipsStarting(std::span<const ChipStart> chips, const ProductionTally& reserved) override {
    return inner_.ChipsStarting(chips, reserved);
  }
  int ChipsFinished(std::span<const ChipOutcome> chips, const ProductionTally& committed) override;
  int Chips() const { return passed + failed; }

  int passed = 0, failed = 0, skipped_sns = 0;

 private:
  ProductionRecorder& inner_;
  const Clock& clock_;
  bool json_;
};

// The last line of a run of updates: the chips that passed and failed, and `ending` when the run
// ended otherwise than it should ("the updates stopped"); PASS when `all_passed`, else FAIL. The
// exit code.
int ReportUpdateSummary(ConsoleReporter& reporter, const ChipLedger& ledger, bool all_passed,
                        const std::string& ending);

}  // namespace quillet::cli
