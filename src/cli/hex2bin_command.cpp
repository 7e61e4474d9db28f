// quillet-cli hex2bin IN.HEX OUT.BIN: converts an Intel HEX file exactly as Load File does (fill
// byte 0x00, image from address 0, size = highest address + 1) and writes the image's bytes.
#include <memory>

#include "cli/commands.h"
#include "cli/message_reporter.h"
#include "core/images/hex_to_bin.h"
#include "core/images/image_loader.h"
#include "core/sys/file_io.h"

namespace quillet::cli {
namespace {

int ConvertFile(const std::string& in, const std::string& out) {
  SystemClock clock;
  MessageReporter reporter(clock);
  const auto text = ReadFileLimited(in, kHexTextLimit);
  if (!text) {
    reporter.ShowFail("Open file error !");
    return 1;
  }
  if (text->truncated) {
    reporter.ShowFail("HEX file is too large (> 64 MB) !");
    return 1;
  }
  auto image = std::make_unique<uint8_t[]>(kImageCapacity);
  uint32_t size = 0;
  if (!Hex_to_Bin(text->bytes, 0x00, std::span<uint8_t, kImageCapacity>(image.get(), kImageCapacity), size,
                  reporter)) {
    reporter.ShowFail("Hex_to_Bin conversion failed !");
    return 1;
  }
  if (!WriteFileAtomically(out, std::span<const uint8_t>(image.get(), size), Durability::kRenameOnly)) {
    reporter.ShowFail("'" + out + "' cannot be created !");
    return 1;
  }
  return 0;
}

}  // namespace

void RegisterHex2BinCommand(CLI::App& app, ExitCode& exit_code) {
  auto* command =
      app.add_subcommand("hex2bin", "Convert an Intel HEX file to the binary image Load File makes of it");
  auto in = std::make_shared<std::string>();
  auto out = std::make_shared<std::string>();
  command->add_option("IN", *in, "the Intel HEX file")->required();
  command->add_option("OUT", *out, "the binary file to write (not written when the conversion fails)")
      ->required();
  command->callback([in, out, &exit_code] { exit_code.value = ConvertFile(*in, *out); });
}

}  // namespace quillet::cli
