#pragma once
// The fixed-layout blocks a download sends: the 52-byte storage header after 0xC2, the gang header
// after 0xCA and the 19-byte serial-number block after 0xD2. Pure functions of the job, the part
// row and the images; multi-byte values go most significant byte first unless said otherwise.
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "core/catalogue/part_row.h"
#include "core/images/image_buffer.h"
#include "core/job/job_settings.h"

namespace quillet {

constexpr std::size_t kDownloadHeaderSize = 52;
constexpr std::size_t kPartNameBlockSize = 16;
constexpr std::size_t kSnBlockSize = 19;
constexpr std::size_t kGangNameLimit = 64;

using DownloadHeader = std::array<uint8_t, kDownloadHeaderSize>;

// An image's stamp as the Programmer keeps it: without the CONFIG sum, last address first and the
// file second last (9 bytes for APROM and DataFlash, 7 for LDROM).
std::vector<uint8_t> StampOnWire(const ImageBuffer& image);

// CONFIG bytes as they travel: the eighth stored byte first.
std::array<uint8_t, 8> ConfigOnWire(const ConfigByteArray& config);

// Offsets 47 and 48: where the part's DataFlash starts (bits 23..16, 15..8).
std::array<uint8_t, 2> DataFlashStartBytes(const PartRow& part, const ConfigByteArray& config);

// Offsets 45 and 46: the usage limit when enabled (60000 stands for the 0xFF, 0xFF the limit
// starts at), else 0xFF, 0xFF.
std::array<uint8_t, 2> UsageLimitOnWire(const JobSettings& job);

// The header after 0xC2; `job.ItemFlags` must already be built.
DownloadHeader BuildDownloadHeader(const PartRow& part, const JobSettings& job, const ImageBuffers& images);

// The part name at the start of 16 zero bytes.
std::array<uint8_t, kPartNameBlockSize> PartNameBlock(const PartRow& part);

// The header after 0xCA (firmware 0x0119 or later): parameter, verify mode, the four 16-bit sums,
// the part name with its terminating zero, 64 bytes at most.
std::vector<uint8_t> BuildGangHeader(const PartRow& part, const JobSettings& job, const ImageBuffers& images);

// The block after 0xD2: S/N address (24 bits), S/N value and increment in packed BCD.
std::array<uint8_t, kSnBlockSize> BuildSnBlock(const JobSettings& job);

}  // namespace quillet
