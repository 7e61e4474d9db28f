#include "cli/programmer_session.h"

#include <unistd.h>

#include <cstdlib>
#include <ostream>

#include "core/job/setup_part.h"
#include "core/storage/settings_record.h"
#include "core/sys/file_io.h"

namespace quillet::cli {

void AddLinkOptions(CLI::App& verb, LinkOptions& options) {
  verb.add_option(
      "--port", options.port,
      "the Programmer's port (device path or name under /dev); default: the port in GUI.LOG, else a scan");
  verb.add_option("--trace", options.trace, "write every byte on the line, with its time, to this file");
  verb.add_option("--part", options.part, "the selected part by name; default: the part in GUI.LOG");
  verb.add_option("--settings", options.settings, "the settings file to start from (default GUI.LOG)");
  verb.add_option("--firmware-dir", options.firmware_dir,
                  std::string("folder of the firmware files (default $") + kFirmwareDirVariable +
                      ", else the folder of quillet-cli)");
}

std::optional<std::string> PortPathFromArgument(const std::string& name) {
  const bool is_path = name.starts_with("/") || name.find(':') != std::string::npos;
  std::string path = is_path ? name : "/dev/" + name;
  if (path.size() > kMaxPortNameLength) return std::nullopt;
  return path;
}

std::string FirmwareFolder(const std::string& option) {
  if (!option.empty()) return option;
  if (const char* folder = std::getenv(kFirmwareDirVariable); folder && *folder) return folder;
  char exe[4096];
  const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
  return n > 0 ? FolderOf(std::string(exe, static_cast<std::size_t>(n))) : "";
}

ProgrammerSession::ProgrammerSession(std::ostream& out, std::ostream& err, std::string firmware_folder)
    : reporter_(clock_, out, err, ::isatty(STDERR_FILENO) != 0),
      bench_(clock_, reporter_, display_, std::move(firmware_folder)) {}

bool ProgrammerSession::Apply(const LinkOptions& options, std::ostream& err) {
  JobSettings& job = bench_.job();
  // Without GUI.LOG no port is remembered, so the search scans (not the first-run port guess).
  if (!LoadSettingsFile(options.settings, job)) job.SetPortName("");
  if (!options.port.empty()) {
    const auto path = PortPathFromArgument(options.port);
    if (!path) {
      err << "quillet-cli: port name '" << options.port << "' is longer than " << kMaxPortNameLength
          << " characters\n";
      return false;
    }
    job.SetPortName(*path);
  }
  job.ProgrammerMode = static_cast<uint8_t>(job.Type() | (options.gang ? kModeGang : 0));
  DeriveModeFlags(job);
  // A part named by the option brings the type of its list, as the window's radios and lists do.
  if (!options.part.empty() && !bench_.ChoosePart(options.part, std::nullopt)) {
    err << "quillet-cli: no part named '" << options.part << "' (quillet-cli parts lists them)\n";
    return false;
  }
  if (options.part.empty()) SetupPart(job, bench_.catalogue());
  if (!options.trace.empty()) {
    if (!trace_.OpenFile(options.trace)) {
      err << "quillet-cli: cannot create " << options.trace << "\n";
      return false;
    }
    trace_.SetOrigin(clock_.NowMicros());
    bench_.port().SetTrace(&trace_);
  }
  return true;
}

std::unique_ptr<ProgrammerSession> ProgrammerSession::Create(const LinkOptions& options, std::ostream& out,
                                                             std::ostream& err) {
  std::unique_ptr<ProgrammerSession> session(
      new ProgrammerSession(out, err, FirmwareFolder(options.firmware_dir)));
  if (!session->Apply(options, err)) return nullptr;
  return session;
}

}  // namespace quillet::cli
