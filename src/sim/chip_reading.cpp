// Verify (0xC7), read (0xC9) and TRIM read (0xD0), the Programmer's side. The chip is the one seated
// in the Programmer's socket; it stays there.
//
// ISP firmware: verify takes the six-byte preamble, acknowledges, then compares each block of the
// image the host streams with the chip's APROM, answering 0 for a match and ending at the first
// block that differs; read takes the code's low byte and the device code and sends the CONFIG
// bytes. A chip that is missing or another part matches no block and sends no CONFIG.
//
// ICP firmware (verify and read alike): the part preamble; for a Cortex-M0 or FamilyFlagB part the
// CONFIG bytes, from which the host sizes the read; the read request; the chip's status (0 normal,
// 1 locked, 2 device-ID error) with the host's 0x00 after 0, 1 and 2 only; after 2, and after 1 for
// the parts whose locked flash cannot be read at all, nothing more. Then exactly what the request
// asks for: (A + 1) / 256 APROM blocks from address 0, the host's 0xFF or 0x00 for (D + 1) / 128
// DataFlash blocks from the start it named, the same for (L + 1) / 256 LDROM blocks, and the CONFIG
// bytes. A locked chip reads 0xFF except its DataFlash.
#include <algorithm>

#include "core/catalogue/part_catalogue.h"
#include "sim/programmer_model.h"
#include "sim/sim_engine.h"

namespace quillet::sim {
namespace {

const PartCatalogue& Catalogue() {
  static const PartCatalogue catalogue;
  return catalogue;
}

uint32_t BigEndian(const std::vector<uint8_t>& bytes, std::size_t first, std::size_t count) {
  uint32_t value = 0;
  for (std::size_t i = 0; i < count; ++i) value = value << 8 | bytes[first + i];
  return value;
}

uint8_t At(const std::vector<uint8_t>& bytes, std::size_t index) {
  return index < bytes.size() ? bytes[index] : 0xFF;
}

uint8_t ApromByte(const Chip& chip, std::size_t address) {
  const std::vector<uint8_t>& programmed = chip.areas[static_cast<std::size_t>(Area::Aprom)];
  return address < programmed.size() ? programmed[address] : At(chip.flash, address);
}

uint8_t DataFlashByte(const Chip& chip, std::size_t start, std::size_t index) {
  const std::vector<uint8_t>& programmed = chip.areas[static_cast<std::size_t>(Area::DataFlash)];
  return programmed.empty() ? At(chip.flash, start + index) : At(programmed, index);
}

uint8_t LdromByte(const Chip& chip, std::size_t index) {
  return At(chip.areas[static_cast<std::size_t>(Area::Ldrom)], index);
}

bool ConfigFirst(uint16_t code) {
  const PartRow& row = Catalogue().Row(code);
  return row.IsCortexM0 || row.FamilyFlagB;
}

bool IsPart(const Chip* chip, uint16_t code) {
  return chip && !chip->spec.Has(ChipFlaw::WrongPart) && (!chip->part || *chip->part == code);
}

// ISP names the part by its code's low byte and device code.
bool IsIspPart(const Chip* chip, uint8_t code_low, uint8_t device_code) {
  if (!chip || chip->spec.Has(ChipFlaw::WrongPart)) return false;
  return !chip->part ||
         ((*chip->part & 0xFF) == code_low && Catalogue().Row(*chip->part).DeviceCode == device_code);
}

std::array<uint8_t, kConfigSize> ConfigOf(const Chip* chip) {
  std::array<uint8_t, kConfigSize> config;
  config.fill(0xFF);
  if (chip) std::copy(chip->config.begin(), chip->config.end(), config.begin());
  return config;
}

// `blocks` blocks of `size` bytes, byte i of the area given by `byte`, one write each after the
// time the Programmer takes to read it. The Programmer is busy sending until the block has left, so
// the host's silence is counted from then.
template <typename ByteAt>
void SendBlocks(std::size_t blocks, std::size_t size, Micros answer, DeviceIo& io, ByteAt byte) {
  std::vector<uint8_t> block(size);
  for (std::size_t b = 0; b < blocks; ++b) {
    for (std::size_t i = 0; i < size; ++i) block[i] = byte(b * size + i);
    io.Busy(answer);
    io.Send(block);
    io.Busy(ByteTime(ProgrammerLine()) * static_cast<long>(size));
  }
}

}  // namespace

bool ProgrammerModel::IspFirmware() const {
  return std::find(kIspTypeCodes.begin(), kIspTypeCodes.end(), type_code()) != kIspTypeCodes.end();
}

Task<> ProgrammerModel::Verify(DeviceIo& io) {
  Acknowledge(io);
  if (IspFirmware()) {
    co_await IspVerify(io);
  } else {
    co_await IcpRead(io);
  }
}

Task<> ProgrammerModel::Read(DeviceIo& io) {
  Acknowledge(io);
  if (IspFirmware()) {
    co_await IspRead(io);
  } else {
    co_await IcpRead(io);
  }
}

Task<> ProgrammerModel::IspVerify(DeviceIo& io) {
  std::vector<uint8_t> preamble;
  for (std::size_t i = 0; i < kIspVerifyPreambleSize; ++i) {
    const std::optional<uint8_t> byte = co_await Reply(io);
    if (!byte) co_return;
    preamble.push_back(*byte);
  }
  Acknowledge(io);
  const Chip* chip = feeder_->Seat(socket_);
  const bool readable = IsIspPart(chip, preamble[0], preamble[1]) && !chip->Locked();
  const std::size_t size = BigEndian(preamble, 2, 3) + 1;
  for (std::size_t offset = 0; offset < size; offset += kStorageBlockSize) {
    const auto block = co_await io.BytesWithin(std::min(kStorageBlockSize, size - offset), timing().stall);
    if (!block) co_return;
    bool same = readable;
    for (std::size_t i = 0; same && i < block->size(); ++i)
      same = (*block)[i] == ApromByte(*chip, offset + i);
    io.Busy(timing().answer);
    io.Send(same ? uint8_t{0} : kAreaFailed);
    if (!same) co_return;
  }
}

Task<> ProgrammerModel::IspRead(DeviceIo& io) {
  std::vector<uint8_t> preamble;
  for (std::size_t i = 0; i < kIspReadPreambleSize; ++i) {
    const std::optional<uint8_t> byte = co_await Reply(io);
    if (!byte) co_return;
    preamble.push_back(*byte);
  }
  const Chip* chip = feeder_->Seat(socket_);
  if (!IsIspPart(chip, preamble[0], preamble[1])) co_return io.Note("ISP read: no chip of that part answers");
  io.Busy(timing().answer);
  io.Send(ConfigOf(chip));
}

Task<std::optional<uint16_t>> ProgrammerModel::IcpPreamble(bool config_first, DeviceIo& io) {
  std::vector<uint8_t> preamble;
  for (std::size_t i = 0; i < kIcpPreambleSize; ++i) {
    const std::optional<uint8_t> byte = co_await Reply(io);
    if (!byte) co_return std::nullopt;
    preamble.push_back(*byte);
  }
  const auto code = static_cast<uint16_t>(preamble[0] | preamble[1] << 8);
  if (config_first && ConfigFirst(code)) {
    io.Busy(timing().answer);
    io.Send(ConfigOf(feeder_->Seat(socket_)));
  }
  co_return code;
}

Task<bool> ProgrammerModel::ChipStatus(uint16_t code, DeviceIo& io) {
  const Chip* chip = feeder_->Seat(socket_);
  uint8_t status = !IsPart(chip, code) ? kIcpStatusDeviceIdError
                   : chip->Locked()    ? kIcpStatusErasedLocked
                                       : kIcpStatusNormal;
  if (chip && chip->read_status) status = *chip->read_status;
  io.Busy(timing().answer);
  io.Send(status);
  if (status > kIcpStatusDeviceIdError) co_return true;  // the host goes on without a word
  const std::optional<uint8_t> reply = co_await Reply(io);
  if (!reply) co_return false;
  if (status == kIcpStatusErasedLocked) co_return !ConfigFirst(code);
  co_return status == kIcpStatusNormal;
}

Task<> ProgrammerModel::IcpRead(DeviceIo& io) {
  const std::optional<uint16_t> code = co_await IcpPreamble(true, io);
  if (!code) co_return;
  std::vector<uint8_t> request;
  for (std::size_t i = 0; i < kReadRequestSize; ++i) {
    const std::optional<uint8_t> byte = co_await Reply(io);
    if (!byte) co_return;
    request.push_back(*byte);
  }
  const bool going_on = co_await ChipStatus(*code, io);
  const Chip* chip = feeder_->Seat(socket_);
  if (!going_on || !chip) co_return;
  const bool locked = chip->Locked();
  const std::size_t aprom_blocks = (BigEndian(request, 0, 3) + 1) / kApromReadBlock;
  const std::size_t dataflash_blocks = (BigEndian(request, 3, 3) + 1) / kDataFlashReadBlock;
  const std::size_t ldrom_blocks = (BigEndian(request, 6, 2) + 1) / kLdromReadBlock;
  const std::size_t dataflash_start = BigEndian(request, 8, 2) << 8;
  SendBlocks(aprom_blocks, kApromReadBlock, timing().answer, io,
             [&](std::size_t i) { return locked ? uint8_t{0xFF} : ApromByte(*chip, i); });
  std::optional<uint8_t> asked = co_await Reply(io);
  if (!asked) co_return;
  if (*asked == kReadAreaByte) {
    SendBlocks(dataflash_blocks, kDataFlashReadBlock, timing().answer, io,
               [&](std::size_t i) { return DataFlashByte(*chip, dataflash_start, i); });
  }
  asked = co_await Reply(io);
  if (!asked) co_return;
  if (*asked == kReadAreaByte) {
    SendBlocks(ldrom_blocks, kLdromReadBlock, timing().answer, io,
               [&](std::size_t i) { return locked ? uint8_t{0xFF} : LdromByte(*chip, i); });
  }
  std::array<uint8_t, kConfigSize> config = ConfigOf(chip);
  if (locked) config.fill(0xFF);
  io.Busy(timing().answer);
  io.Send(config);
}

Task<> ProgrammerModel::TrimRead(DeviceIo& io) {
  Acknowledge(io);
  const std::optional<uint16_t> code = co_await IcpPreamble(false, io);
  if (!code) co_return;
  const bool going_on = co_await ChipStatus(*code, io);
  const Chip* chip = feeder_->Seat(socket_);
  if (!going_on || !chip) co_return;
  io.Busy(timing().answer);
  io.Send(chip->trim);
}

}  // namespace quillet::sim
