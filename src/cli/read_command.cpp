// quillet-cli read: Read Chip: one area of the chip in the Programmer's socket (a Gang Programmer's
// socket chosen with --socket) into a file, the bytes the Read Chip window's Save writes. ISP reads
// the CONFIG bytes only; ICP reads the whole chip, sized by the chip's own CONFIG.
#include <algorithm>
#include <iostream>

#include "cli/chip_verbs.h"
#include "cli/commands.h"
#include "cli/job_options.h"
#include "cli/verb_support.h"
#include "core/images/bin_to_hex.h"
#include "core/sys/file_io.h"

namespace quillet::cli {
namespace {

struct ReadOptions {
  LinkOptions link;
  int socket = 1;
  std::string area;
  std::string output;
  std::string format;  // "bin", "hex", or empty: by the file's extension
};

// An area, its caption in the texts and whether the type and part have it to read.
struct AreaChoice {
  const char* option;
  const char* caption;
};
constexpr AreaChoice kAreas[] = {
    {"aprom", "APROM"}, {"dataflash", "DataFlash"}, {"ldrom", "LDROM"}, {"config", "CONFIG"}};

// 2 after a usage error: ISP reads CONFIG only; an ICP part must have the area.
int CheckArea(const ReadOptions& options, Workbench& bench) {
  const PartRow& part = bench.catalogue().Row(bench.job().PartCode);
  const std::string& name = bench.catalogue().PartName(bench.job().PartCode);
  if (bench.job().Type() == kTypeIsp && options.area != "config")
    return UsageError("--area " + options.area + ": in ISP the Programmer reads the chip's CONFIG only",
                      "use --area config, or --mode icp with a part of the ICP list");
  if (options.area == "dataflash" && !part.HasDataFlash)
    return UsageError("--area dataflash: " + name + " has no DataFlash",
                      "quillet-cli parts " + name + " shows its areas");
  if (options.area == "ldrom" && !part.HasLdrom)
    return UsageError("--area ldrom: " + name + " has no LDROM",
                      "quillet-cli parts " + name + " shows its areas");
  return 0;
}

// The bytes Save writes for the area; nothing, after a FAIL, for an area the chip's CONFIG left unread.
std::optional<std::vector<uint8_t>> AreaBytes(const std::string& area, Workbench& bench,
                                              ConsoleReporter& reporter) {
  const ReadResults& read = bench.read();
  const auto from = [](const ReadBuffer& buffer, uint32_t count) {
    return std::vector<uint8_t>(buffer.begin(), buffer.begin() + std::min<uint32_t>(count, kImageCapacity));
  };
  if (area == "config")
    return std::vector<uint8_t>(read.ShownConfigBytes.rbegin(), read.ShownConfigBytes.rend());
  if (area == "aprom") return from(*read.aprom, read.ReadApromLast + 1);
  if (area == "dataflash") {
    if (read.DataFlashWasRead) return from(*read.dataFlash, read.ReadDataFlashLast + 1);
    reporter.SetDetail("the chip's CONFIG turns DataFlash off or leaves it no room; nothing was written");
    reporter.ShowFail("DataFlash was not read !");
    return std::nullopt;
  }
  if (read.LdromWasRead)
    return from(*read.ldrom, bench.catalogue().Row(bench.job().PartCode).LdromLastAddress + 1);
  reporter.SetDetail("the chip's CONFIG turns LDROM off; nothing was written");
  reporter.ShowFail("LDROM was not read !");
  return std::nullopt;
}

bool HexByExtension(const std::string& path) {
  std::string ext =
      path.substr(path.find_last_of('.') == std::string::npos ? path.size() : path.find_last_of('.'));
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext == ".hex" || ext == ".ihx";
}

// The read and the file; 0 when the file holds the area, else 1 after the message.
int ReadToFile(const ReadOptions& options, ProgrammerSession& session, nlohmann::ordered_json& json) {
  Workbench& bench = session.bench();
  ConsoleReporter& reporter = session.reporter();
  if (!ReadChipQuiet(bench) || session.Failed()) return 1;
  const auto bytes = AreaBytes(options.area, bench, reporter);
  if (!bytes) return 1;
  const bool hex = options.format.empty() ? HexByExtension(options.output) : options.format == "hex";
  const std::string text = hex ? BinToHex(*bytes) : std::string();
  const std::span<const uint8_t> content =
      hex ? std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()) : *bytes;
  if (!WriteFileAtomically(options.output, content)) {
    reporter.SetDetail(WriteFailureReason(options.output));
    reporter.ShowFail("Open file error !");
    return 1;
  }
  const char* caption = std::find_if(std::begin(kAreas), std::end(kAreas), [&](const AreaChoice& a) {
                          return options.area == a.option;
                        })->caption;
  reporter.ShowPass(std::string(caption) + " of the chip: " + std::to_string(bytes->size()) +
                    " bytes written to " + options.output + (hex ? " as Intel HEX" : ""));
  json["area"] = caption;
  json["file"] = options.output;
  json["format"] = hex ? "hex" : "bin";
  json["bytes"] = bytes->size();
  return 0;
}

void Run(const ReadOptions& options, int& exit_code) {
  const auto lock = HoldSettingsLock(options.link.settings, exit_code);
  if (!lock) return;
  auto session = ProgrammerSession::Create(options.link, std::cout, std::cerr, exit_code);
  if (!session) return;
  Workbench& bench = session->bench();
  if ((exit_code = RefuseComIspType(bench, "read")) != 0 || (exit_code = CheckArea(options, bench)) != 0)
    return;
  session->SetVerbNextStep(ChipVerbNextStep);
  bench.SocketChoice() = options.socket - 1;
  nlohmann::ordered_json file = nlohmann::ordered_json::object();
  exit_code = ReadToFile(options, *session, file);
  if (options.link.output.json) {
    nlohmann::ordered_json json = ResultJson(session->reporter());
    json.update(file);
    PrintJson(json);
  }
}

}  // namespace

void RegisterReadCommand(CLI::App& app, ExitCode& exit_code) {
  auto* read = app.add_subcommand(
      "read",
      "Read Chip: read the chip in the Programmer's socket and write one area to a file, the bytes the "
      "Read Chip window saves: APROM, DataFlash and LDROM as far as the chip's CONFIG says they reach, "
      "CONFIG as 8 bytes, CONFIG0 first. ISP reads the CONFIG bytes only. The file is binary, or Intel "
      "HEX at the area's own offsets when --format hex or its extension (.hex, .ihx) says so. With --gang "
      "the chip in socket --socket of the Gang Programmer is read.");
  auto options = std::make_shared<ReadOptions>();
  AddLinkOptions(*read, options->link);
  read->add_option("--mode", options->link.mode,
                   "the programmer type: isp or icp (default: the type whose list holds the part)")
      ->check(CLI::IsMember({"isp", "icp"}));
  auto* gang = read->add_flag("--gang", options->link.gang, "through a Gang Programmer (four sockets)");
  AddSocketOption(*read, options->socket, gang);
  read->add_option("--area", options->area, "the area to write: aprom, dataflash, ldrom or config")
      ->required()
      ->check(CLI::IsMember({"aprom", "dataflash", "ldrom", "config"}));
  read->add_option("-o,--output", options->output, "the file to write (replaced whole, never half written)")
      ->required();
  read->add_option("--format", options->format, "bin or hex (default: hex for a .hex or .ihx file, else bin)")
      ->check(CLI::IsMember({"bin", "hex"}));
  read->footer(HelpFooter(
      "Exit codes: 0 the file holds the area; 1 the read failed, or the chip's CONFIG left the area unread "
      "(the message on stderr, no file written); 2 a usage error, also for an area the type or part lacks "
      "and for a part set for ISP by COM Port (nothing is sent).",
      std::string(kPortVariables) + kFirmwareVariable,
      "quillet-cli read --port ttyUSB0 --part QMC04A --area aprom -o chip.hex"));
  read->callback([options, &exit_code] { Run(*options, exit_code.value); });
}

}  // namespace quillet::cli
