#include "sim/programmer_storage.h"

#include <algorithm>

#include "core/sys/file_io.h"

namespace quillet::sim {
namespace {

constexpr std::array<uint8_t, 4> kMagic{'Q', 'S', 'T', 'G'};
constexpr uint8_t kFileVersion = 1;
constexpr std::size_t kMaxImage = std::size_t{1} << 24;

std::size_t Index(Area area) {
  return static_cast<std::size_t>(area);
}

// Where an area's stamp starts in the header, and how many bytes its last address takes.
struct StampLayout {
  std::size_t offset;
  std::size_t address_bytes;
};
constexpr std::array<StampLayout, 3> kStamps{
    {{kHeaderApromStamp, 3}, {kHeaderDataFlashStamp, 3}, {kHeaderLdromStamp, 2}}};
constexpr std::array<std::size_t, 3> kStampSizes{9, 9, 7};

void Put32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

class Reader {
 public:
  explicit Reader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
  bool Take(uint8_t* out, std::size_t count) {
    if (bytes_.size() - at_ < count) return false;
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(at_), count, out);
    at_ += count;
    return true;
  }
  template <std::size_t N>
  bool Take(std::array<uint8_t, N>& out) {
    return Take(out.data(), N);
  }
  std::optional<uint32_t> Take32() {
    std::array<uint8_t, 4> raw{};
    if (!Take(raw)) return std::nullopt;
    return uint32_t{raw[0]} << 24 | uint32_t{raw[1]} << 16 | uint32_t{raw[2]} << 8 | raw[3];
  }
  bool AtEnd() const { return at_ == bytes_.size(); }

 private:
  const std::vector<uint8_t>& bytes_;
  std::size_t at_ = 0;
};

}  // namespace

bool ProgrammerStorage::Selected(Area area) const {
  return (item_flags() & (0x08 >> Index(area))) != 0;
}

std::size_t ProgrammerStorage::AreaSize(Area area) const {
  const StampLayout layout = kStamps[Index(area)];
  uint32_t last = 0;
  for (std::size_t i = 0; i < layout.address_bytes; ++i) last = last << 8 | header[layout.offset + i];
  const uint32_t mask = (uint32_t{1} << (8 * layout.address_bytes)) - 1;
  return (last + 1) & mask;
}

std::array<uint8_t, 8> ProgrammerStorage::Config() const {
  std::array<uint8_t, 8> config{};
  std::copy_n(header.begin() + kHeaderConfig, config.size(), config.begin());
  return config;
}

void ProgrammerStorage::Clear() {
  for (auto& image : images) image.clear();
  complete = false;
}

void ProgrammerStorage::Complete() {
  complete = true;
  uses_left = static_cast<uint16_t>(header[kHeaderUsageLimit] << 8 | header[kHeaderUsageLimit + 1]);
}

void ProgrammerStorage::SpendUse() {
  if (uses_left != kNoUsageLimit && uses_left > 0) --uses_left;
}

uint8_t ProgrammerStorage::Status() const {
  return complete && !Spent() ? 0 : kStorageEmpty;
}

std::vector<uint8_t> ProgrammerStorage::Report(uint16_t firmware_version) const {
  std::vector<uint8_t> report{Status(), header[0]};
  if (firmware_version >= kReportPartHighFrom) report.push_back(header[1]);
  report.push_back(item_flags());
  for (Area area : kAreas) {
    const auto stamp = header.begin() + static_cast<std::ptrdiff_t>(kStamps[Index(area)].offset);
    report.insert(report.end(), stamp, stamp + static_cast<std::ptrdiff_t>(kStampSizes[Index(area)]));
    report.insert(report.end(), names[Index(area)].begin(), names[Index(area)].end());
  }
  const auto config = Config();
  report.insert(report.end(), config.begin(), config.end());
  report.push_back(header[kHeaderGangVerify]);
  return report;
}

std::vector<uint8_t> ProgrammerStorage::Serialize() const {
  std::vector<uint8_t> out(kMagic.begin(), kMagic.end());
  out.push_back(kFileVersion);
  out.insert(out.end(), header.begin(), header.end());
  out.insert(out.end(), part_name.begin(), part_name.end());
  for (const auto& name : names) out.insert(out.end(), name.begin(), name.end());
  for (const auto& image : images) {
    Put32(out, static_cast<uint32_t>(image.size()));
    out.insert(out.end(), image.begin(), image.end());
  }
  out.push_back(sn ? 1 : 0);
  if (sn) out.insert(out.end(), sn->begin(), sn->end());
  out.push_back(complete ? 1 : 0);
  out.push_back(static_cast<uint8_t>(uses_left >> 8));
  out.push_back(static_cast<uint8_t>(uses_left));
  return out;
}

bool ProgrammerStorage::Deserialize(const std::vector<uint8_t>& bytes) {
  ProgrammerStorage read;
  Reader in(bytes);
  std::array<uint8_t, 4> magic{};
  std::array<uint8_t, 1> version{}, flag{}, has_sn{};
  std::array<uint8_t, 2> uses{};
  if (!in.Take(magic) || magic != kMagic || !in.Take(version) || version[0] != kFileVersion) return false;
  if (!in.Take(read.header) || !in.Take(read.part_name)) return false;
  for (auto& name : read.names) {
    if (!in.Take(name)) return false;
  }
  for (auto& image : read.images) {
    const auto size = in.Take32();
    if (!size || *size > kMaxImage) return false;
    image.resize(*size);
    if (!in.Take(image.data(), image.size())) return false;
  }
  if (!in.Take(has_sn)) return false;
  if (has_sn[0] != 0 && !in.Take(read.sn.emplace())) return false;
  if (!in.Take(flag) || !in.Take(uses) || !in.AtEnd()) return false;
  read.complete = flag[0] != 0;
  read.uses_left = static_cast<uint16_t>(uses[0] << 8 | uses[1]);
  *this = std::move(read);
  return true;
}

int ProgrammerStorage::Save(const std::string& path) const {
  return WriteFileAtomically(path, Serialize(), Durability::kRenameOnly);
}

int ProgrammerStorage::Load(const std::string& path) {
  const auto file = ReadFileLimited(path, 4 * kMaxImage);
  return file && !file->truncated && Deserialize(file->bytes) ? 1 : 0;
}

}  // namespace quillet::sim
