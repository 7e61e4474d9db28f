#pragma once
// The bytes of a project file (*.TPJ): a 256-byte header with the job settings, then one section
// per image the job holds (APROM, DataFlash, LDROM, in that order, as ItemFlags bits 3, 2, 1 say),
// each a 64-byte stored name, the size, the byte sum, 8 zero bytes and the image bytes.
// Multi-byte integers are little-endian; flags are 0xFF when set.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/images/image_buffer.h"
#include "core/job/job_settings.h"

namespace quillet {

constexpr std::size_t kProjectHeaderSize = 256;
constexpr std::size_t kSectionHeaderSize = 80;
// The longest project: a header and three full sections.
constexpr std::size_t kProjectMaxSize = kProjectHeaderSize + 3 * (kSectionHeaderSize + kImageCapacity);
inline constexpr char kProjectHeaderText[] = "Tarvona TPJ A1.0";
inline constexpr char kProjectFormatError[] = "TPJ format error !";

// ItemFlags bit of an area's section: 3 APROM, 2 DataFlash, 1 LDROM.
uint8_t SectionFlag(ImageArea area);

struct ProjectSection {
  ImageArea area = ImageArea::Aprom;
  std::array<char, kStoredNameSize> storedName{};
  uint32_t offset = 0;  // of the section in the file
  uint32_t size = 0;
  uint32_t checksum = 0;          // as stored; not compared with the data
  std::span<const uint8_t> data;  // points into the decoded file's bytes

  std::string StoredName() const;  // up to the first zero byte
};

// The header fields as stored, and the sections found through ItemFlags.
struct ProjectContents {
  std::string PartName;  // bytes 16..31 up to the first zero
  uint8_t ProgrammerMode = 0;
  uint16_t ConfigSliderPos = 0;
  uint8_t ItemFlags = 0;
  std::array<uint8_t, 8> ConfigBytesInFile{};  // file order: the eighth stored CONFIG byte first
  UsageLimitBytes UsageLimit;                  // as stored (a 0, 0 pair is restored as 0xFF, 0xFF)
  bool UsageLimitEnabled = false;
  bool SnProgrammingEnabled = false;
  uint32_t SnAddress = 0;
  SplitDecimal SnIncrement;
  SplitDecimal SnValue;  // written, never restored
  bool ChipCounterEnabled = false;
  bool CountDown = false;
  uint32_t ChipCounter = 0;   // written, never restored
  bool FastProtocol = false;  // byte 104 is 0
  std::vector<ProjectSection> sections;
};

// The file's contents, or nothing when it is not a project this program can load: shorter than its
// header, byte 12 not 'A' (no other header byte is checked), a section cut off by the end of the
// file, or a section larger than an image buffer. Bytes after the last section are ignored.
std::optional<ProjectContents> DecodeProject(std::span<const uint8_t> file);

// The file for a job: the header from the settings (ItemFlags as it stands; OnSaveProject builds it
// first) and a section from the current buffer contents for every area whose ItemFlags bit is set.
std::vector<uint8_t> EncodeProject(const JobSettings& job, std::string_view part_name,
                                   const ImageBuffers& images);

// Puts the stored settings into the job, as loading does: ProgrammerMode, ConfigSliderPos,
// ItemFlags, ConfigBytes, usage limit, S/N address and increment, chip counter switches and
// direction, protocol; clears the Programmer's port name; then derives the mode flags and the
// selected flags from ProgrammerMode and ItemFlags. SnValue, ChipCounter and PartCode are left alone.
void RestoreProjectSettings(const ProjectContents& project, JobSettings& job);

}  // namespace quillet
