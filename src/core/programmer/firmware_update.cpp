// Reflashing the Programmer (command 0xC5 with header, blocks, acknowledgements and the returned
// sum) and the Gang Programmer's own controller (sixteen blocks with a pause after the eighth).
#include <algorithm>
#include <numeric>

#include "core/programmer/programmer_link.h"
#include "core/sys/file_io.h"

namespace quillet {
namespace {

constexpr std::size_t kBlockSize = 256;
constexpr std::size_t kGangImageSize = 4096;
constexpr std::size_t kGangPauseAfterBlock = 7;
constexpr uint8_t kGangPauseMarker = 0x5A;
constexpr char kUpdateNote[] = "!!! Note: Don't disconnect the Programmer while updating is in process...";

struct ByteRange {
  std::size_t first;
  std::size_t last;
};
constexpr ByteRange kScrambledRanges[] = {{3, 255}, {2051, 2303}, {10243, 10495}};

}  // namespace

void RestoreScrambledRanges(std::span<uint8_t> data, std::size_t length) {
  length = std::min(length, data.size());
  for (const ByteRange& range : kScrambledRanges) {
    for (std::size_t i = range.first; i <= range.last && i < length; ++i)
      data[i] = static_cast<uint8_t>(~data[i]);
  }
}

int ProgrammerLink::LoadFirmwareFile(const std::string& path, bool pad_gang_image) {
  const auto file = ReadFileLimited(path, kFirmwareBufferSize);
  if (!file) {
    Fail(path + " cannot be opened !");
    display_.CancelProgram();
    cancelled_ = true;
    return Result(0);
  }
  // The buffer holds 14,336 bytes; a longer file is not firmware for this Programmer.
  if (file->truncated) return Fail(path + " is larger than 14336 bytes !");
  if (file->bytes.empty() && !pad_gang_image) return Fail(path + " is empty !");
  if (pad_gang_image) std::fill_n(firmware_.data.begin(), kGangImageSize, uint8_t{0xFF});
  std::copy(file->bytes.begin(), file->bytes.end(), firmware_.data.begin());
  firmware_.length = static_cast<uint32_t>(file->bytes.size());
  return Result(1);
}

int ProgrammerLink::TransferProgrammerFirmware() {
  // Without an identified variant there is no file to name; the open then fails on the empty path.
  const std::string path = Variant ? firmware_folder_ + std::string(Info(*Variant).file) : std::string();
  if (!LoadFirmwareFile(path, false)) return Result(0);
  RestoreScrambledRanges(firmware_.data, firmware_.length);
  firmware_.sum =
      std::accumulate(firmware_.data.begin(), firmware_.data.begin() + firmware_.length, uint32_t{0});
  firmware_.last_index = firmware_.length - 1;

  if (!SendCommand(kFirmwareTransfer)) return Result(0);
  port_.Drain();
  clock_.Sleep(Millis(1));
  if (!ExpectAck()) return Result(0);
  const uint32_t last = firmware_.last_index, sum = firmware_.sum;
  const uint8_t header[] = {static_cast<uint8_t>(last >> 8), static_cast<uint8_t>(last),
                            static_cast<uint8_t>(sum >> 16), static_cast<uint8_t>(sum >> 8),
                            static_cast<uint8_t>(sum)};
  for (std::size_t i = 0; i < std::size(header); ++i) {
    if (!SendCommand(header[i])) return Result(0);
    port_.Drain();
    clock_.Sleep(Millis(i + 1 < std::size(header) ? 1 : 500));
  }
  if (!ExpectAck()) return Result(0);

  const std::size_t blocks = (firmware_.length + kBlockSize - 1) / kBlockSize;
  reporter_.BeginPhase(kUpdateNote, static_cast<int>(2 * blocks));
  for (std::size_t offset = 0; offset < firmware_.length; offset += kBlockSize) {
    const std::size_t size = std::min<std::size_t>(kBlockSize, firmware_.length - offset);
    if (!SendBlock({firmware_.data.data() + offset, size}) || !ExpectAck()) return Result(0);
    reporter_.StepIt();
  }
  for (std::size_t block = 0; block < blocks; ++block) {  // the Programmer checks each block it wrote
    if (!ExpectAck()) return Result(0);
    reporter_.StepIt();
  }
  uint8_t returned[3] = {};
  if (!ReceiveBlock(returned)) return Result(0);
  if (returned[0] != static_cast<uint8_t>(sum >> 16) || returned[1] != static_cast<uint8_t>(sum >> 8) ||
      returned[2] != static_cast<uint8_t>(sum)) {
    return Fail("Programmer's storage checksum error !");
  }
  port_.Drain();
  clock_.Sleep(Millis(2000));
  display_.ShowProgrammerType(std::string(Info(*Variant).word));
  reporter_.ResetStatus();
  return Result(1);
}

int ProgrammerLink::TransferGangFirmware() {
  if (!LoadFirmwareFile(firmware_folder_ + kGangFirmwareFile, true)) return Result(0);
  if (!SendCommand(kFirmwareTransfer)) return Result(0);
  port_.Drain();
  clock_.Sleep(Millis(1));
  if (!ExpectGangAck()) return Result(0);
  const std::size_t blocks = kGangImageSize / kBlockSize;
  reporter_.BeginPhase(kUpdateNote, static_cast<int>(blocks));
  for (std::size_t block = 0; block < blocks; ++block) {
    if (!SendBlock({firmware_.data.data() + block * kBlockSize, kBlockSize}) || !ExpectGangAck())
      return Result(0);
    reporter_.StepIt();
    if (block == kGangPauseAfterBlock) {
      if (!SendCommand(kGangPauseMarker)) return Result(0);
      port_.Drain();
      clock_.Sleep(Millis(1));
      clock_.Sleep(Millis(250));
    }
  }
  port_.Drain();
  clock_.Sleep(Millis(2000));
  return Result(1);
}

void ProgrammerLink::OnFwUpdate() {
  ForceFirmwareUpdate = true;
  const int found = SearchProgrammer();
  ForceFirmwareUpdate = false;
  if (found) reporter_.ShowPass("Programmer's firmware is successfully updated !");
}

}  // namespace quillet
