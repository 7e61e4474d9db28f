#pragma once
// What the Programmer verbs (search, fwupdate) share: their options, and the workbench a Programmer
// operation runs on (settings from GUI.LOG, the part chosen as the window chooses it, the serial
// port with its optional wire trace), with the console as its reporter and display.
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

struct LinkOptions {
  std::string port;
  std::string trace;
  std::string part;
  std::string settings = "GUI.LOG";
  std::string firmware_dir;
  bool gang = false;
};

// --port, --trace, --part, --settings, --firmware-dir.
void AddLinkOptions(CLI::App& verb, LinkOptions& options);

// The main window's fields and cancel path, kept for the verb to print.
class CliDisplay : public OperationDisplay {
 public:
  void ShowPortField(const std::string& text) override { port_field = text; }
  void ShowProgrammerType(const std::string& word) override { programmer_type = word; }
  void ShowSerialNumber(uint32_t high, uint32_t low) override { serial_number = {high, low}; }
  void ShowChipCounter(uint32_t counter) override { chip_counter = counter; }
  void CancelProgram() override { cancelled = true; }
  std::string port_field;
  std::string programmer_type;
  std::pair<uint32_t, uint32_t> serial_number;
  uint32_t chip_counter = 0;
  bool cancelled = false;
};

class ProgrammerSession {
 public:
  // Nothing after a usage error, which has been printed to `err` (exit code 2).
  static std::unique_ptr<ProgrammerSession> Create(const LinkOptions& options, std::ostream& out,
                                                   std::ostream& err);

  Workbench& bench() { return bench_; }
  ProgrammerLink& link() { return bench_.link(); }
  SerialPort& port() { return bench_.port(); }
  const CliDisplay& display() const { return display_; }
  bool Failed() const { return reporter_.Failed() || display_.cancelled; }

 private:
  ProgrammerSession(std::ostream& out, std::ostream& err, std::string firmware_folder);
  // Settings from GUI.LOG with the options applied; false after printing a usage error.
  bool Apply(const LinkOptions& options, std::ostream& err);

  SystemClock clock_;
  WireTrace trace_;
  ConsoleReporter reporter_;
  CliDisplay display_;
  Workbench bench_;
};

// "/dev/" + name unless the name is already a path or a virtual port; nothing when too long to store.
std::optional<std::string> PortPathFromArgument(const std::string& name);
// --firmware-dir, else $QUILLET_FIRMWARE_DIR, else the executable's folder.
std::string FirmwareFolder(const std::string& option);

}  // namespace quillet::cli
