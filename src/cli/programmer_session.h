#pragma once
// What the Programmer verbs (search, fwupdate) share: their options, and the workbench a Programmer
// operation runs on (settings from GUI.LOG, the part chosen as the window chooses it, the serial
// port with its optional wire trace), with the console as its reporter and display. A port the
// user names is the only port touched.
#include <CLI/CLI.hpp>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

#include "cli/console_reporter.h"
#include "core/operations/workbench.h"
#include "core/report/operation_display.h"
#include "core/serial/wire_trace.h"
#include "core/sys/clock.h"

namespace quillet::cli {

// Where firmware files are looked up when neither --firmware-dir nor this variable names a folder:
// the folder of the quillet-cli executable.
inline constexpr char kFirmwareDirVariable[] = "QUILLET_FIRMWARE_DIR";

// The settings file the Programmer verbs start from unless --settings names one: GUI.LOG in the
// current folder, or the demo's.
void SetDefaultSettingsFile(std::string path);
const std::string& DefaultSettingsFile();

struct LinkOptions {
  std::string port;
  std::string trace;
  std::string part;
  std::string mode;  // "isp" or "icp" with a part; empty: the type of the part's list
  std::string settings = DefaultSettingsFile();
  std::string firmware_dir;
  bool gang = false;
  OutputOptions output;
};

// --port, --trace, --part, --settings, --firmware-dir, -q, --json.
void AddLinkOptions(CLI::App& verb, LinkOptions& options);

// The main window's fields and cancel path, kept for the verb to print; says on stderr what the
// window leaves unsaid (a firmware variant switch) and lets a transfer finish before Ctrl-C.
class CliDisplay : public OperationDisplay {
 public:
  explicit CliDisplay(ConsoleReporter& console) : console_(console) {}
  void ShowPortField(const std::string& text) override { port_field = text; }
  void ShowProgrammerType(const std::string& word) override { programmer_type = word; }
  void ShowSerialNumber(uint32_t high, uint32_t low) override { serial_number = {high, low}; }
  void ShowChipCounter(uint32_t counter) override { chip_counter = counter; }
  void CancelProgram() override { cancelled = true; }
  void AnnounceFirmwareSwitch(std::string_view from_word, std::string_view to_word) override;
  void TransferStarted() override;
  void TransferEnded() override;

  std::string port_field;
  std::string programmer_type;
  std::pair<uint32_t, uint32_t> serial_number;
  uint32_t chip_counter = 0;
  bool cancelled = false;

 private:
  ConsoleReporter& console_;
};

class ProgrammerSession {
 public:
  // Nothing after a usage error (exit code 2) or a port that cannot be opened (exit code 1); the
  // message is on `err` and `exit_code` says which.
  static std::unique_ptr<ProgrammerSession> Create(const LinkOptions& options, std::ostream& out,
                                                   std::ostream& err, int& exit_code);

  Workbench& bench() { return bench_; }
  ProgrammerLink& link() { return bench_.link(); }
  SerialPort& port() { return bench_.port(); }
  const CliDisplay& display() const { return display_; }
  ConsoleReporter& reporter() { return reporter_; }
  // FAIL messages shown so far; an operation failed when it added one.
  int FailureCount() const { return reporter_.FailureCount(); }
  bool Failed() const { return reporter_.FailureCount() > 0 || display_.cancelled; }
  // The next step a verb says after one of its own messages; the link's messages keep theirs.
  void SetVerbNextStep(std::function<std::string(const std::string&)> next_step);

 private:
  ProgrammerSession(std::ostream& out, std::ostream& err, OutputOptions output, std::string firmware_folder,
                    PortSources sources);
  // Settings from GUI.LOG with the options applied; false after printing a usage error.
  bool Apply(const LinkOptions& options, const std::optional<std::string>& named_port);

  bool named_port_ = false;
  std::function<std::string(const std::string&)> verb_next_step_;
  SystemClock clock_;
  WireTrace trace_;
  ConsoleReporter reporter_;
  CliDisplay display_;
  Workbench bench_;
};

// The device node a --port names: a name without '/' lives under /dev; links (/dev/serial/by-id/...)
// are followed; names of virtual ports (with ':') are kept. Nothing, with `reason` set, when the
// port does not exist or cannot be opened, or its node's name is longer than 15 characters.
std::optional<std::string> ResolvePortArgument(const std::string& name, std::string& reason);
// --firmware-dir, else $QUILLET_FIRMWARE_DIR, else the executable's folder.
std::string FirmwareFolder(const std::string& option);

}  // namespace quillet::cli
