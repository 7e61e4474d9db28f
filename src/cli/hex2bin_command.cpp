// quillet-cli hex2bin IN.HEX OUT.BIN: converts an Intel HEX file exactly as Load File does (fill
// byte 0x00, image from address 0, size = highest address + 1) and writes the image's bytes. Damaged
// records, which the conversion lets pass, are warned of, or with --strict refuse the file.
#include <cstdio>
#include <memory>

#include "cli/commands.h"
#include "cli/interrupt.h"
#include "cli/verb_support.h"
#include "core/images/hex_damage.h"
#include "core/images/hex_to_bin.h"
#include "core/images/image_loader.h"
#include "core/sys/file_io.h"

namespace quillet::cli {
namespace {

struct Hex2BinOptions {
  std::string in;
  std::string out;
  bool strict = false;
  OutputOptions output;
};

std::string Address(uint32_t address) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%05X", address);
  return text;
}

// "out.bin: 272 bytes written, data from 0x00100 to 0x0010F; the 256 bytes below are 0x00".
std::string Summary(const std::string& out, uint32_t size, const HexScan& scan) {
  std::string text = out + ": " + std::to_string(size) + (size == 1 ? " byte" : " bytes") + " written, ";
  if (!scan.lowest_address) return text + "no data records (the image is one fill byte 0x00)";
  text += "data from " + Address(*scan.lowest_address) + " to " + Address(size - 1);
  if (*scan.lowest_address > 0)
    text += "; the image starts at 0, so the " + std::to_string(*scan.lowest_address) + " bytes below " +
            Address(*scan.lowest_address) + " are 0x00";
  return text;
}

int Convert(const Hex2BinOptions& options, ConsoleReporter& reporter, uint32_t& size, HexScan& scan) {
  const auto text = ReadFileLimited(options.in, kHexTextLimit);
  if (!text) {
    reporter.SetDetail(ReadFailureReason(options.in));
    reporter.ShowFail("Open file error !");
    return 1;
  }
  if (text->truncated) {
    reporter.ShowFail("HEX file is too large (> 64 MB) !");
    return 1;
  }
  auto image = std::make_unique<uint8_t[]>(kImageCapacity);
  reporter.SetDebugPrefix(options.in + ": ");
  if (!Hex_to_Bin(text->bytes, 0x00, std::span<uint8_t, kImageCapacity>(image.get(), kImageCapacity), size,
                  reporter)) {
    reporter.ShowFail("Hex_to_Bin conversion failed !");
    return 1;
  }
  scan = ScanHexText(text->bytes);
  if (scan.Damaged()) {
    reporter.SetDetail(options.in + " " + HexDamageDetail(scan));
    if (options.strict) {
      reporter.ShowFail(HexDamageMessage(scan));
      return 1;
    }
    reporter.ShowWarning(HexDamageMessage(scan));
  }
  UnitOfWork unit("the output file is written first");
  if (!WriteFileAtomically(options.out, std::span<const uint8_t>(image.get(), size),
                           Durability::kRenameOnly)) {
    reporter.SetDetail(WriteFailureReason(options.out));
    reporter.ShowFail("'" + options.out + "' cannot be created !");
    return 1;
  }
  reporter.ShowPass(Summary(options.out, size, scan));
  return 0;
}

int Run(const Hex2BinOptions& options) {
  SystemClock clock;
  ConsoleReporter reporter(clock, std::cout, std::cerr, false, options.output);
  uint32_t size = 0;
  HexScan scan;
  const int code = Convert(options, reporter, size, scan);
  if (options.output.json) {
    nlohmann::ordered_json json = ResultJson(reporter);
    json["output"] = code == 0 ? nlohmann::ordered_json(options.out) : nlohmann::ordered_json();
    json["size"] = size;
    json["lowestAddress"] = scan.lowest_address ? nlohmann::ordered_json(*scan.lowest_address) : nullptr;
    json["highestAddress"] = scan.lowest_address ? nlohmann::ordered_json(size - 1) : nullptr;
    json["damagedRecords"] = scan.damaged;
    json["firstDamagedLine"] = scan.Damaged() ? nlohmann::ordered_json(scan.first_line) : nullptr;
    PrintJson(json);
  }
  return code;
}

}  // namespace

void RegisterHex2BinCommand(CLI::App& app, ExitCode& exit_code) {
  auto* command = app.add_subcommand(
      "hex2bin",
      "Convert an Intel HEX file to the binary image Load File makes of it: the image starts at address "
      "0, gaps and the space below the first data hold 0x00, and it ends at the highest address written. "
      "Records whose checksum, byte count or digits are wrong, or whose type is unknown, convert as the "
      "window converts them, with a warning that names the first one's line.");
  auto options = std::make_shared<Hex2BinOptions>();
  command->add_option("IN", options->in, "the Intel HEX file")->required();
  command->add_option("OUT", options->out, "the binary file to write (not written when the conversion fails)")
      ->required();
  command->add_flag("--strict", options->strict, "refuse a file with damaged records instead of warning");
  AddOutputOptions(*command, options->output);
  command->footer(
      HelpFooter("Exit codes: 0 written (warnings may have been said); 1 not written: the file "
                 "cannot be read, is no Intel HEX, or is damaged under --strict; 2 a usage error.",
                 "", "quillet-cli hex2bin --strict firmware.hex firmware.bin"));
  command->callback([options, &exit_code] { exit_code.value = Run(*options); });
}

}  // namespace quillet::cli
