// quillet-cli info [--gang] [--json]: Programmer Information: what the Programmer's storage holds
// (through a Gang Programmer, socket #1's), printed as the window's report, then the CONFIG bytes
// the window's CONFIG view would show, or the text of the box it shows instead. Nothing is written.
#include <cstdio>
#include <iostream>

#include "cli/commands.h"
#include "cli/programmer_session.h"
#include "cli/verb_support.h"
#include "core/operations/programmer_information.h"

namespace quillet::cli {
namespace {

// CONFIG0 first, as --config takes them: "CONFIG 0xFF,0xFF,...".
std::string ConfigLine(const std::array<uint8_t, 8>& stored) {
  std::string text = "CONFIG ";
  for (int i = 7; i >= 0; --i) {
    char hex[8];
    std::snprintf(hex, sizeof hex, i == 7 ? "0x%02X" : ",0x%02X", stored[i]);
    text += hex;
  }
  return text;
}

nlohmann::ordered_json ImageJson(const StoredImageInfo& image) {
  return {{"FileName", image.FileName},
          {"LastAddress", image.LastAddress},
          {"Checksum", image.ChecksumHigh << 8 | image.ChecksumLow}};
}

std::string Halves(SplitDecimal value) {
  char text[24];
  std::snprintf(text, sizeof text, "%08u,%08u", value.high, value.low);
  return text;
}

// Only what the Programmer sent: a field its firmware leaves out is absent.
nlohmann::ordered_json InfoJson(const ProgrammerInfo& info, const PartCatalogue& catalogue,
                                const std::string& report, const InformationFollowUp& next) {
  nlohmann::ordered_json json;
  json["ReadPartCode"] = info.ReadPartCode;
  json["PartName"] = catalogue.PartName(info.ReadPartCode);
  json["ReceivedPartCode"] = info.ReceivedPartCode;
  if (info.PartName) json["ReceivedPartName"] = *info.PartName;
  json["Aprom"] = ImageJson(info.Aprom);
  if (info.DataFlash) json["DataFlash"] = ImageJson(*info.DataFlash);
  if (info.Ldrom) json["Ldrom"] = ImageJson(*info.Ldrom);
  if (info.ShownConfigBytes)
    json["ShownConfigBytes"] =
        std::vector<uint8_t>(info.ShownConfigBytes->rbegin(), info.ShownConfigBytes->rend());
  if (info.ItemByte) json["ItemFlags"] = *info.ItemByte;
  if (info.UsageLeft) json["UsageLeft"] = (*info.UsageLeft)[0] << 8 | (*info.UsageLeft)[1];
  if (info.GangVerifyOnly) json["GangVerifyOnly"] = *info.GangVerifyOnly;
  if (info.SerialNumber) {
    json["SnEnabled"] = info.SerialNumber->Enabled;
    json["SnAddress"] = info.SerialNumber->Address;
    json["SnValue"] = Halves(info.SerialNumber->Value);
    json["SnIncrement"] = Halves(info.SerialNumber->Increment);
  }
  json["Report"] = report;
  if (next.kind == InformationFollowUp::Kind::Box)
    json["Box"] = {{"caption", next.caption}, {"text", next.text}};
  return json;
}

int Run(const LinkOptions& options) {
  int exit_code = 0;
  auto session = ProgrammerSession::Create(options, std::cout, std::cerr, exit_code);
  if (!session) return exit_code;
  Workbench& bench = session->bench();
  ProgrammerInfo info;
  const bool read = ReadProgrammerInformation(bench, info);
  std::string report;
  InformationFollowUp next;
  if (read) {
    report = ProgrammerInformationReport(info, bench.catalogue(), bench.job().GangMode);
    next = ProgrammerInformationFollowUp(info, bench.catalogue());
  }
  if (options.output.json) {
    nlohmann::ordered_json json = ResultJson(session->reporter());
    // A warning ended it ("... has not been downloaded yet !", "Chip was locked !"): no result.
    const auto& warnings = session->reporter().Warnings();
    if (!read && !session->reporter().Failed() && !warnings.empty()) {
      json["result"] = "FAIL";
      json["message"] = warnings.back().message;
    }
    if (read) json.update(InfoJson(info, bench.catalogue(), report, next));
    PrintJson(json);
  } else if (read) {
    std::cout << report << "\n";
    if (next.kind == InformationFollowUp::Kind::ConfigView)
      std::cout << ConfigLine(*info.ShownConfigBytes) << "\n";
    if (next.kind == InformationFollowUp::Kind::Box) std::cout << next.text << "\n";
    std::cout.flush();
  }
  return read ? 0 : 1;
}

}  // namespace

void RegisterInfoCommand(CLI::App& app, ExitCode& exit_code) {
  auto* info = app.add_subcommand(
      "info",
      "Programmer Information: ask the Programmer what was last downloaded into its storage and print "
      "the window's report as it is (the part, each image's file name, size and checksum, the usage "
      "left, the gang mode and the S/N settings), a line break, then the CONFIG bytes it holds "
      "(CONFIG0 first) or, when it holds none, what the window says instead. With --gang the Gang "
      "Programmer's socket #1 is asked. Nothing is written to the Programmer.");
  auto options = std::make_shared<LinkOptions>();
  AddLinkOptions(*info, *options);
  info->add_flag("--gang", options->gang, "through a Gang Programmer (its socket #1's storage)");
  info->footer(HelpFooter(
      "Exit codes: 0 the report was printed; 1 the Programmer was not found, did not answer, or holds "
      "no download (the window's message on stderr); 2 a usage error. --json gives the fields the "
      "Programmer sent (ReadPartCode, ShownConfigBytes with CONFIG0 first, ItemFlags, ...), the fields "
      "its firmware does not send left out, and the report text.",
      std::string(kPortVariables) + kFirmwareVariable, "quillet-cli info --port ttyUSB0 --json"));
  info->callback([options, &exit_code] { exit_code.value = Run(*options); });
}

}  // namespace quillet::cli
