#include "core/storage/project_file.h"

#include <algorithm>
#include <cstring>

#include "core/storage/packed_bcd.h"

namespace quillet {
namespace {

// Header field offsets.
constexpr std::size_t kFormatByte = 12, kPartName = 16, kPartNameSize = 16, kMode = 32, kSliderPos = 33,
                      kItemFlags = 35, kConfig = 40, kPortName = 48, kUsageHigh = 64, kUsageLow = 65,
                      kUsageEnabled = 66, kSnEnabled = 72, kSnAddress = 74, kSnIncrement = 80, kSnValue = 88,
                      kCounterEnabled = 96, kCountDown = 97, kChipCounter = 98, kFastProtocol = 104;
// Section field offsets.
constexpr std::size_t kSectionSize = 64, kSectionChecksum = 68;

uint32_t GetLe(std::span<const uint8_t> bytes, std::size_t at, std::size_t size) {
  uint32_t value = 0;
  for (std::size_t i = size; i-- > 0;) value = (value << 8) | bytes[at + i];
  return value;
}

void PutLe(uint8_t* out, std::size_t size, uint32_t value) {
  for (std::size_t i = 0; i < size; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint8_t Flag(bool on) {
  return on ? 0xFF : 0x00;
}

std::string TextField(std::span<const uint8_t> bytes) {
  const auto end = std::find(bytes.begin(), bytes.end(), 0);
  return std::string(bytes.begin(), end);
}

}  // namespace

uint8_t SectionFlag(ImageArea area) {
  switch (area) {
    case ImageArea::Aprom:
      return 0x08;
    case ImageArea::DataFlash:
      return 0x04;
    case ImageArea::Ldrom:
      break;
  }
  return 0x02;
}

std::string ProjectSection::StoredName() const {
  return StoredNameText(storedName);
}

std::optional<ProjectContents> DecodeProject(std::span<const uint8_t> file) {
  if (file.size() < kProjectHeaderSize || file[kFormatByte] != 'A') return std::nullopt;
  ProjectContents project;
  project.PartName = TextField(file.subspan(kPartName, kPartNameSize));
  project.ProgrammerMode = file[kMode];
  project.ConfigSliderPos = static_cast<uint16_t>(GetLe(file, kSliderPos, 2));
  project.ItemFlags = file[kItemFlags];
  std::copy_n(file.begin() + kConfig, 8, project.ConfigBytesInFile.begin());
  project.UsageLimit = {file[kUsageHigh], file[kUsageLow]};
  project.UsageLimitEnabled = file[kUsageEnabled] != 0;
  project.SnProgrammingEnabled = file[kSnEnabled] != 0;
  project.SnAddress = GetLe(file, kSnAddress, 4);
  project.SnIncrement = FromPackedBcd(file.subspan<kSnIncrement, 8>());
  project.SnValue = FromPackedBcd(file.subspan<kSnValue, 8>());
  project.ChipCounterEnabled = file[kCounterEnabled] != 0;
  project.CountDown = file[kCountDown] != 0;
  project.ChipCounter = GetLe(file, kChipCounter, 4);
  project.FastProtocol = file[kFastProtocol] == 0;

  std::size_t offset = kProjectHeaderSize;
  for (ImageArea area : kImageAreas) {
    if ((project.ItemFlags & SectionFlag(area)) == 0) continue;
    if (file.size() - offset < kSectionHeaderSize) return std::nullopt;
    ProjectSection section;
    section.area = area;
    section.offset = static_cast<uint32_t>(offset);
    std::memcpy(section.storedName.data(), &file[offset], kStoredNameSize);
    section.size = GetLe(file, offset + kSectionSize, 4);
    section.checksum = GetLe(file, offset + kSectionChecksum, 4);
    offset += kSectionHeaderSize;
    if (section.size > kImageCapacity || file.size() - offset < section.size) return std::nullopt;
    section.data = file.subspan(offset, section.size);
    offset += section.size;
    project.sections.push_back(section);
  }
  return project;
}

std::vector<uint8_t> EncodeProject(const JobSettings& job, std::string_view part_name,
                                   const ImageBuffers& images) {
  std::vector<uint8_t> file(kProjectHeaderSize, 0);
  std::memcpy(file.data(), kProjectHeaderText, 16);
  std::copy_n(part_name.begin(), std::min(part_name.size(), kPartNameSize), file.begin() + kPartName);
  file[kMode] = job.ProgrammerMode;
  PutLe(&file[kSliderPos], 2, job.ConfigSliderPos);
  file[kItemFlags] = job.ItemFlags;
  std::reverse_copy(job.ConfigBytes.begin(), job.ConfigBytes.end(), file.begin() + kConfig);
  std::copy(job.ProgrammerPortName.begin(), job.ProgrammerPortName.end(), file.begin() + kPortName);
  file[kUsageHigh] = job.UsageLimit.high;
  file[kUsageLow] = job.UsageLimit.low;
  file[kUsageEnabled] = Flag(job.UsageLimitEnabled);
  file[kSnEnabled] = Flag(job.SnProgrammingEnabled);
  PutLe(&file[kSnAddress], 4, job.SnAddress);
  const PackedBcd increment = ToPackedBcd(job.SnIncrement);
  const PackedBcd value = ToPackedBcd(job.SnValue);
  std::copy(increment.begin(), increment.end(), file.begin() + kSnIncrement);
  std::copy(value.begin(), value.end(), file.begin() + kSnValue);
  file[kCounterEnabled] = Flag(job.ChipCounterEnabled);
  file[kCountDown] = Flag(job.CountDown);
  PutLe(&file[kChipCounter], 4, job.ChipCounter);
  file[kFastProtocol] = Flag(!job.FastProtocol);  // stored inverted: 0x00 means Fast Protocol

  for (ImageArea area : kImageAreas) {
    if ((job.ItemFlags & SectionFlag(area)) == 0) continue;
    const ImageBuffer& image = images[area];
    const std::size_t at = file.size();
    file.resize(at + kSectionHeaderSize, 0);
    std::copy(image.storedName.begin(), image.storedName.end(), file.begin() + at);
    PutLe(&file[at + kSectionSize], 4, image.size);
    PutLe(&file[at + kSectionChecksum], 4, image.checksum);
    const auto bytes = image.Bytes();
    file.insert(file.end(), bytes.begin(), bytes.end());
  }
  return file;
}

void RestoreProjectSettings(const ProjectContents& project, JobSettings& job) {
  job.ProgrammerMode = project.ProgrammerMode;
  job.ConfigSliderPos = project.ConfigSliderPos;
  job.ItemFlags = project.ItemFlags;
  std::reverse_copy(project.ConfigBytesInFile.begin(), project.ConfigBytesInFile.end(),
                    job.ConfigBytes.begin());
  job.SetPortName("");
  job.UsageLimit =
      project.UsageLimit == UsageLimitBytes{0, 0} ? UsageLimitBytes{0xFF, 0xFF} : project.UsageLimit;
  job.UsageLimitEnabled = project.UsageLimitEnabled;
  job.SnProgrammingEnabled = project.SnProgrammingEnabled;
  job.SnAddress = project.SnAddress;
  job.SnIncrement = project.SnIncrement;
  job.ChipCounterEnabled = project.ChipCounterEnabled;
  job.CountDown = project.CountDown;
  job.FastProtocol = project.FastProtocol;

  DeriveModeFlags(job);
  const uint8_t flags = project.ItemFlags;
  job.ApromSelected = flags & 0x08;
  job.DataFlashSelected = flags & 0x04;
  job.LdromSelected = flags & 0x02;
  job.ConfigSelected = flags & 0x01;
  job.UpdateIspDownload = flags & 0x10;
  job.SeparateApromErase = flags & 0x40;
}

}  // namespace quillet
