#include "sim/chip_feeder.h"

#include <charconv>
#include <filesystem>

#include "sim/firmware_image.h"

namespace quillet::sim {
namespace {

struct FlawName {
  ChipFlaw flaw;
  std::string_view name;
};

constexpr FlawName kFlawNames[] = {
    {ChipFlaw::Missing, "missing"},      {ChipFlaw::WrongPart, "wrong-part"},
    {ChipFlaw::Locked, "locked"},        {ChipFlaw::DataFlashOff, "dataflash-off"},
    {ChipFlaw::FailAprom, "fail-aprom"}, {ChipFlaw::FailDataFlash, "fail-dataflash"},
    {ChipFlaw::FailLdrom, "fail-ldrom"}, {ChipFlaw::FailConfig, "fail-config"},
};

constexpr std::array<std::string_view, 3> kAreaFileNames{"aprom", "dataflash", "ldrom"};
constexpr uint8_t kLastSocket = 4;

}  // namespace

std::optional<SocketFlaw> ParseSocketFlaw(std::string_view text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos || colon == 0) return std::nullopt;
  unsigned socket = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + colon, socket);
  if (error != std::errc() || end != text.data() + colon || socket > kLastSocket) return std::nullopt;
  for (const FlawName& entry : kFlawNames) {
    if (entry.name == text.substr(colon + 1)) return SocketFlaw{static_cast<uint8_t>(socket), entry.flaw};
  }
  return std::nullopt;
}

std::string ChipFlawNames() {
  std::string names;
  for (const FlawName& entry : kFlawNames) names += (names.empty() ? "" : ", ") + std::string(entry.name);
  return names;
}

int ChipFeeder::SetDumpFolder(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  folder_ = folder;
  csv_.open(folder + "/chips.csv", std::ios::binary | std::ios::trunc);
  if (!csv_) return 0;
  csv_ << "seq,socket,passed,sn\n" << std::flush;
  return 1;
}

Chip* ChipFeeder::Seat(uint8_t socket) {
  const Chip& blank = blanks_[socket];
  if (blank.spec.Has(ChipFlaw::Missing)) return nullptr;
  if (const auto seated = seats_.find(socket); seated != seats_.end()) return &seated->second;
  if (limit_ != 0 && handed_ >= limit_) return nullptr;
  ++handed_;
  Chip& chip = seats_.emplace(socket, blank).first->second;
  if (chip.spec.Has(ChipFlaw::Locked))
    chip.config[0] = static_cast<uint8_t>(chip.config[0] & ~kConfig0LockBit);
  return &chip;
}

void ChipFeeder::Done(uint8_t socket, bool passed, std::string sn) {
  const auto seated = seats_.find(socket);
  if (seated == seats_.end()) return;
  ProgrammedChip record{++seq_, socket, passed, std::move(sn), std::move(seated->second)};
  seats_.erase(seated);
  if (!folder_.empty()) Dump(record);
  if (!keep_contents_) record.chip.areas = {};
  programmed_.push_back(std::move(record));
}

void ChipFeeder::Dump(const ProgrammedChip& record) {
  const std::string stem = folder_ + "/chip" + std::to_string(record.seq) + "-";
  for (std::size_t i = 0; i < kAreaFileNames.size(); ++i)
    WriteBytes(stem + std::string(kAreaFileNames[i]) + ".bin", record.chip.areas[i]);
  WriteBytes(stem + "config.bin", std::vector<uint8_t>(record.chip.config.begin(), record.chip.config.end()));
  csv_ << record.seq << ',' << int{record.socket} << ',' << (record.passed ? 1 : 0) << ',' << record.sn
       << '\n'
       << std::flush;
}

}  // namespace quillet::sim
