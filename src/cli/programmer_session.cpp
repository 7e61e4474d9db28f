#include "cli/programmer_session.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ostream>

#include "cli/interrupt.h"
#include "cli/part_finder.h"
#include "cli/verb_support.h"
#include "core/job/setup_part.h"
#include "core/storage/settings_record.h"
#include "core/sys/file_io.h"

namespace quillet::cli {
namespace {

constexpr char kNameThePort[] =
    "name the Programmer's port with --port (for example --port ttyUSB0), or list pseudo-terminals in "
    "QUILLET_EXTRA_PORTS (colon-separated)";

// The next step after a FAIL the console shows, when there is one to say.
std::string NextStep(const std::string& message, bool named_port) {
  if (message == "Programmer is not found !" || message == "Gang Programmer is not found !")
    return named_port ? "check the cable and the Programmer's power on that port" : kNameThePort;
  if (message.ends_with(".DAT cannot be opened !"))
    return "name the firmware folder with --firmware-dir or QUILLET_FIRMWARE_DIR (quillet-sim "
           "--write-firmware "
           "DIR makes a set for the simulator)";
  if (message == "Configure programmer error !" || message == "Update programmer error !" ||
      message == "Update Gang Programmer error !")
    return kAfterFailedTransfer;
  return {};
}

std::string& SettingsFileDefault() {
  static std::string path = "GUI.LOG";
  return path;
}

}  // namespace

void SetDefaultSettingsFile(std::string path) {
  SettingsFileDefault() = std::move(path);
}

const std::string& DefaultSettingsFile() {
  return SettingsFileDefault();
}

void AddLinkOptions(CLI::App& verb, LinkOptions& options) {
  verb.add_option("--port", options.port,
                  "the Programmer's port, a device path or a name under /dev (ttyUSB0); the only port "
                  "opened. Without it: the port GUI.LOG remembers, else a scan of every port "
                  "(quillet-cli ports lists them)");
  verb.add_option("--trace", options.trace, "write every byte on the line, with its time, to this file");
  verb.add_option("--part", options.part,
                  "the part the job is for, by name in any case (quillet-cli parts); it chooses the "
                  "firmware variant. Default: the part in GUI.LOG");
  verb.add_option("--settings", options.settings,
                  "the settings file to start from (default GUI.LOG in the current folder; a missing file "
                  "gives the first-run settings)");
  verb.add_option("--firmware-dir", options.firmware_dir,
                  std::string("the folder of the Programmer's firmware files (v0710_MainMCU_*.DAT, "
                              "v0710_GangMCU.DAT); default $") +
                      kFirmwareDirVariable + ", else the folder of quillet-cli");
  AddOutputOptions(verb, options.output);
}

void CliDisplay::AnnounceFirmwareSwitch(std::string_view from_word, std::string_view to_word) {
  // Variants of one kind share their word (ICP for 8051 and for Tessel parts): then say only that
  // the firmware for this part replaces it.
  if (from_word == to_word)
    console_.Notice("Switching the Programmer to the " + std::string(to_word) +
                    " firmware for this part, about 4 s");
  else
    console_.Notice("Switching the Programmer from " + std::string(from_word) + " to " +
                    std::string(to_word) + " firmware, about 4 s");
}

void CliDisplay::TransferStarted() {
  SetTransferRunning(true);
}

void CliDisplay::TransferEnded() {
  SetTransferRunning(false);
}

std::optional<std::string> ResolvePortArgument(const std::string& name, std::string& reason) {
  if (name.find(':') != std::string::npos) return name;  // a virtual port
  const std::string path = name.starts_with("/") ? name : "/dev/" + name;
  char resolved[PATH_MAX];
  if (!::realpath(path.c_str(), resolved)) {
    reason = path + ": " + std::strerror(errno);
    return std::nullopt;
  }
  // Opening tells now, with the system's reason, what the link would only find out as silence.
  const int fd = ::open(resolved, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    reason = std::string(resolved) + ": " + std::strerror(errno);
    return std::nullopt;
  }
  ::close(fd);
  if (std::strlen(resolved) > kMaxPortNameLength) {
    reason = std::string(resolved) + ": a port name is at most " + std::to_string(kMaxPortNameLength) +
             " characters; name a shorter link to the device";
    return std::nullopt;
  }
  return std::string(resolved);
}

std::string FirmwareFolder(const std::string& option) {
  if (!option.empty()) return option;
  if (const char* folder = std::getenv(kFirmwareDirVariable); folder && *folder) return folder;
  char exe[4096];
  const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
  return n > 0 ? FolderOf(std::string(exe, static_cast<std::size_t>(n))) : "";
}

ProgrammerSession::ProgrammerSession(std::ostream& out, std::ostream& err, OutputOptions output,
                                     std::string firmware_folder, PortSources sources)
    : reporter_(clock_, out, err, ::isatty(STDERR_FILENO) != 0, output),
      display_(reporter_),
      bench_(clock_, reporter_, display_, std::move(firmware_folder), std::move(sources)) {}

bool ProgrammerSession::Apply(const LinkOptions& options, const std::optional<std::string>& named_port) {
  JobSettings& job = bench_.job();
  // Without GUI.LOG no port is remembered, so the search scans (not the first-run port guess).
  if (!LoadSettingsFile(options.settings, job)) job.SetPortName("");
  if (named_port) {
    job.SetPortName(*named_port);
    bench_.link().NamedPortOnly = true;
  }
  named_port_ = named_port.has_value();
  SetVerbNextStep(nullptr);
  job.ProgrammerMode = static_cast<uint8_t>(job.Type() | (options.gang ? kModeGang : 0));
  DeriveModeFlags(job);
  // A part named by the option brings the type of its list, as the window's radios and lists do.
  const PartCatalogue names;
  const std::optional<uint8_t> type = options.mode.empty() ? std::nullopt : TypeOfModeWord(options.mode);
  if (!options.part.empty() && !bench_.ChoosePart(CatalogueSpelling(names, options.part), type)) {
    UsageError(
        "--part: " + (options.part == "-"
                          ? std::string("\"-\" is no part")
                          : "no part " + options.part +
                                (type ? " in the " + std::string(TypeText(*type)) + " list" : std::string())),
        UnknownPartHint(names, options.part, type));
    return false;
  }
  if (options.part.empty() && type) {
    // --mode alone: the settings file's part, in that type's list.
    const std::string current(bench_.catalogue().PartName(job.PartCode));
    if (!bench_.ChoosePart(current, type)) {
      UsageError("--mode: the settings file's part " + current + " is not in the " +
                     std::string(TypeText(*type)) + " list",
                 "name a part of that list with --part (quillet-cli parts)");
      return false;
    }
  }
  if (options.part.empty() && !type) SetupPart(job, bench_.catalogue());
  if (!options.trace.empty()) {
    if (!trace_.OpenFile(options.trace)) {
      UsageError("--trace: cannot create " + options.trace, WriteFailureReason(options.trace));
      return false;
    }
    trace_.SetOrigin(clock_.NowMicros());
    bench_.port().SetTrace(&trace_);
  }
  return true;
}

void ProgrammerSession::SetVerbNextStep(std::function<std::string(const std::string&)> next_step) {
  verb_next_step_ = std::move(next_step);
  reporter_.SetNextStep([this](const std::string& message) {
    std::string step = verb_next_step_ ? verb_next_step_(message) : std::string();
    return step.empty() ? NextStep(message, named_port_) : step;
  });
}

std::unique_ptr<ProgrammerSession> ProgrammerSession::Create(const LinkOptions& options, std::ostream& out,
                                                             std::ostream& err, int& exit_code) {
  if (const auto reason = UnreadableReason(options.settings)) {
    SystemClock clock;
    ConsoleReporter reporter(clock, out, err, false);
    reporter.SetDetail(*reason);
    reporter.ShowFail("Open file error !");
    exit_code = 1;
    return nullptr;
  }
  std::optional<std::string> named_port;
  PortSources sources = PortSourcesFromEnvironment();
  if (!options.port.empty()) {
    std::string reason;
    named_port = ResolvePortArgument(options.port, reason);
    if (!named_port) {
      SystemClock clock;
      ConsoleReporter reporter(clock, out, err, false);
      reporter.SetDetail(reason);
      reporter.ShowFail(options.mode == "comisp" ? "ComPort cannot be opened !"
                        : options.gang           ? "Gang Programmer is not found !"
                                                 : "Programmer is not found !");
      exit_code = 1;
      return nullptr;
    }
    sources = PortSources{false, "", {*named_port}};  // nothing else is scanned or opened
  }
  std::unique_ptr<ProgrammerSession> session(new ProgrammerSession(
      out, err, options.output, FirmwareFolder(options.firmware_dir), std::move(sources)));
  if (!session->Apply(options, named_port)) {
    exit_code = 2;
    return nullptr;
  }
  InstallInterruptHandlers();
  return session;
}

}  // namespace quillet::cli
