#include "sim/firmware_image.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "sim/device_tables.h"

namespace quillet::sim {
namespace {

constexpr uint8_t kMarker[] = {'Q', 'F', 'W'};

}  // namespace

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

std::vector<uint8_t> MakeFirmwareImage(FirmwareIdentity identity, std::size_t size) {
  std::vector<uint8_t> image(size);
  uint32_t state = 0x9E3779B9u ^ (identity.type_code * 0x01000193u) ^ identity.version;
  for (uint8_t& byte : image) {  // filler: a plain linear congruential sequence
    state = state * 1664525u + 1013904223u;
    byte = static_cast<uint8_t>(state >> 24);
  }
  if (size >= kIdentityOffset + kIdentitySize) {
    const uint8_t identity_bytes[kIdentitySize] = {kMarker[0],
                                                   kMarker[1],
                                                   kMarker[2],
                                                   identity.type_code,
                                                   static_cast<uint8_t>(identity.version >> 8),
                                                   static_cast<uint8_t>(identity.version)};
    std::copy(std::begin(identity_bytes), std::end(identity_bytes), image.begin() + kIdentityOffset);
  }
  return image;
}

std::optional<FirmwareIdentity> ReadFirmwareIdentity(std::span<const uint8_t> image) {
  if (image.size() < kIdentityOffset + kIdentitySize) return std::nullopt;
  const auto at = image.subspan(kIdentityOffset, kIdentitySize);
  if (!std::equal(std::begin(kMarker), std::end(kMarker), at.begin())) return std::nullopt;
  return FirmwareIdentity{at[3], static_cast<uint16_t>(at[4] << 8 | at[5])};
}

std::vector<uint8_t> ScrambledFile(std::vector<uint8_t> image) {
  for (const ByteSpan& span : kComplementedSpans) {
    for (std::size_t i = span.first; i <= span.last && i < image.size(); ++i)
      image[i] = static_cast<uint8_t>(~image[i]);
  }
  return image;
}

std::optional<std::vector<std::string>> WriteFirmwareSet(const std::string& folder, uint16_t version,
                                                         std::size_t programmer_size, std::size_t gang_size) {
  std::vector<std::string> paths;
  std::error_code error;
  if (!folder.empty()) std::filesystem::create_directories(folder, error);
  const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + '/';
  for (const FirmwareFileRow& row : kProgrammerFirmwareFiles) {
    const auto file = ScrambledFile(MakeFirmwareImage({row.type_code, version}, programmer_size));
    paths.push_back(prefix + std::string(row.file));
    if (!WriteBytes(paths.back(), file)) return std::nullopt;
  }
  paths.push_back(prefix + std::string(kGangFirmwareFileName));
  if (!WriteBytes(paths.back(), MakeFirmwareImage({kGangType, version}, gang_size))) return std::nullopt;
  return paths;
}

}  // namespace quillet::sim
