#pragma once
// What the Programmer verbs (search, fwupdate) share: their options, and the program-wide objects a
// Programmer operation needs (settings from GUI.LOG, the part catalogue, the serial port with its
// optional wire trace, the Programmer link), set up the way the window sets them up.
#include <CLI/CLI.hpp>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

#include "core/catalogue/part_catalogue.h"
#include "cli/console_reporter.h"
#include "core/job/job_settings.h"
#include "core/programmer/programmer_link.h"
#include "core/serial/serial_port.h"
#include "core/sys/clock.h"
#include "core/serial/port_system.h"
#include "core/serial/wire_trace.h"

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

// The main window's port field, "Prog. Type" field and cancel path, kept for the verb to print.
class CliDisplay : public LinkDisplay {
 public:
  void ShowPortField(const std::string& text) override { port_field = text; }
  void ShowProgrammerType(const std::string& word) override { programmer_type = word; }
  void CancelProgram() override { cancelled = true; }
  std::string port_field;
  std::string programmer_type;
  bool cancelled = false;
};

class ProgrammerSession {
 public:
  // Nothing after a usage error, which has been printed to `err` (exit code 2).
  static std::unique_ptr<ProgrammerSession> Create(const LinkOptions& options, std::ostream& out,
                                                   std::ostream& err);

  ProgrammerLink& link() { return link_; }
  const JobSettings& job() const { return job_; }
  SerialPort& port() { return port_; }
  const CliDisplay& display() const { return display_; }
  bool Failed() const { return reporter_.Failed() || display_.cancelled; }

 private:
  ProgrammerSession(std::ostream& out, std::ostream& err, std::string firmware_folder);
  // Settings from GUI.LOG with the options applied; false after printing a usage error.
  bool Apply(const LinkOptions& options, std::ostream& err);

  SystemClock clock_;
  PortSystem ports_{PortSourcesFromEnvironment()};
  WireTrace trace_;
  JobSettings job_;
  PartCatalogue catalogue_;
  ConsoleReporter reporter_;
  CliDisplay display_;
  SerialPort port_{ports_, clock_};
  ProgrammerLink link_;
};

// "/dev/" + name unless the name is already a path or a virtual port; nothing when too long to store.
std::optional<std::string> PortPathFromArgument(const std::string& name);
// --firmware-dir, else $QUILLET_FIRMWARE_DIR, else the executable's folder.
std::string FirmwareFolder(const std::string& option);

}  // namespace quillet::cli
