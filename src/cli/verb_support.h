#pragma once
// What the verbs share: -q and --json, usage errors, the system's reason for a file that cannot be
// read, the common keys of a verb's JSON, and the texts of the help pages.
#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "cli/console_reporter.h"
#include "core/report/operation_display.h"

namespace quillet::cli {

inline constexpr char kProgram[] = "quillet-cli";

// -q/--quiet (no PASS line) and, where `json` is set, --json.
void AddOutputOptions(CLI::App& verb, OutputOptions& options, bool json = true);

// "quillet-cli: <what>" and "  <hint>" on stderr; returns the exit code of a usage error, 2.
int UsageError(const std::string& what, const std::string& hint);

// "job.TPJ: Permission denied": why `path` cannot be read (a folder where a file is expected says so).
std::string ReadFailureReason(const std::string& path);
// The reason, when `path` is there but cannot be read; nothing when it reads or does not exist.
std::optional<std::string> UnreadableReason(const std::string& path);
// The same for a file that could not be written: its folder missing or not writable, or a folder
// where the file should be.
std::string WriteFailureReason(const std::string& path);

// {"result": "PASS" or "FAIL", "message", "detail", "warnings": [{"message", "detail"}]} from what
// the reporter said; the verb adds its own keys.
nlohmann::ordered_json ResultJson(const ConsoleReporter& reporter);
void PrintJson(const nlohmann::ordered_json& json);

// The help page's end: what the exit codes mean, the environment variables the verb reads, an
// example. `variables` may be empty.
std::string HelpFooter(const std::string& exit_codes, const std::string& variables,
                       const std::string& example);

inline constexpr char kExitCodes[] =
    "Exit codes: 0 done; 1 the operation failed (its message on stderr); 2 a usage error.";
inline constexpr char kPortVariables[] =
    "  QUILLET_EXTRA_PORTS        more ports to scan, colon-separated paths (pseudo-terminals of\n"
    "                             quillet-sim, for example)\n"
    "  QUILLET_SCAN_SYSTEM_PORTS  0 leaves the serial devices of the system out of the scan\n";
inline constexpr char kFirmwareVariable[] =
    "  QUILLET_FIRMWARE_DIR       the firmware folder when --firmware-dir is not given\n";

}  // namespace quillet::cli
