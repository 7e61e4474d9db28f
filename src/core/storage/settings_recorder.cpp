#include "core/storage/settings_recorder.h"

#include <algorithm>
#include <cstring>

#include "core/report/reporter.h"
#include "core/storage/packed_bcd.h"
#include "core/storage/production_log.h"
#include "core/storage/settings_record.h"
#include "core/sys/clock.h"
#include "core/sys/file_io.h"

namespace quillet {
namespace {

constexpr char kLogUnwritable[] = "'Production.csv' cannot be written !";
constexpr char kSettingsUnwritable[] = "'GUI.LOG' cannot be created !";
constexpr std::size_t kScannedTail = 64 * 1024;

std::string TimeStamp(const Clock* clock) {
  return FormatTimeStamp(clock ? clock->LocalTime() : SystemClock().LocalTime());
}

// One line per chip, all with the same time, event and (when given) message.
template <typename Chip>
std::vector<ProductionLogLine> LinesFor(std::span<const Chip> chips, const std::string& time, LogEvent event,
                                        const std::string& message) {
  std::vector<ProductionLogLine> lines;
  for (const Chip& chip : chips) lines.push_back({time, chip.socket, chip.sn, event, message});
  return lines;
}

LogEvent EventOf(ChipResult result) {
  switch (result) {
    case ChipResult::Passed:
      return LogEvent::Passed;
    case ChipResult::Skipped:
      return LogEvent::Skipped;
    case ChipResult::Failed:
      break;
  }
  return LogEvent::Failed;
}

// The STARTED lines that no result line followed: per socket, each result line closes the latest
// open start of its socket. Oldest first.
std::vector<ProductionLogLine> OpenStarts(const std::vector<ProductionLogLine>& lines) {
  std::vector<std::size_t> open[5];
  for (std::size_t i = 0; i < lines.size(); ++i) {
    auto& stack = open[lines[i].socket];
    if (lines[i].event == LogEvent::Started) {
      stack.push_back(i);
    } else if (!stack.empty()) {
      stack.pop_back();
    }
  }
  std::vector<std::size_t> indexes;
  for (const auto& stack : open) indexes.insert(indexes.end(), stack.begin(), stack.end());
  std::sort(indexes.begin(), indexes.end());
  std::vector<ProductionLogLine> starts;
  for (std::size_t i : indexes) starts.push_back(lines[i]);
  return starts;
}

std::string NotFinished(const ProductionLogLine& start) {
  const std::string socket = "( #" + std::to_string(start.socket);
  if (!start.sn) return socket + " was not finished )";
  return socket + "'s S/N='" + FormatSnValue(*start.sn) + "' was not finished )";
}

}  // namespace

SettingsFileRecorder::SettingsFileRecorder(std::string settings_path, Encode encode, Reporter& reporter,
                                           const Clock* clock)
    : settings_path_(std::move(settings_path)),
      log_path_(ProductionLogPath(settings_path_)),
      encode_(std::move(encode)),
      reporter_(reporter),
      clock_(clock) {}

int SettingsFileRecorder::WriteSettings(const ProductionTally& tally) {
  return WriteFileAtomically(settings_path_, encode_(tally));
}

int SettingsFileRecorder::ChipsStarting(std::span<const ChipStart> chips, const ProductionTally& reserved) {
  const std::string time = TimeStamp(clock_);
  if (!AppendProductionLines(log_path_, LinesFor(chips, time, LogEvent::Started, ""))) {
    reporter_.ShowWarning(kLogUnwritable);
    return 0;
  }
  if (WriteSettings(reserved)) return 1;
  // Nothing was reserved, so each S/N is handed out again: the chips end as failed ones.
  AppendProductionLines(log_path_, LinesFor(chips, time, LogEvent::Failed, kSettingsUnwritable));
  reporter_.ShowFail(kSettingsUnwritable);
  return 0;
}

int SettingsFileRecorder::ChipsFinished(std::span<const ChipOutcome> chips,
                                        const ProductionTally& committed) {
  const std::string time = TimeStamp(clock_);
  if (!WriteSettings(committed)) {
    // The file still holds the reservation: the S/Ns are used up without a recorded result.
    AppendProductionLines(log_path_, LinesFor(chips, time, LogEvent::Skipped, kSettingsUnwritable));
    reporter_.ShowFail(kSettingsUnwritable);
    return 0;
  }
  std::vector<ProductionLogLine> lines;
  for (const ChipOutcome& chip : chips)
    lines.push_back({time, chip.socket, chip.sn, EventOf(chip.result), chip.message});
  if (!AppendProductionLines(log_path_, lines)) reporter_.ShowWarning(kLogUnwritable);
  return 1;
}

std::vector<uint8_t> PatchSettingsTally(std::span<const uint8_t> record, const ProductionTally& tally) {
  std::vector<uint8_t> bytes(record.begin(), record.end());
  if (bytes.size() < kSettingsRecordSize) {
    JobSettings restored;
    RestoreSettingsRecord(record, restored);
    const std::vector<uint8_t> full = EncodeSettingsRecord(restored);
    bytes.insert(bytes.end(), full.begin() + static_cast<std::ptrdiff_t>(bytes.size()),
                 full.begin() + kSettingsRecordSize);
  }
  const PackedBcd sn = ToPackedBcd(tally.sn);
  std::memcpy(&bytes[kSnValueOffset], sn.data(), sn.size());
  for (std::size_t i = 0; i < 4; ++i)
    bytes[kChipCounterOffset + i] = static_cast<uint8_t>(tally.counter >> (8 * i));
  return bytes;
}

int ReportInterruptedUpdate(const std::string& settings_path, Reporter& reporter, const Clock* clock) {
  const std::string log_path = ProductionLogPath(settings_path);
  const std::vector<ProductionLogLine> starts = OpenStarts(ReadProductionTail(log_path, kScannedTail));
  if (starts.empty()) return 0;

  // The S/N the next chip would get. Equal to an open start's: that start's reservation never
  // reached the disk, and neither did those of the starts after it.
  JobSettings settings;
  LoadSettingsFile(settings_path, settings);
  const auto unreserved = std::find_if(starts.begin(), starts.end(), [&](const ProductionLogLine& start) {
    return start.sn && *start.sn == settings.SnValue;
  });

  const std::string time = TimeStamp(clock);
  std::vector<ProductionLogLine> closing;
  std::string warning;
  for (auto start = starts.begin(); start != starts.end(); ++start) {
    if (start >= unreserved && start->sn) {
      closing.push_back({time, start->socket, std::nullopt, LogEvent::Skipped,
                         "Not finished: S/N " + FormatLogSn(*start->sn) + " is handed out again"});
      continue;
    }
    closing.push_back({time, start->socket, start->sn, LogEvent::Skipped, "Last update was interrupted"});
    warning += "\n" + NotFinished(*start);
  }
  // The warning before the lines: a run cut off while it shows warns again at the next start.
  if (!warning.empty()) reporter.ShowWarning("Last update was interrupted !\n" + warning);
  if (!AppendProductionLines(log_path, closing)) reporter.ShowWarning(kLogUnwritable);
  return warning.empty() ? 0 : 1;
}

}  // namespace quillet
