#include "cli/chip_ledger.h"

#include <nlohmann/json.hpp>

namespace quillet::cli {

int ChipLedger::ChipsFinished(std::span<const ChipOutcome> chips, const ProductionTally& committed) {
  const int written = inner_.ChipsFinished(chips, committed);
  for (const ChipOutcome& chip : chips) {
    // A skipped chip did not pass either (it failed while others passed, or its result never
    // came); its S/N is used up.
    ++(chip.result == ChipResult::Passed ? passed : failed);
    if (chip.result == ChipResult::Skipped && chip.sn) ++skipped_sns;
    if (!json_) continue;
    // The fields as Production.csv writes them.
    static constexpr const char* kResults[] = {"PASS", "FAIL", "SKIPPED"};
    nlohmann::ordered_json line = {{"time", FormatTimeStamp(clock_.LocalTime())},
                                   {"socket", chip.socket},
                                   {"sn", chip.sn ? nlohmann::ordered_json(FormatLogSn(*chip.sn)) : nullptr},
                                   {"result", kResults[static_cast<int>(chip.result)]},
                                   {"message", FoldLines(chip.message)},
                                   {"counter", committed.counter}};
    std::cout << line.dump() << std::endl;
  }
  return written;
}

int ReportUpdateSummary(ConsoleReporter& reporter, const ChipLedger& ledger, bool all_passed,
                        const std::string& ending) {
  std::string summary = std::to_string(ledger.passed) + (ledger.passed == 1 ? " chip" : " chips") +
                        " passed, " + std::to_string(ledger.failed) + " failed";
  if (ledger.skipped_sns > 0)
    summary += " (" + std::to_string(ledger.skipped_sns) + (ledger.skipped_sns == 1 ? " S/N" : " S/Ns") +
               " skipped)";
  if (!ending.empty()) summary += "; " + ending;
  if (all_passed) {
    reporter.ShowPass(summary);
    return 0;
  }
  reporter.SetDetail("Production.csv beside the settings file lists each chip");
  reporter.ShowFail(summary);
  return 1;
}

}  // namespace quillet::cli
