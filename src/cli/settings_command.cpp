// quillet-cli settings show FILE [--json]: decodes a GUI.LOG exactly as start-up restores it.
#include <iomanip>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/verb_support.h"
#include "core/catalogue/part_catalogue.h"
#include "core/storage/settings_record.h"
#include "core/sys/file_io.h"

namespace quillet::cli {
namespace {

nlohmann::ordered_json Halves(uint32_t high, uint32_t low) {
  return {{"high", high}, {"low", low}};
}

const char* TypeName(uint8_t mode) {
  static constexpr const char* kNames[] = {"ISP", "ICP", "ISP by COM Port"};
  return kNames[(mode & 0x0F) <= kTypeComIsp ? (mode & 0x0F) : 0];
}

// The part name the window shows after start-up: codes 40..52 read "-" unless ISP by COM Port is on.
std::string StartUpPartName(const JobSettings& job) {
  PartCatalogue catalogue;
  catalogue.SaveComOnlyNames();
  if (job.Type() != kTypeComIsp) catalogue.HideComOnlyNames(kStartUpHiddenLast);
  return catalogue.PartName(job.PartCode);
}

nlohmann::ordered_json ToJson(const JobSettings& job) {
  return {{"ProgrammerMode", job.ProgrammerMode.load()},
          {"PartCode", job.PartCode},
          {"PartName", StartUpPartName(job)},
          {"ProgrammerPortName", job.PortName()},
          {"UsageLimit", {{"high", job.UsageLimit.high}, {"low", job.UsageLimit.low}}},
          {"SnProgrammingEnabled", job.SnProgrammingEnabled},
          {"SnAddress", job.SnAddress},
          {"SnIncrement", Halves(job.SnIncrement.high, job.SnIncrement.low)},
          {"SnValue", Halves(job.SnValue.high, job.SnValue.low)},
          {"ChipCounterEnabled", job.ChipCounterEnabled},
          {"CountDown", job.CountDown},
          {"ChipCounter", job.ChipCounter},
          {"FastProtocol", job.FastProtocol}};
}

void PrintText(const JobSettings& job, bool found, std::ostream& out) {
  const auto on = [](bool flag) { return flag ? "enabled" : "disabled"; };
  char mode[8];
  std::snprintf(mode, sizeof mode, "0x%02X", job.ProgrammerMode.load());
  out << (found ? "" : "(no such file: the first-run settings)\n") << std::left;
  const auto row = [&out](const char* key, const std::string& value) {
    out << std::setw(22) << key << value << "\n";
  };
  std::string type = TypeName(job.ProgrammerMode);
  if (job.ProgrammerMode & kModeGang) type += ", Gang";
  if (job.ProgrammerMode & kModeProduction) type += ", P.M.";
  row("Programmer type", std::string(mode) + " (" + type + ")");
  row("Part", std::to_string(job.PartCode) + " " + StartUpPartName(job));
  row("Programmer port", job.PortName().empty() ? "(none: search)" : job.PortName());
  row("Usage limit", std::to_string(UsageLimitForDisplay(job.UsageLimit)));
  char address[16];
  std::snprintf(address, sizeof address, "0x%05X", job.SnAddress);
  row("S/N programming", std::string(on(job.SnProgrammingEnabled)) + ", address " + address);
  row("S/N value", FormatSnValue(job.SnValue));
  row("S/N increment", FormatSnValue(job.SnIncrement));
  row("Chip counter", std::string(on(job.ChipCounterEnabled)) + ", " +
                          (job.CountDown ? "Count Down" : "Count Up") + ", " +
                          FormatChipCounter(job.ChipCounter));
  row("UART protocol", job.FastProtocol ? "Fast Protocol" : "Normal Protocol");
}

// The first value that no version writes (a damaged file: start-up takes it all the same), or "".
std::string ValueOutOfRange(const JobSettings& job) {
  constexpr uint32_t kHalfLast = 99999999;
  if (job.ChipCounter > 999999)
    return "the chip counter " + std::to_string(job.ChipCounter) + " is beyond 999,999";
  for (const auto& [what, value] :
       {std::pair{"S/N value", job.SnValue}, std::pair{"S/N increment", job.SnIncrement}}) {
    if (value.high > kHalfLast || value.low > kHalfLast)
      return std::string("the ") + what + " has a half beyond 99999999";
  }
  if (UsageLimitForDisplay(job.UsageLimit) > 60000)
    return "the usage limit " + std::to_string(UsageLimitForDisplay(job.UsageLimit)) + " is beyond 60000";
  if (job.SnAddress > 0x1FFF8) return "the S/N address is beyond 0x1FFF8";
  return {};
}

// 1 with the reason when the file is there but cannot be read (a folder, no permission); a missing
// file is the first run's case and shows the first-run settings.
int Show(const std::string& path, bool json) {
  if (const auto reason = UnreadableReason(path)) {
    SystemClock clock;
    ConsoleReporter reporter(clock, std::cout, std::cerr, false);
    reporter.SetDetail(*reason);
    reporter.ShowFail("Open file error !");
    return 1;
  }
  JobSettings job;
  const bool found = LoadSettingsFile(path, job);
  const std::string out_of_range = ValueOutOfRange(job);
  if (!out_of_range.empty()) {
    SystemClock clock;
    ConsoleReporter reporter(clock, std::cout, std::cerr, false);
    reporter.SetDetail(path + ": " + out_of_range + "; start-up takes the file as it is");
    reporter.ShowWarning("The settings file is damaged !");
  }
  if (json) {
    nlohmann::ordered_json out = ToJson(job);
    out["found"] = found;
    PrintJson(out);
  } else {
    PrintText(job, found, std::cout);
  }
  return out_of_range.empty() ? 0 : 1;
}

}  // namespace

void RegisterSettingsCommand(CLI::App& app, ExitCode& exit_code) {
  auto* settings = app.add_subcommand(
      "settings",
      "Read a settings file. GUI.LOG, beside the program, keeps the window's settings of the last run: the "
      "programmer type, the part, the Programmer's port, the S/N, the chip counter and the usage limit. "
      "The window reads it at start-up and writes it when it closes.");
  settings->require_subcommand(1);
  settings->footer(HelpFooter(kExitCodes, "", "quillet-cli settings show GUI.LOG"));
  auto* show = settings->add_subcommand("show", "Print a GUI.LOG as the window restores it at start-up");
  auto file = std::make_shared<std::string>();
  auto json = std::make_shared<bool>(false);
  show->add_option("FILE", *file, "the GUI.LOG file (a missing file gives the first-run settings)")
      ->required();
  show->add_flag("--json", *json, "print JSON");
  show->footer(
      HelpFooter("Exit codes: 0 shown (a missing file shows the first-run settings); 1 the file is "
                 "there but cannot be read; 2 a usage error.",
                 "", "quillet-cli settings show --json GUI.LOG"));
  show->callback([file, json, &exit_code] { exit_code.value = Show(*file, *json); });
}

}  // namespace quillet::cli
