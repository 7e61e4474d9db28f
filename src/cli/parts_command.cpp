// quillet-cli parts [PATTERN] [--mode isp|icp|comisp] [--family NAME] [--json]: the compiled-in part
// catalogue. The plain form is a table of the named parts with the programmer types whose list holds
// each and its core; --json gives every code 0..1214 with every column (only the matching named
// parts when a filter is given).
#include <fnmatch.h>

#include <cstdio>
#include <iomanip>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/part_finder.h"
#include "cli/verb_support.h"
#include "core/catalogue/part_catalogue.h"
#include "core/catalogue/part_categories.h"

namespace quillet::cli {
namespace {

struct PartsOptions {
  std::string pattern;
  std::string mode;
  std::string family;
  bool json = false;
};

std::string TypesText(uint32_t code) {
  std::string text;
  for (uint8_t type : TypesOfPart(code)) text += (text.empty() ? "" : ", ") + std::string(TypeText(type));
  return text.empty() ? "-" : text;
}

nlohmann::ordered_json RowJson(uint32_t code, const PartRow& row) {
  nlohmann::ordered_json clocks = nlohmann::ordered_json::array();
  for (std::string_view text : row.ClockTexts) clocks.push_back(text);
  nlohmann::ordered_json types = nlohmann::ordered_json::array();
  for (uint8_t type : TypesOfPart(code)) types.push_back(ModeWordOfType(type));
  return {{"PartCode", code},
          {"PartName", row.PartName},
          {"FamilyFlagA", row.FamilyFlagA},
          {"IsCortexM0", row.IsCortexM0},
          {"BirchPart", row.BirchPart},
          {"CedarPart", row.CedarPart},
          {"DuneFjordPart", row.DuneFjordPart},
          {"FamilyFlagC", row.FamilyFlagC},
          {"FamilyFlagB", row.FamilyFlagB},
          {"EmberPart", row.EmberPart},
          {"KestraPart", row.KestraPart},
          {"HasDataFlash", row.HasDataFlash},
          {"HasLdrom", row.HasLdrom},
          {"DataFlashByConfig", row.DataFlashByConfig},
          {"ApromLastAddress", row.ApromLastAddress},
          {"DataFlashBase", row.DataFlashBase},
          {"DataFlashSize", row.DataFlashSize},
          {"LdromLastAddress", row.LdromLastAddress},
          {"DeviceCode", row.DeviceCode},
          {"PartParam1", row.PartParam1},
          {"PartParam2", row.PartParam2},
          {"PartParam3", row.PartParam3},
          {"PartParam4", row.PartParam4},
          {"PartParam5", row.PartParam5},
          {"ConfigByteCount", row.ConfigByteCount},
          {"PartParam7", row.PartParam7},
          {"PartParam8", row.PartParam8},
          {"Config0DescGroup", row.Config0DescGroup},
          {"Config1DescGroup", row.Config1DescGroup},
          {"ClockTexts", clocks},
          {"ProgrammerTypes", types},
          {"Core", CoreText(row)},
          {"Category", CategoryText(code)}};
}

std::string Kilobytes(uint32_t bytes) {
  char text[24];
  if (bytes % 1024 == 0) {
    std::snprintf(text, sizeof text, "%u KB", bytes / 1024);
  } else {
    std::snprintf(text, sizeof text, bytes % 512 == 0 ? "%.1f KB" : "%.2f KB", bytes / 1024.0);
  }
  return text;
}

std::string DataFlashText(const PartRow& row) {
  if (!row.HasDataFlash) return "-";
  char base[16];
  std::snprintf(base, sizeof base, "0x%05X", row.DataFlashBase);
  if (row.DataFlashByConfig) return "up to " + Kilobytes(row.DataFlashSize) + " (CONFIG), " + base;
  return Kilobytes(row.DataFlashSize) + " at " + base;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Whether the part is in the family a --family names: a category or a core, any case.
bool InFamily(uint32_t code, const PartRow& row, const std::string& family) {
  return family.empty() || Lower(std::string(CategoryText(code))) == Lower(family) ||
         Lower(std::string(CoreText(row))) == Lower(family);
}

std::string FamilyWords() {
  std::string words = "8051, Cortex-M0";
  for (const PartCategory& category : kPartCategories) words += ", \"" + std::string(category.text) + "\"";
  return words;
}

void PrintTable(const PartCatalogue& catalogue, const std::vector<NamedPart>& parts, std::size_t of) {
  std::cout << std::left << std::setw(6) << "Code" << std::setw(13) << "Name" << std::setw(22)
            << "Programmer types" << std::setw(11) << "Core" << std::setw(15) << "Category" << std::setw(10)
            << "APROM" << std::setw(8) << "LDROM"
            << "DataFlash\n";
  for (const NamedPart& part : parts) {
    const PartRow& row = catalogue.Row(part.code);
    std::cout << std::setw(6) << part.code << std::setw(13) << part.name << std::setw(22)
              << TypesText(part.code) << std::setw(11) << CoreText(row) << std::setw(15)
              << CategoryText(part.code) << std::setw(10) << Kilobytes(row.ApromLastAddress + 1)
              << std::setw(8) << (row.HasLdrom ? Kilobytes(row.LdromLastAddress + 1) : "-")
              << DataFlashText(row) << "\n";
  }
  if (parts.size() == of) {
    std::cout << of << " parts\n";
  } else {
    std::cout << parts.size() << " of " << of << " parts\n";
  }
}

int List(const PartsOptions& options) {
  const PartCatalogue catalogue;
  const std::optional<uint8_t> type = TypeOfModeWord(options.mode);
  if (!options.family.empty()) {
    bool known = false;
    for (uint32_t code = 0; code < kPartCount && !known; ++code)
      known = InFamily(code, catalogue.Row(code), options.family) && !TypesOfPart(code).empty();
    if (!known)
      return UsageError("--family: no family is called '" + options.family + "'",
                        "families: " + FamilyWords());
  }
  const bool filtered = !options.pattern.empty() || type || !options.family.empty();
  if (options.json && !filtered) {
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    for (uint32_t code = 0; code < kPartCount; ++code) rows.push_back(RowJson(code, catalogue.Row(code)));
    PrintJson(rows);
    return 0;
  }
  const std::vector<NamedPart> all = NamedParts(catalogue);
  std::vector<NamedPart> parts;
  for (const NamedPart& part : all) {
    const std::vector<uint8_t> types = TypesOfPart(part.code);
    if (type && std::find(types.begin(), types.end(), *type) == types.end()) continue;
    if (!InFamily(part.code, catalogue.Row(part.code), options.family)) continue;
    if (!options.pattern.empty() &&
        ::fnmatch(options.pattern.c_str(), std::string(part.name).c_str(), FNM_CASEFOLD) != 0)
      continue;
    parts.push_back(part);
  }
  if (parts.empty()) {
    std::cerr << kProgram << ": no part matches"
              << (options.pattern.empty() ? "" : " '" + options.pattern + "'")
              << (type ? " in " + std::string(TypeText(*type)) : "")
              << (options.family.empty() ? "" : " in family " + options.family) << "\n";
    const bool wildcard = options.pattern.find_first_of("*?[") != std::string::npos;
    if (!options.pattern.empty() && !wildcard)
      std::cerr << "  " << UnknownPartHint(catalogue, options.pattern, type) << "\n";
    return 1;
  }
  if (options.json) {
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    for (const NamedPart& part : parts) rows.push_back(RowJson(part.code, catalogue.Row(part.code)));
    PrintJson(rows);
  } else {
    PrintTable(catalogue, parts, all.size());
  }
  return 0;
}

}  // namespace

void RegisterPartsCommand(CLI::App& app, ExitCode& exit_code) {
  CLI::App* command = app.add_subcommand(
      "parts",
      "List the parts Quillet can program: for each, the programmer types whose part list holds it (ISP "
      "and ICP through a Programmer, ISP by COM Port straight to the chip's boot loader), its core, the "
      "category the window's ICP list shows it under, and its memory. A pattern and the options narrow "
      "the list.");
  auto options = std::make_shared<PartsOptions>();
  command->add_option("PATTERN", options->pattern, "part names to show, a pattern with * and ? in any case");
  command->add_option("--mode", options->mode, "only parts of this programmer type's list")
      ->check(CLI::IsMember({"isp", "icp", "comisp"}));
  command->add_option(
      "--family", options->family,
      "only parts of a category as the window names it (\"Velmari_Arden\") or of a core (8051, "
      "Cortex-M0)");
  command->add_flag("--json", options->json,
                    "JSON: every part code 0..1214 with every catalogue column, or the matching parts");
  command->footer(HelpFooter("Exit codes: 0 listed; 1 no part matches; 2 a usage error.", "",
                             "quillet-cli parts 'qmc*' --mode icp"));
  command->callback([options, &exit_code] { exit_code.value = List(*options); });
}

}  // namespace quillet::cli
