#pragma once
// GUI.LOG: the settings of the last run, a fixed 256-byte record followed by the characters of the
// Programmer's port name. Read once at start-up, written when the window closes.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/job/job_settings.h"

namespace quillet {

class Reporter;

constexpr std::size_t kSettingsRecordSize = 256;
constexpr uint32_t kPartCodeCount = 1215;
constexpr uint32_t kFirstRunPartCode = 2;
inline constexpr char kSettingsFileName[] = "GUI.LOG";
// Where the two settings that every update moves lie: the S/N value (8 bytes packed BCD) and the
// Chip Counter (4 bytes little-endian).
constexpr std::size_t kSnValueOffset = 24;
constexpr std::size_t kChipCounterOffset = 34;

// Settings that a run without GUI.LOG starts with: ISP, part 2, the first serial port, S/N 0 with
// increment 1. The other fields keep their initial values.
void ApplyFirstRunDefaults(JobSettings& job);

// Restores the settings from the bytes of a GUI.LOG, as start-up does. A field that lies wholly or
// partly past the end of a short file keeps its current value. A port-name part longer than the
// 16-byte buffer cannot name a port we could open, so it leaves the name empty (the next Programmer
// operation then scans for the Programmer) rather than cutting it into another device's name.
// A part code beyond the catalogue, or a type or mode nibble that no version writes, falls back to
// the first-run value, so a damaged file never leaves the window without a valid part or type.
void RestoreSettingsRecord(std::span<const uint8_t> file, JobSettings& job);

// The exact bytes of GUI.LOG for these settings.
std::vector<uint8_t> EncodeSettingsRecord(const JobSettings& job);

// Start-up: reads the file at `path`; when it cannot be read applies the first-run defaults.
// Returns whether the file was there.
bool LoadSettingsFile(const std::string& path, JobSettings& job);

// Exit and Cancel: writes GUI.LOG atomically. On failure shows "'GUI.LOG' cannot be created !" and
// returns 0; the window closes all the same.
int SaveSettingsFile(const std::string& path, const JobSettings& job, Reporter& reporter);

}  // namespace quillet
