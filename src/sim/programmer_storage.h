#pragma once
// What a Programmer keeps between a download and the chips it programs: the 52-byte header as it
// came, the part-name block, the three stored file names, the images of the selected areas, the
// last S/N block (0xD2), whether the last download completed, and the uses left.
//
// Reading of the header: an area is present when its item-flag bit (3 APROM, 2 DataFlash,
// 1 LDROM) is set, and it is (last address + 1) bytes long, the last address taken as the header
// gives it (24 bits for APROM and DataFlash, 16 for LDROM) and wrapping, so an empty file's all-ones
// last address gives 0 bytes. The usage limit is set from offsets 45..46 when the download
// completes; 0xFF 0xFF is no limit.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/device_tables.h"

namespace quillet::sim {

enum class Area : uint8_t { Aprom, DataFlash, Ldrom };
constexpr std::array<Area, 3> kAreas{Area::Aprom, Area::DataFlash, Area::Ldrom};

using SnBlock = std::array<uint8_t, kSnBlockSize>;

class ProgrammerStorage {
 public:
  std::array<uint8_t, kDownloadHeaderSize> header{};
  std::array<uint8_t, kPartNameBlockSize> part_name{};
  std::array<std::array<uint8_t, kStoredNameSize>, 3> names{};
  std::array<std::vector<uint8_t>, 3> images;
  std::optional<SnBlock> sn;
  bool complete = false;
  uint16_t uses_left = kNoUsageLimit;

  uint8_t item_flags() const { return header[kHeaderItemFlags]; }
  bool Selected(Area area) const;
  bool ConfigSelected() const { return (item_flags() & kItemConfig) != 0; }
  bool Icp() const { return (item_flags() & kItemIcp) != 0; }
  // Bytes of the area the header announces.
  std::size_t AreaSize(Area area) const;
  std::vector<uint8_t>& image(Area area) { return images[static_cast<std::size_t>(area)]; }
  const std::vector<uint8_t>& image(Area area) const { return images[static_cast<std::size_t>(area)]; }
  std::array<uint8_t, 8> Config() const;
  bool VerifyOnly() const { return header[kHeaderGangVerify] == 0xFF; }

  // A new download starts: the images and the completion go (the S/N block stays).
  void Clear();
  // The download completed: the usage limit of its header applies from now on.
  void Complete();
  bool Spent() const { return uses_left == 0; }
  void SpendUse();
  // 0 when the storage holds a completed download with uses left, else kStorageEmpty.
  uint8_t Status() const;
  // The report after 0xC3's acknowledge: status, part code (high byte from firmware 0x0501 on),
  // item flags, the three stamps and names, CONFIG, gang verify.
  std::vector<uint8_t> Report(uint16_t firmware_version) const;

  // The file: "QSTG", version 1, then the fields in declaration order, images with their lengths.
  std::vector<uint8_t> Serialize() const;
  bool Deserialize(const std::vector<uint8_t>& bytes);
  // 1 when the storage was written (atomically) / read whole, else 0.
  int Save(const std::string& path) const;
  int Load(const std::string& path);
};

}  // namespace quillet::sim
