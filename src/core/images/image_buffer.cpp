#include "core/images/image_buffer.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace quillet {
namespace {

constexpr std::array<std::string_view, 3> kAreaNames{"APROM", "DataFlash", "LDROM"};

struct StampLayout {
  std::size_t size;
  std::size_t timeAt;  // second, then minute
  int checksumBytes;
  int addressBytes;
};
// Indexed by ImageArea.
constexpr std::array<StampLayout, 3> kStampLayouts{{{11, 2, 4, 3}, {9, 0, 4, 3}, {7, 0, 3, 2}}};

}  // namespace

std::string_view AreaName(ImageArea area) {
  return kAreaNames[static_cast<int>(area)];
}

FileNameParts SplitFileName(const std::string& path) {
  FileNameParts parts;
  parts.path = path;
  const auto slash = path.find_last_of('/');
  parts.fileName = slash == std::string::npos ? path : path.substr(slash + 1);
  const auto dot = parts.fileName.find_last_of('.');
  parts.fileTitle = dot == std::string::npos ? parts.fileName : parts.fileName.substr(0, dot);
  parts.fileExt = dot == std::string::npos ? std::string() : parts.fileName.substr(dot + 1);
  return parts;
}

std::span<const uint8_t> ImageBuffer::Stamp() const {
  return {ImageStamp.data(), kStampLayouts[static_cast<int>(area)].size};
}

std::string StoredNameText(const std::array<char, kStoredNameSize>& field) {
  const auto end = std::find(field.begin(), field.end(), '\0');
  return std::string(field.begin(), end);
}

std::string ImageBuffer::StoredName() const {
  return StoredNameText(storedName);
}

void ImageBuffer::SetStoredName(std::string_view name) {
  std::size_t keep = std::min(name.size(), kStoredNameSize - 1);
  // Never end inside a UTF-8 sequence: back up over continuation bytes to a lead byte.
  if (keep < name.size())
    while (keep > 0 && (static_cast<uint8_t>(name[keep]) & 0xC0) == 0x80) --keep;
  storedName.fill('\0');
  std::copy_n(name.begin(), keep, storedName.begin());
}

void ImageBuffer::UpdateSums() {
  checksum = ByteSum(Bytes());
  lastAddress = size - 1;
  sizeLow = size & 0xFF;
  sizeHigh = size >> 8;
}

void ImageBuffer::SetStampTime(int second, int minute) {
  const std::size_t at = kStampLayouts[static_cast<int>(area)].timeAt;
  ImageStamp[at] = static_cast<uint8_t>(second);
  ImageStamp[at + 1] = static_cast<uint8_t>(minute);
}

void ImageBuffer::UpdateStampSums() {
  const StampLayout& layout = kStampLayouts[static_cast<int>(area)];
  std::size_t at = layout.timeAt + 2;
  for (int i = 0; i < layout.checksumBytes; ++i) ImageStamp[at++] = static_cast<uint8_t>(checksum >> (8 * i));
  for (int i = 0; i < layout.addressBytes; ++i)
    ImageStamp[at++] = static_cast<uint8_t>(lastAddress >> (8 * i));
}

void ImageBuffer::ClearStampChecksumLow() {
  const std::size_t at = kStampLayouts[static_cast<int>(area)].timeAt + 2;
  ImageStamp[at] = 0;
  ImageStamp[at + 1] = 0;
}

ImageBuffer& ImageBuffers::operator[](ImageArea area) {
  return const_cast<ImageBuffer&>(std::as_const(*this)[area]);
}

const ImageBuffer& ImageBuffers::operator[](ImageArea area) const {
  switch (area) {
    case ImageArea::Aprom:
      return aprom;
    case ImageArea::DataFlash:
      return dataFlash;
    case ImageArea::Ldrom:
      break;
  }
  return ldrom;
}

uint32_t ByteSum(std::span<const uint8_t> bytes) {
  return std::accumulate(bytes.begin(), bytes.end(), uint32_t{0});
}

uint16_t ConfigByteSum(const std::array<uint8_t, 8>& config) {
  return static_cast<uint16_t>(std::accumulate(config.begin(), config.end(), 0u));
}

}  // namespace quillet
