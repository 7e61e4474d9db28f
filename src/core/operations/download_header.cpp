#include "core/operations/download_header.h"

#include <algorithm>

#include "core/storage/packed_bcd.h"

namespace quillet {
namespace {

// Where each area's stamp keeps its file time, and where the part of it that travels starts.
std::size_t StampTimeAt(ImageArea area) {
  return area == ImageArea::Aprom ? 2 : 0;
}

template <std::size_t N>
std::size_t Put(DownloadHeader& header, std::size_t at, const std::array<uint8_t, N>& bytes) {
  std::copy(bytes.begin(), bytes.end(), header.begin() + at);
  return at + N;
}

uint8_t Byte(uint32_t value, int shift) {
  return static_cast<uint8_t>(value >> shift);
}

}  // namespace

std::vector<uint8_t> StampOnWire(const ImageBuffer& image) {
  const std::span<const uint8_t> stamp = image.Stamp().subspan(StampTimeAt(image.area));
  return {stamp.rbegin(), stamp.rend()};
}

std::array<uint8_t, 8> ConfigOnWire(const ConfigByteArray& config) {
  std::array<uint8_t, 8> bytes{};
  std::reverse_copy(config.begin(), config.end(), bytes.begin());
  return bytes;
}

std::array<uint8_t, 2> DataFlashStartBytes(const PartRow& part, const ConfigByteArray& config) {
  if (part.FamilyFlagA && part.DataFlashByConfig) return {0x01, 0x00};
  if (part.IsCortexM0 && part.DataFlashByConfig) return {config[1], config[2]};
  if (part.FamilyFlagB && part.DataFlashByConfig) return {0x00, config[6]};
  if (part.FamilyFlagC) return {0x01, 0x02};
  return {Byte(part.DataFlashBase, 16), Byte(part.DataFlashBase, 8)};
}

std::array<uint8_t, 2> UsageLimitOnWire(const JobSettings& job) {
  if (!job.UsageLimitEnabled) return {0xFF, 0xFF};
  const unsigned limit = UsageLimitForDisplay(job.UsageLimit);
  return {Byte(limit, 8), Byte(limit, 0)};
}

DownloadHeader BuildDownloadHeader(const PartRow& part, const JobSettings& job, const ImageBuffers& images) {
  DownloadHeader header{};
  header[0] = Byte(job.PartCode, 0);
  header[1] = Byte(job.PartCode, 8);
  header[2] = part.DeviceCode;
  std::size_t at = 3;
  for (ImageArea area : kImageAreas) {
    const std::vector<uint8_t> stamp = StampOnWire(images[area]);
    at = std::copy(stamp.begin(), stamp.end(), header.begin() + at) - header.begin();
  }
  at = Put(header, at, ConfigOnWire(job.ConfigBytes));
  header[at++] = job.ItemFlags;
  header[at++] = Byte(part.PartParam1, 0);
  header[at++] = Byte(part.PartParam2, 0);
  header[at++] = part.PartParam3;
  header[at++] = part.PartParam4;
  header[at++] = Byte(part.PartParam5, 8);
  header[at++] = Byte(part.PartParam5, 0);
  header[at++] = part.ConfigByteCount;
  header[at++] = part.PartParam7;
  at = Put(header, at, UsageLimitOnWire(job));
  at = Put(header, at, DataFlashStartBytes(part, job.ConfigBytes));
  header[at++] = part.PartParam8;
  header[at++] = job.GangMode && job.GangVerifyOnly ? 0xFF : 0x00;
  header[at++] = part.DataFlashBase == 0x1F000 ? 0x00 : 0xFF;
  return header;
}

std::array<uint8_t, kPartNameBlockSize> PartNameBlock(const PartRow& part) {
  std::array<uint8_t, kPartNameBlockSize> block{};
  std::copy_n(part.PartName.begin(), std::min(part.PartName.size(), block.size()), block.begin());
  return block;
}

std::vector<uint8_t> BuildGangHeader(const PartRow& part, const JobSettings& job,
                                     const ImageBuffers& images) {
  const auto low16 = [](bool selected, uint32_t sum) {
    return selected ? static_cast<uint16_t>(sum) : uint16_t{0};
  };
  const uint16_t sums[] = {low16(job.ApromSelected, images.aprom.checksum),
                           low16(job.DataFlashSelected, images.dataFlash.checksum),
                           low16(job.LdromSelected, images.ldrom.checksum), images.ConfigChecksum};
  std::vector<uint8_t> header{part.PartParam8, static_cast<uint8_t>(job.GangVerifyOnly ? 0xFF : 0x00)};
  for (uint16_t sum : sums) {
    header.push_back(Byte(sum, 8));
    header.push_back(Byte(sum, 0));
  }
  const std::size_t name = std::min(part.PartName.size(), kGangNameLimit - 1);
  header.insert(header.end(), part.PartName.begin(), part.PartName.begin() + name);
  header.push_back(0);
  return header;
}

std::array<uint8_t, kSnBlockSize> BuildSnBlock(const JobSettings& job) {
  std::array<uint8_t, kSnBlockSize> block{Byte(job.SnAddress, 16), Byte(job.SnAddress, 8),
                                          Byte(job.SnAddress, 0)};
  const PackedBcd value = ToPackedBcd(job.SnValue), increment = ToPackedBcd(job.SnIncrement);
  std::copy(value.begin(), value.end(), block.begin() + 3);
  std::copy(increment.begin(), increment.end(), block.begin() + 11);
  return block;
}

}  // namespace quillet
