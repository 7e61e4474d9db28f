// The information exchange (0xC6), the Programmer's side: after the acknowledge, 0xFF alone when
// the storage holds no complete download; else 0, then what the storage holds, the fields by the
// firmware's version:
//   the part code (its high byte from 0x0501 on), the 16-byte part name (from 0x0505 on);
//   per area the 64-byte stored name, the last address (APROM, DataFlash 3 bytes; LDROM 2) and the
//   low 16 bits of the sum, high byte first;
//   the CONFIG bytes as downloaded, the item flags;
//   the uses left (from 0x0524 on), the gang verify byte (from 0x0601 on), and from 0x0614 on a byte
//   0 when an S/N block waits for the next chip (else 0xFF) and that block's 19 bytes (zeros when
//   none waits).
// Below 0x0490 the old exchange: a one-byte code, the APROM name in 128 bytes, its last address and
// sum; then, for ICP codes and the ISP list's parts whose CONFIG is written in ISP mode, the
// DataFlash name, its last address in 2 bytes, its sum, the CONFIG bytes and the item flags.
#include "core/catalogue/part_catalogue.h"
#include "sim/programmer_model.h"

namespace quillet::sim {
namespace {

// Where each area's last address and sum lie in the download header, and the last address's bytes.
struct InfoStamp {
  std::size_t last;
  std::size_t last_bytes;
  std::size_t sum_low;  // the sum's bits 15..8; bits 7..0 follow
};
constexpr std::array<InfoStamp, 3> kInfoStamps{
    {{kHeaderApromStamp, 3, 8}, {kHeaderDataFlashStamp, 3, 17}, {kHeaderLdromStamp, 2, 24}}};

void Append(std::vector<uint8_t>& out, const uint8_t* first, std::size_t count) {
  out.insert(out.end(), first, first + count);
}

void AppendArea(const ProgrammerStorage& storage, Area area, std::size_t name_size, std::size_t last_bytes,
                std::vector<uint8_t>& out) {
  const std::size_t index = static_cast<std::size_t>(area);
  const InfoStamp stamp = kInfoStamps[index];
  Append(out, storage.names[index].data(), storage.names[index].size());
  out.resize(out.size() + name_size - kStoredNameSize, 0x00);
  Append(out, storage.header.data() + stamp.last + stamp.last_bytes - last_bytes, last_bytes);
  Append(out, storage.header.data() + stamp.sum_low, 2);
}

void AppendConfigAndItems(const ProgrammerStorage& storage, std::vector<uint8_t>& out) {
  Append(out, storage.header.data() + kHeaderConfig, kConfigSize);
  out.push_back(storage.item_flags());
}

std::vector<uint8_t> OldReply(const ProgrammerStorage& storage) {
  std::vector<uint8_t> out{0x00, storage.header[0]};
  static const PartCatalogue catalogue;
  const uint32_t code = uint32_t{storage.header[0]} | uint32_t{storage.header[1]} << 8;
  AppendArea(storage, Area::Aprom, kOldApromNameSize, 3, out);
  if (code < kIcpCodeFirst && !catalogue.Row(code).FamilyFlagA) return out;
  AppendArea(storage, Area::DataFlash, kStoredNameSize, 2, out);
  AppendConfigAndItems(storage, out);
  return out;
}

}  // namespace

std::vector<uint8_t> InformationReply(const ProgrammerStorage& storage, uint16_t version) {
  if (!storage.complete) return {kInfoNotDownloaded};
  if (version < kInfoNewExchangeFrom) return OldReply(storage);
  std::vector<uint8_t> out{0x00, storage.header[0]};
  if (version >= kInfoPartHighFrom) out.push_back(storage.header[1]);
  if (version >= kInfoPartNameFrom) Append(out, storage.part_name.data(), storage.part_name.size());
  for (Area area : kAreas)
    AppendArea(storage, area, kStoredNameSize, kInfoStamps[static_cast<std::size_t>(area)].last_bytes, out);
  AppendConfigAndItems(storage, out);
  if (version >= kInfoUsageFrom) {
    out.push_back(static_cast<uint8_t>(storage.uses_left >> 8));
    out.push_back(static_cast<uint8_t>(storage.uses_left));
  }
  if (version >= kInfoGangVerifyFrom) out.push_back(storage.header[kHeaderGangVerify]);
  if (version >= kInfoSnFrom) {
    out.push_back(storage.sn ? kSnEnabled : kSnDisabled);
    const SnBlock none{};
    const SnBlock& block = storage.sn ? *storage.sn : none;
    Append(out, block.data(), block.size());
  }
  return out;
}

void ProgrammerModel::Information(DeviceIo& io) {
  Acknowledge(io);
  io.Busy(timing().answer);
  io.Send(InformationReply(storage_, version()));
}

}  // namespace quillet::sim
