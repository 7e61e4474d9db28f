// quillet-cli parts [--json]: the compiled-in part catalogue. The plain form is a table of the named
// parts; --json gives every code 0..1214 with every column.
#include <cstdio>
#include <iomanip>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "core/catalogue/part_catalogue.h"
#include "core/catalogue/part_categories.h"
#include "core/job/setup_part.h"

namespace quillet::cli {
namespace {

nlohmann::ordered_json RowJson(uint32_t code, const PartRow& row) {
  nlohmann::ordered_json clocks = nlohmann::ordered_json::array();
  for (std::string_view text : row.ClockTexts) clocks.push_back(text);
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
          {"ClockTexts", clocks}};
}

std::string_view FamilyText(uint32_t code) {
  if (code < 110) return "8051 ISP";
  if (code >= 1200) return "Cortex-M0 (no list)";
  std::string_view text = kPartCategories[0].text;
  for (const PartCategory& category : kPartCategories) {
    if (code >= category.first) text = category.text;
  }
  return text;
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

void PrintTable(const PartCatalogue& catalogue, std::ostream& out) {
  out << std::left << std::setw(6) << "Code" << std::setw(13) << "Name" << std::setw(21) << "Family"
      << std::setw(11) << "APROM" << std::setw(8) << "LDROM" << std::setw(36) << "DataFlash"
      << "Editor\n";
  int parts = 0;
  int placeholders = 0;
  for (uint32_t code = 0; code < kPartCount; ++code) {
    const PartRow& row = catalogue.Row(code);
    if (row.PartName.empty()) continue;
    if (row.PartName == "-") {
      ++placeholders;
      continue;
    }
    ++parts;
    out << std::setw(6) << code << std::setw(13) << row.PartName << std::setw(21) << FamilyText(code)
        << std::setw(11) << Kilobytes(row.ApromLastAddress + 1) << std::setw(8)
        << (row.HasLdrom ? Kilobytes(row.LdromLastAddress + 1) : "-") << std::setw(36) << DataFlashText(row)
        << static_cast<int>(ChooseConfigDialog(row)) << "\n";
  }
  out << parts << " parts, " << placeholders << " placeholder rows (\"-\") not shown\n";
}

}  // namespace

void RegisterPartsCommand(CLI::App& app, ExitCode& exit_code) {
  CLI::App* command = app.add_subcommand("parts", "List the part catalogue.");
  auto json = std::make_shared<bool>(false);
  command->add_flag("--json", *json, "Every part code 0..1214 with every catalogue column, as JSON");
  command->callback([json, &exit_code] {
    const PartCatalogue catalogue;
    if (*json) {
      nlohmann::ordered_json rows = nlohmann::ordered_json::array();
      for (uint32_t code = 0; code < kPartCount; ++code) rows.push_back(RowJson(code, catalogue.Row(code)));
      std::cout << rows.dump(2) << "\n";
    } else {
      PrintTable(catalogue, std::cout);
    }
    exit_code.value = 0;
  });
}

}  // namespace quillet::cli
