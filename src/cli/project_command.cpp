// quillet-cli project show FILE.TPJ [--json]: a project file's header fields and sections.
// quillet-cli project save --part NAME --mode isp|icp|comisp [--aprom F] [--dataflash F] [--ldrom F]
//   [--config B1,...,B8] [--slider N] OUT.TPJ: a project built as the window builds it from a part and files,
//   refused when Update Chip would refuse it (the size and S/N checks) or when a HEX image holds
//   damaged records, unless told otherwise.
#include <cctype>
#include <cstdio>
#include <iomanip>
#include <iostream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/interrupt.h"
#include "cli/job_options.h"
#include "cli/part_finder.h"
#include "cli/verb_support.h"
#include "core/images/hex_damage.h"
#include "core/images/image_loader.h"
#include "core/images/size_checks.h"
#include "core/job/item_selection.h"
#include "core/job/setup_part.h"
#include "core/operations/workbench.h"
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
  ConsoleReporter reporter(clock, std::cout, std::cerr, false);
  reporter.SetNextStep([path](const std::string& message) {
    return message == "Open file error !" ? ReadFailureReason(path) : std::string();
  });
  const auto read = ReadProjectFile(path, reporter);
  if (!read) return 1;
  if (json) {
    PrintJson(ToJson(read->contents));
  } else {
    PrintText(read->contents, std::cout);
  }
  return 0;
}

struct SaveOptions {
  std::string part;
  std::string mode;
  std::map<ImageArea, std::string> files;  // in area order: APROM, DataFlash, LDROM
  std::vector<std::string> config;         // file order
  int64_t slider = -1;                     // the DataFlash size in pages; -1 keeps the part's default
  std::string out;
  bool no_check = false;
  bool accept_damaged_hex = false;
  OutputOptions output;
};

// A DataFlash file is stored byte for byte, as the window loads it; an Intel HEX text there is
// almost always a mistake.
bool LooksLikeHexText(const ImageBuffer& image) {
  if (image.size < 11 || image.data[0] != ':') return false;
  for (int i = 1; i < 11; ++i) {
    if (!std::isxdigit(image.data[i])) return false;
  }
  return true;
}

// The images of the job, one file at a time so that each failure is said with its own file.
int LoadImages(const SaveOptions& options, Workbench& bench, ConsoleReporter& reporter) {
  ImageBuffers& images = bench.images();
  for (const auto& [area, path] : options.files) {
    AttachImageFile(images[area], path);
    SelectedFlag(bench.job(), area) = true;
    reporter.SetDebugPrefix(path + ": ");
    reporter.SetNextStep([path = path](const std::string& message) {
      return message.starts_with("Open ") ? ReadFailureReason(path) : std::string();
    });
    ReloadImages(images, bench.job(), nullptr, reporter);
    if (reporter.Failed()) return 0;
    const ImageBuffer& image = images[area];
    if (area == ImageArea::DataFlash && LooksLikeHexText(image)) {
      reporter.SetDetail(path +
                         ": DataFlash files are stored byte for byte, as the window loads them; "
                         "quillet-cli hex2bin converts it first");
      reporter.ShowWarning("The DataFlash file is an Intel HEX text !");
    }
    if (image.hexScan.Damaged()) {
      const std::string detail = path + " " + HexDamageDetail(image.hexScan);
      if (!options.accept_damaged_hex) {
        reporter.SetDetail(detail + " (--accept-damaged-hex saves it all the same)");
        reporter.ShowFail(HexDamageMessage(image.hexScan));
        return 0;
      }
      reporter.SetDetail(detail);
      reporter.ShowWarning(HexDamageMessage(image.hexScan));
    }
  }
  return 1;
}

std::string Summary(const SaveOptions& options, Workbench& bench) {
  std::string text = options.out + ": " + bench.catalogue().PartName(bench.job().PartCode) + " in " +
                     std::string(TypeText(bench.job().Type()));
  for (const auto& [area, path] : options.files) {
    text += ", " + std::string(AreaName(area)) + " " + bench.images()[area].fileName + " (" +
            std::to_string(bench.images()[area].size) + " bytes)";
  }
  if (bench.job().ConfigSelected) text += ", CONFIG";
  return text;
}

// 2 for a usage error (message on stderr), 1 when a file or a check fails, 0 when the project is written.
int Save(const SaveOptions& options) {
  SystemClock clock;
  ConsoleReporter reporter(clock, std::cout, std::cerr, false, options.output);
  NullOperationDisplay display;
  Workbench bench(clock, reporter, display, "", PortSources{false, "", {}});
  const PartCatalogue names;
  const uint8_t type = *TypeOfModeWord(options.mode);
  if (!bench.ChoosePart(CatalogueSpelling(names, options.part), type)) {
    return UsageError("--part: " + (options.part == "-" ? std::string("\"-\" is no part")
                                                        : "no part " + options.part + " in the " +
                                                              std::string(TypeText(type)) + " list"),
                      UnknownPartHint(names, options.part, type));
  }
  JobSettings& job = bench.job();
  const PartRow& part = bench.catalogue().Row(job.PartCode);
  const std::string part_name = bench.catalogue().PartName(job.PartCode);
  const ItemSelection writable = WritableItems(part, type);
  if (options.files.count(ImageArea::DataFlash) && !writable.data_flash)
    return UsageError("--dataflash: " + part_name + " has no DataFlash", "leave --dataflash out");
  if (options.files.count(ImageArea::Ldrom) && !writable.ldrom)
    return UsageError("--ldrom: LDROM is written in ICP only, on parts that have one",
                      part.HasLdrom ? "use --mode icp" : part_name + " has no LDROM: leave --ldrom out");
  if (!options.config.empty()) {
    for (std::size_t i = 0; i < 8; ++i)
      job.ConfigBytes[7 - i] = static_cast<uint8_t>(std::stoul(options.config[i], nullptr, 0));
    job.ConfigSelected = true;
  }
  if (options.slider >= 0) job.ConfigSliderPos = static_cast<uint16_t>(options.slider);
  if (!LoadImages(options, bench, reporter)) return 1;
  if (!options.no_check) {
    reporter.SetNextStep(
        [](const std::string&) { return std::string("--no-check saves the project all the same"); });
    // The S/N checks say their refusal in the WARNING box.
    const std::size_t warnings = reporter.Warnings().size();
    if (!CheckUpdateImages(part, job, bench.images(), reporter) || reporter.Warnings().size() > warnings)
      return 1;
  }
  reporter.SetNextStep([out = options.out](const std::string& message) {
    return message == "Open file error !" ? WriteFailureReason(out) : std::string();
  });
  UnitOfWork unit("the project file is written first");
  if (!SaveProjectFile(options.out, job, bench.images(), bench.catalogue(), reporter)) return 1;
  reporter.ShowPass(Summary(options, bench));
  return 0;
}

}  // namespace

void RegisterProjectCommand(CLI::App& app, ExitCode& exit_code) {
  auto* project = app.add_subcommand(
      "project",
      "Read or write a project file (*.TPJ): a whole job in one file, as Save Proj and Load Proj keep it");
  project->require_subcommand(1);
  project->footer(HelpFooter(kExitCodes, "", "quillet-cli project show line3.TPJ"));

  auto* show = project->add_subcommand(
      "show",
      "Print what a project file holds: the part, the programmer type, the CONFIG bytes, the "
      "production settings and each image section");
  auto file = std::make_shared<std::string>();
  auto json = std::make_shared<bool>(false);
  show->add_option("FILE", *file, "the project file")->required();
  show->add_flag("--json", *json, "print JSON (ConfigBytes in file order)");
  show->footer(
      HelpFooter("Exit codes: 0 shown; 1 the file cannot be read or is no project file; 2 a usage "
                 "error.",
                 "", "quillet-cli project show --json line3.TPJ"));
  show->callback([file, json, &exit_code] { exit_code.value = Show(*file, *json); });

  auto* save = project->add_subcommand(
      "save",
      "Write a project file for a part and its image files, as Save Proj writes it after Load File. A file "
      "whose extension begins with \"hex\" is converted as Intel HEX (APROM and LDROM; DataFlash files are "
      "stored byte for byte). The project is refused when Update Chip would refuse it (an image too large "
      "for the part, a serial-number address that does not fit) or when a HEX image holds damaged records.");
  auto options = std::make_shared<SaveOptions>();
  save->add_option("--part", options->part, "the part name, as the part list shows it (quillet-cli parts)")
      ->required();
  save->add_option("--mode", options->mode,
                   "programmer type: isp or icp (through a Programmer), comisp (ISP by COM Port)")
      ->required()
      ->check(CLI::IsMember({"isp", "icp", "comisp"}));
  for (const auto& [flag, area] :
       {std::pair{"--aprom", ImageArea::Aprom}, std::pair{"--dataflash", ImageArea::DataFlash},
        std::pair{"--ldrom", ImageArea::Ldrom}}) {
    save->add_option_function<std::string>(
        flag, [options, area = area](const std::string& path) { options->files[area] = path; },
        std::string("the ") + std::string(AreaName(area)) + " image file");
  }
  save->add_option("--config", options->config,
                   "the eight CONFIG bytes in file order (as 'project show' prints them); selects CONFIG")
      ->delimiter(',')
      ->expected(8)
      ->check(ByteValue());
  save->add_option("--slider", options->slider,
                   "the DataFlash size in pages that the CONFIG Setting dialog shows (0..65535; as "
                   "'config set' prints it)")
      ->check(CLI::Range(0, 65535));
  save->add_flag("--no-check", options->no_check, "save even when Update Chip would refuse the job");
  save->add_flag("--accept-damaged-hex", options->accept_damaged_hex,
                 "save a HEX image with damaged records (a warning names the first)");
  AddOutputOptions(*save, options->output, false);
  save->add_option("OUT", options->out, "the project file to write")->required();
  save->footer(
      HelpFooter("Exit codes: 0 written; 1 not written: an image cannot be read, holds damaged "
                 "records or fails a check; 2 a usage error (an unknown part, an area the part "
                 "has not).",
                 "", "quillet-cli project save --part QMC04A --mode icp --aprom code.hex line3.TPJ"));
  save->callback([options, &exit_code] { exit_code.value = Save(*options); });
}

}  // namespace quillet::cli
