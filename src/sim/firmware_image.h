#pragma once
// Invented firmware for the simulated Programmers. A firmware image as the device receives it
// carries, at offset 16, the marker "QFW", the type code the firmware answers to 0xC0 and its
// version (high byte, low byte); the rest is filler. Files of the single Programmer are stored with
// the three complemented ranges the program restores before sending; Gang files are stored as is.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace quillet::sim {

struct FirmwareIdentity {
  uint8_t type_code = 0;
  uint16_t version = 0;
  bool operator==(const FirmwareIdentity&) const = default;
};

constexpr std::size_t kIdentityOffset = 16;
constexpr std::size_t kIdentitySize = 6;

// An image of `size` bytes (the identity is left out of images too short to hold it).
std::vector<uint8_t> MakeFirmwareImage(FirmwareIdentity identity, std::size_t size);
// The identity an image carries, if any.
std::optional<FirmwareIdentity> ReadFirmwareIdentity(std::span<const uint8_t> image);
// The file of a single Programmer's image: the image with the three ranges complemented.
std::vector<uint8_t> ScrambledFile(std::vector<uint8_t> image);
// Writes a file whole (no temporary file: these are generated test and demo files).
bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// Writes the fifteen Programmer files and the Gang file, at firmware version `version`, into
// `folder`. Returns the paths written, or nothing when a file cannot be written.
std::optional<std::vector<std::string>> WriteFirmwareSet(const std::string& folder, uint16_t version,
                                                         std::size_t programmer_size, std::size_t gang_size);

}  // namespace quillet::sim
