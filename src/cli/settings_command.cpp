// quillet-cli settings show FILE [--json]: decodes a GUI.LOG exactly as start-up restores it.
#include <iomanip>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "core/catalogue/part_catalogue.h"
#include "core/storage/settings_record.h"

namespace quillet::cli {
namespace {

nlohmann::json Halves(uint32_t high, uint32_t low) {
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

nlohmann::json ToJson(const JobSettings& job) {
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

}  // namespace

void RegisterSettingsCommand(CLI::App& app, ExitCode& exit_code) {
  auto* settings = app.add_subcommand("settings", "Inspect a settings file (GUI.LOG)");
  settings->require_subcommand(1);
  auto* show = settings->add_subcommand("show", "Decode GUI.LOG as start-up restores it");
  auto file = std::make_shared<std::string>();
  auto json = std::make_shared<bool>(false);
  show->add_option("FILE", *file, "the GUI.LOG file (a missing file gives the first-run settings)")
      ->required();
  show->add_flag("--json", *json, "print JSON");
  show->callback([file, json, &exit_code] {
    JobSettings job;
    const bool found = LoadSettingsFile(*file, job);
    if (*json) {
      std::cout << ToJson(job).dump(2) << "\n";
    } else {
      PrintText(job, found, std::cout);
    }
    exit_code.value = 0;
  });
}

}  // namespace quillet::cli
