// quillet-cli project show FILE.TPJ [--json]: a project file's header fields and sections.
// quillet-cli project save --part NAME --mode isp|icp|comisp [--aprom F] [--dataflash F] [--ldrom F]
//   [--config B1,...,B8] OUT.TPJ: a project built as the window builds it from a part and files.
#include <cstdio>
#include <iomanip>
#include <iostream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/message_reporter.h"
#include "core/images/image_loader.h"
#include "core/job/item_selection.h"
#include "core/job/setup_part.h"
#include "core/storage/project_commands.h"
#include "core/storage/project_file.h"

namespace quillet::cli {
namespace {

nlohmann::ordered_json Halves(SplitDecimal value) {
  return {{"high", value.high}, {"low", value.low}};
}

nlohmann::ordered_json ToJson(const ProjectContents& p) {
  nlohmann::ordered_json sections = nlohmann::ordered_json::array();
  for (const ProjectSection& s : p.sections) {
    sections.push_back({{"area", AreaName(s.area)},
                        {"storedName", s.StoredName()},
                        {"offset", s.offset},
                        {"size", s.size},
                        {"checksum", s.checksum}});
  }
  return {{"PartName", p.PartName},
          {"ProgrammerMode", p.ProgrammerMode},
          {"ConfigSliderPos", p.ConfigSliderPos},
          {"ItemFlags", p.ItemFlags},
          {"ConfigBytes", p.ConfigBytesInFile},
          {"UsageLimit", {{"high", p.UsageLimit.high}, {"low", p.UsageLimit.low}}},
          {"UsageLimitEnabled", p.UsageLimitEnabled},
          {"SnProgrammingEnabled", p.SnProgrammingEnabled},
          {"SnAddress", p.SnAddress},
          {"SnIncrement", Halves(p.SnIncrement)},
          {"SnValue", Halves(p.SnValue)},
          {"ChipCounterEnabled", p.ChipCounterEnabled},
          {"CountDown", p.CountDown},
          {"ChipCounter", p.ChipCounter},
          {"FastProtocol", p.FastProtocol},
          {"sections", sections}};
}

std::string Hex(uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", digits, value);
  return text;
}

void PrintText(const ProjectContents& p, std::ostream& out) {
  const auto row = [&out](const char* key, const std::string& value) {
    out << std::left << std::setw(22) << key << value << "\n";
  };
  const auto flag = [](bool on) { return std::string(on ? "yes" : "no"); };
  std::string config;
  for (uint8_t byte : p.ConfigBytesInFile) config += (config.empty() ? "" : " ") + Hex(byte, 2);
  row("PartName", p.PartName);
  row("ProgrammerMode", Hex(p.ProgrammerMode, 2));
  row("ConfigSliderPos", std::to_string(p.ConfigSliderPos));
  row("ItemFlags", Hex(p.ItemFlags, 2));
  row("ConfigBytes", config);
  row("UsageLimit", Hex(p.UsageLimit.high, 2) + " " + Hex(p.UsageLimit.low, 2));
  row("UsageLimitEnabled", flag(p.UsageLimitEnabled));
  row("SnProgrammingEnabled", flag(p.SnProgrammingEnabled));
  row("SnAddress", Hex(p.SnAddress, 5));
  row("SnIncrement", FormatSnValue(p.SnIncrement));
  row("SnValue", FormatSnValue(p.SnValue));
  row("ChipCounterEnabled", flag(p.ChipCounterEnabled));
  row("CountDown", flag(p.CountDown));
  row("ChipCounter", FormatChipCounter(p.ChipCounter));
  row("FastProtocol", flag(p.FastProtocol));
  for (const ProjectSection& s : p.sections) {
    out << std::left << std::setw(10) << AreaName(s.area) << " offset " << std::setw(7) << s.offset
        << " size " << std::setw(7) << s.size << " checksum " << Hex(s.checksum, 8) << "  " << s.StoredName()
        << "\n";
  }
}

int Show(const std::string& path, bool json) {
  SystemClock clock;
  MessageReporter reporter(clock);
  const auto read = ReadProjectFile(path, reporter);
  if (!read) return 1;
  if (json) {
    std::cout << ToJson(read->contents).dump(2) << "\n";
  } else {
    PrintText(read->contents, std::cout);
  }
  return 0;
}

struct SaveOptions {
  std::string part;
  std::string mode;
  std::map<ImageArea, std::string> files;
  std::vector<std::string> config;  // file order
  std::string out;
};

// 2 for a usage error (message on stderr), 1 when a file fails, 0 when the project is written.
int Save(const SaveOptions& options) {
  static const std::map<std::string, uint8_t> kModes{
      {"isp", kTypeIsp}, {"icp", kTypeIcp}, {"comisp", kTypeComIsp}};
  SystemClock clock;
  MessageReporter reporter(clock);
  PartCatalogue catalogue;
  JobSettings job;
  job.ProgrammerMode = kModes.at(options.mode);
  catalogue.SaveComOnlyNames();
  if (job.Type() != kTypeComIsp) catalogue.HideComOnlyNames();
  const auto code = FindProjectPart(catalogue, options.part, job.ProgrammerMode);
  if (!code) {
    std::cerr << "--part: " << options.part << " is not in the part list of --mode " << options.mode << "\n";
    return 2;
  }
  job.PartCode = *code;
  SetupPart(job, catalogue);
  const ItemSelection writable = WritableItems(catalogue.Row(*code), job.Type());
  if (options.files.count(ImageArea::DataFlash) && !writable.data_flash) {
    std::cerr << "--dataflash: " << options.part << " has no DataFlash\n";
    return 2;
  }
  if (options.files.count(ImageArea::Ldrom) && !writable.ldrom) {
    std::cerr << "--ldrom: LDROM is written in ICP only, on parts that have one\n";
    return 2;
  }
  if (!options.config.empty()) {
    for (std::size_t i = 0; i < 8; ++i)
      job.ConfigBytes[7 - i] = static_cast<uint8_t>(std::stoul(options.config[i], nullptr, 0));
    job.ConfigSelected = true;
  }
  auto images = std::make_unique<ImageBuffers>();
  for (const auto& [area, path] : options.files) {
    AttachImageFile((*images)[area], path);
    SelectedFlag(job, area) = true;
  }
  ReloadImages(*images, job, nullptr, reporter);
  if (reporter.Reported()) return 1;
  return SaveProjectFile(options.out, job, *images, catalogue, reporter) ? 0 : 1;
}

}  // namespace

void RegisterProjectCommand(CLI::App& app, ExitCode& exit_code) {
  auto* project = app.add_subcommand("project", "Inspect or write a project file (*.TPJ)");
  project->require_subcommand(1);

  auto* show = project->add_subcommand("show", "The header fields and image sections of a project file");
  auto file = std::make_shared<std::string>();
  auto json = std::make_shared<bool>(false);
  show->add_option("FILE", *file, "the project file")->required();
  show->add_flag("--json", *json, "print JSON (ConfigBytes in file order)");
  show->callback([file, json, &exit_code] { exit_code.value = Show(*file, *json); });

  auto* save = project->add_subcommand("save", "Write a project for a part and image files");
  auto options = std::make_shared<SaveOptions>();
  save->add_option("--part", options->part, "the part name, as the part list shows it")->required();
  save->add_option("--mode", options->mode, "programmer type")
      ->required()
      ->check(CLI::IsMember({"isp", "icp", "comisp"}));
  for (const auto& [flag, area] :
       {std::pair{"--aprom", ImageArea::Aprom}, std::pair{"--dataflash", ImageArea::DataFlash},
        std::pair{"--ldrom", ImageArea::Ldrom}}) {
    save->add_option_function<std::string>(
            flag, [options, area = area](const std::string& path) { options->files[area] = path; },
            "image file (*.hex* is converted as Intel HEX, except for DataFlash)")
        ->check(CLI::ExistingFile);
  }
  save->add_option("--config", options->config,
                   "the eight CONFIG bytes in file order (as 'project show' prints them); selects CONFIG")
      ->delimiter(',')
      ->expected(8)
      ->check(CLI::Validator(
          [](std::string& text) {
            std::size_t used = 0;
            try {
              if (std::stoul(text, &used, 0) <= 255 && used == text.size()) return std::string();
            } catch (const std::exception&) {
            }
            return "not a byte value: " + text;
          },
          "BYTE"));
  save->add_option("OUT", options->out, "the project file to write")->required();
  save->callback([options, &exit_code] { exit_code.value = Save(*options); });
}

}  // namespace quillet::cli
