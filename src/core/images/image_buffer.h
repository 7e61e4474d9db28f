#pragma once
// The three in-memory images (APROM, DataFlash, LDROM), the sums derived from each, and the stamp
// bytes that the Programmer stores beside each image to tell whether its copy is still current.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/images/hex_damage.h"

namespace quillet {

constexpr uint32_t kImageCapacity = 262144;  // 256 KB per area
constexpr std::size_t kStoredNameSize = 64;

enum class ImageArea : uint8_t { Aprom = 0, DataFlash = 1, Ldrom = 2 };
inline constexpr std::array<ImageArea, 3> kImageAreas{ImageArea::Aprom, ImageArea::DataFlash,
                                                      ImageArea::Ldrom};

// "APROM", "DataFlash" or "LDROM", as the messages name the areas.
std::string_view AreaName(ImageArea area);

// A path split the way the file dialogs report it: "dir/code.hex" gives fileName "code.hex",
// fileTitle "code", fileExt "hex" (the text after the last dot of the name).
struct FileNameParts {
  std::string path;
  std::string fileName;
  std::string fileTitle;
  std::string fileExt;
};
FileNameParts SplitFileName(const std::string& path);

// A 64-byte stored-name field up to its first zero byte.
std::string StoredNameText(const std::array<char, kStoredNameSize>& field);

struct ImageBuffer {
  explicit ImageBuffer(ImageArea image_area) : area(image_area) {}

  ImageArea area;
  std::vector<uint8_t> data = std::vector<uint8_t>(kImageCapacity);  // byte i is area offset i
  uint32_t size = 0;
  uint32_t lastAddress = 0;  // size - 1; 0xFFFFFFFF for an empty file
  uint32_t checksum = 0;     // byte sum of the first `size` bytes, modulo 2^32
  uint32_t sizeLow = 0;
  uint32_t sizeHigh = 0;
  std::string path;
  std::string fileName;
  std::string fileTitle;
  std::string fileExt;
  // The name written into and read from project files; zero padded, always zero terminated.
  std::array<char, kStoredNameSize> storedName{};
  bool isHex = false;
  bool hasFile = false;
  bool fromProject = false;
  // What the last reload found in the HEX text: damaged records, the lowest data address. Empty for
  // a binary file.
  HexScan hexScan;
  // APROM: ConfigChecksum low, high, second, minute, checksum bits 7..0 to 31..24, lastAddress bits
  // 7..0 to 23..16. DataFlash: the same without the ConfigChecksum. LDROM: second, minute, three
  // checksum bytes, two address bytes. Only the first Stamp().size() bytes are used.
  std::array<uint8_t, 11> ImageStamp{};

  std::span<uint8_t, kImageCapacity> Data() {
    return std::span<uint8_t, kImageCapacity>(data.data(), kImageCapacity);
  }
  std::span<const uint8_t> Bytes() const { return {data.data(), size}; }
  std::span<const uint8_t> Stamp() const;

  std::string StoredName() const;  // up to the first zero byte
  // Keeps at most 63 bytes, cut at a character boundary, so that the field stays a terminated text.
  void SetStoredName(std::string_view name);

  // checksum, lastAddress, sizeLow and sizeHigh from data and size.
  void UpdateSums();
  void SetStampTime(int second, int minute);
  // The stamp's checksum and address bytes from checksum and lastAddress.
  void UpdateStampSums();
  // Bits 7..0 and 15..8 of the stamp's checksum: cleared for an area not selected for update.
  void ClearStampChecksumLow();
};

// The program-wide image state, one instance for the whole run. Large (three 256 KB buffers), so it
// lives on the heap.
struct ImageBuffers {
  ImageBuffer aprom{ImageArea::Aprom};
  ImageBuffer dataFlash{ImageArea::DataFlash};
  ImageBuffer ldrom{ImageArea::Ldrom};
  // Byte sum of the CONFIG bytes, 0 when CONFIG is not selected; also the first two APROM stamp bytes.
  uint16_t ConfigChecksum = 0;
  // End of the Cortex-M0 flash as the last APROM or DataFlash size check computed it.
  uint32_t FlashEnd = 0x20000;
  // The project file last saved or loaded; "File Name:" shows its name for images from a project.
  FileNameParts project;

  ImageBuffer& operator[](ImageArea area);
  const ImageBuffer& operator[](ImageArea area) const;
  bool AnyFile() const { return aprom.hasFile || dataFlash.hasFile || ldrom.hasFile; }
};

uint32_t ByteSum(std::span<const uint8_t> bytes);
// Sum of the eight CONFIG bytes as unsigned bytes (fits 16 bits).
uint16_t ConfigByteSum(const std::array<uint8_t, 8>& config);

}  // namespace quillet
