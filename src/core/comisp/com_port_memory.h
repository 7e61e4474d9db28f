#pragma once
// GUI_ComPortISP.LOG, beside GUI.LOG: the device path of the port on which a chip was last found
// for ISP by COM Port, bare (no terminator, no line end). The scan reads it to preselect that port;
// every chip found writes it again. A write goes through a temporary file, so the file is always
// whole: the old name or the new one.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace quillet {

class Reporter;

inline constexpr char kComPortFileName[] = "GUI_ComPortISP.LOG";

// The file beside the settings file at `settings_path` ("GUI.LOG" alone: the current folder).
std::string ComPortFilePath(const std::string& settings_path);

// The port a file's content names, or "" when it names none: longer than 15 bytes (no stored port
// name is that long), empty, or holding a control byte (a damaged or foreign file). One line end
// after the name is allowed, for a file written by hand.
std::string ComPortNameFromContent(std::span<const uint8_t> content);

// The name the file holds ("" when it names no port), or nothing when there is no file to read.
std::optional<std::string> ReadComPortFile(const std::string& path);

// 1 when the file holds exactly `device_path`, 0 when it could not be written (nothing shown).
int WriteComPortFile(const std::string& path, const std::string& device_path);

// A chip was found on `device_path`: remember it. A file that cannot be written is reported
// ("'GUI_ComPortISP.LOG' cannot be saved !") and the update goes on; returns 1 when written.
int RememberChipPort(const std::string& path, const std::string& device_path, Reporter& reporter);

}  // namespace quillet
