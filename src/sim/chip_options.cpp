#include "sim/chip_options.h"

#include <charconv>

#include "core/catalogue/part_catalogue.h"
#include "core/sys/file_io.h"
#include "sim/programmer_storage.h"

namespace quillet::sim {
namespace {

constexpr uint8_t kLastSocket = 4;
constexpr std::size_t kMaxChipFile = std::size_t{1} << 24;  // the most a 24-bit address reaches
constexpr std::string_view kStatusPrefix = "status=";

std::optional<unsigned> Number(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<uint8_t> Byte(std::string_view text) {
  const auto value = Number(text);
  if (!value || *value > 0xFF) return std::nullopt;
  return static_cast<uint8_t>(*value);
}

// Exactly `count` bytes, comma-separated, into `out`.
template <std::size_t N>
std::string Bytes(std::string_view text, std::array<uint8_t, N>& out) {
  std::size_t index = 0;
  for (;;) {
    const std::size_t comma = text.find(',');
    const auto byte = Byte(text.substr(0, comma));
    if (!byte || index == N) return "takes " + std::to_string(N) + " bytes such as 0xFF";
    out[index++] = *byte;
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return index == N ? "" : "takes " + std::to_string(N) + " bytes such as 0xFF";
}

std::string File(std::string_view path, std::vector<uint8_t>& out) {
  const auto file = ReadFileLimited(std::string(path), kMaxChipFile);
  if (!file || file->truncated) return "cannot read " + std::string(path) + " (at most 16 MB)";
  out = file->bytes;
  return "";
}

std::string Part(std::string_view value, Chip& chip) {
  static const PartCatalogue catalogue;
  const auto code = catalogue.FindPartCode(CurrentPartName(value), 0, kPartCount - 1);
  if (!code) return "names no part";
  chip.part = static_cast<uint16_t>(*code);
  return "";
}

std::string Flash(std::string_view value, Chip& chip) {
  return File(value, chip.flash);
}

std::string Ldrom(std::string_view value, Chip& chip) {
  return File(value, chip.areas[static_cast<std::size_t>(Area::Ldrom)]);
}

std::string Config(std::string_view value, Chip& chip) {
  return Bytes(value, chip.config);
}

std::string Trim(std::string_view value, Chip& chip) {
  return Bytes(value, chip.trim);
}

std::string FlawOrStatus(std::string_view value, Chip& chip) {
  if (value.starts_with(kStatusPrefix)) {
    chip.read_status = Byte(value.substr(kStatusPrefix.size()));
    return chip.read_status ? "" : "status takes a byte such as 3";
  }
  const auto flaw = ParseSocketFlaw("0:" + std::string(value));
  if (!flaw) return "takes status=N or a flaw: " + ChipFlawNames();
  chip.spec.Add(flaw->flaw);
  return "";
}

struct ChipOption {
  std::string_view name;
  std::string (*apply)(std::string_view value, Chip& chip);
};
constexpr ChipOption kChipOptions[] = {
    {"chip-part", Part},     {"chip-flash", Flash}, {"chip-ldrom", Ldrom},
    {"chip-config", Config}, {"chip-trim", Trim},   {"chip", FlawOrStatus},
};

}  // namespace

std::string ApplyChipOption(std::string_view name, std::string_view value, ChipFeeder& feeder) {
  const std::size_t colon = value.find(':');
  const auto socket = Number(value.substr(0, colon));
  if (colon == std::string_view::npos || !socket || *socket > kLastSocket) return "takes S:VALUE, S = 0..4";
  for (const ChipOption& option : kChipOptions) {
    if (option.name == name)
      return option.apply(value.substr(colon + 1), feeder.Blank(static_cast<uint8_t>(*socket)));
  }
  return "is not a chip option";
}

}  // namespace quillet::sim
