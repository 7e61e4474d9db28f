#pragma once
// The production recorder over a settings file and the Production.csv beside it; the settings file
// keeps the S/N and Chip Counter, the log is the journal of every chip. Written in an order that
// leaves a readable state after a kill at any instant:
//
//   ChipsStarting: STARTED lines, then the settings file with the S/N reserved past the chips;
//   (programming)
//   ChipsFinished: the settings file with the committed S/N and counter, then the result lines.
//
// Whoever opens the settings file (the window at start-up, the `update` verb) holds its lock
// (SettingsLockPath) and first calls ReportInterruptedUpdate, which closes the STARTED lines of a
// run that was cut off.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "core/storage/production_recorder.h"

namespace quillet {

class Clock;
class Reporter;

class SettingsFileRecorder : public ProductionRecorder {
 public:
  using Encode = std::function<std::vector<uint8_t>(const ProductionTally&)>;

  // `encode` gives the whole settings file for a tally. The log's time stamps come from `clock`,
  // the system clock when none is given.
  SettingsFileRecorder(std::string settings_path, Encode encode, Reporter& reporter,
                       const Clock* clock = nullptr);

  // STARTED lines (unwritable log: WARNING "'Production.csv' cannot be written !", 0), then the
  // settings file (cannot be written: FAIL "'GUI.LOG' cannot be created !", a FAIL line per chip,
  // 0: its S/N is handed out again).
  int ChipsStarting(std::span<const ChipStart> chips, const ProductionTally& reserved) override;
  // The settings file, then a PASS, FAIL or SKIPPED line per chip. When the settings file cannot
  // be written the FAIL window says so, every chip is logged SKIPPED (its S/N stays reserved, the
  // result did not reach the disk) and 0 comes back. A result line that cannot be written gives
  // the log's WARNING but still 1: the settings file holds the result.
  int ChipsFinished(std::span<const ChipOutcome> chips, const ProductionTally& committed) override;

 private:
  int WriteSettings(const ProductionTally& tally);
  std::string Now() const;

  std::string settings_path_;
  std::string log_path_;
  Encode encode_;
  Reporter& reporter_;
  const Clock* clock_;
};

// The settings file's bytes as read with only the S/N value (bytes 24-31) and the Chip Counter
// (bytes 34-37) replaced; everything else, a long port name included, is kept as it is. A file
// shorter than the 256-byte record is first completed with the bytes EncodeSettingsRecord gives for
// what start-up restores from it, the bytes the window's Exit would write after starting from it
// (zeros would not do: byte 40 zero means Fast Protocol, increment zero a standing S/N). The
// port-name part stays absent then. A missing file is the caller's: encode the first-run settings.
std::vector<uint8_t> PatchSettingsTally(std::span<const uint8_t> record, const ProductionTally& tally);

// At the start of the window or of `update`: closes each STARTED line of Production.csv that has no
// result line for its socket after it, with a SKIPPED line, and reports the ones whose chip may be
// half-programmed in one WARNING:
//
//   Last update was interrupted !
//
//   ( #1's S/N='00000000,00000123' was not finished )
//   ( #2's S/N='00000000,00000124' was not finished )
//
// ("( #0 was not finished )" without S/N programming). A start is told apart from one cut off
// before its S/N was reserved (no byte went to the chip then) by the settings file: if its S/N is
// still the one that start names, the reservation never reached the disk, and that start and the
// ones after it are closed with a SKIPPED line that names no S/N (the S/N is handed out again) and
// not reported. Without S/N programming nothing tells, so the chip is reported.
// Only the log's last 64 KiB are read: an open start lies among the last lines. Returns 1 when a
// WARNING was shown.
int ReportInterruptedUpdate(const std::string& settings_path, Reporter& reporter,
                            const Clock* clock = nullptr);

}  // namespace quillet
