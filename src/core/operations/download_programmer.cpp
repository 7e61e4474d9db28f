// Download Programmer: the job into the storage of one Programmer, or of the four Programmers
// behind a Gang Programmer (announced by sync bytes 1..4).
#include <array>

#include "core/images/image_loader.h"
#include "core/images/size_checks.h"
#include "core/operations/chip_operations.h"
#include "core/operations/download_header.h"
#include "core/operations/programmer_steps.h"
#include "core/programmer/programmer_commands.h"

namespace quillet {
namespace {

constexpr std::size_t kBlockSize = 256;
constexpr uint16_t kGangHeaderVersion = 0x0119;

struct AreaTexts {
  const char* download;
  const char* verify;
};
constexpr std::array<AreaTexts, 3> kAreaTexts{{
    {"Download Programmer (for APROM)...", "Verify Programmer's Storage (for APROM)..."},
    {"Download Programmer (for DataFlash)...", "Verify Programmer's Storage (for DataFlash)..."},
    {"Download Programmer (for LDROM)...", "Verify Programmer's Storage (for LDROM)..."},
}};

// A block and the 1 ms pause after it.
int SendBlockPaced(Workbench& bench, std::span<const uint8_t> bytes) {
  if (!bench.link().SendBlock(bytes)) return 0;
  bench.port().Drain();
  bench.clock().Sleep(Millis(1));
  return 1;
}

// The sum the Programmer reads back from its copy of the area, as it must arrive: LDROM sums
// travel in 24 bits after a zero byte.
std::array<uint8_t, 4> ExpectedStoredSum(const ImageBuffer& image) {
  const uint32_t sum = image.area == ImageArea::Ldrom ? image.checksum & 0xFFFFFF : image.checksum;
  return {static_cast<uint8_t>(sum >> 24), static_cast<uint8_t>(sum >> 16), static_cast<uint8_t>(sum >> 8),
          static_cast<uint8_t>(sum)};
}

int TransferArea(Workbench& bench, const ImageBuffer& image) {
  ProgrammerLink& link = bench.link();
  Reporter& reporter = bench.reporter();
  const AreaTexts& texts = kAreaTexts[static_cast<int>(image.area)];
  const uint32_t blocks = image.sizeHigh + (image.sizeLow ? 1 : 0);
  const int bar = static_cast<int>(blocks % 65536);

  reporter.BeginPhase(SocketText(texts.download, link.CurrentSocket), bar);
  if (!link.ExpectAck()) return 0;
  for (uint32_t offset = 0; offset < image.size; offset += kBlockSize) {
    const std::size_t size = std::min<std::size_t>(kBlockSize, image.size - offset);
    if (!link.SendBlock({image.data.data() + offset, size}) || !link.ExpectAck()) return 0;
    reporter.StepIt();
  }
  reporter.BeginPhase(SocketText(texts.verify, link.CurrentSocket), bar);
  for (uint32_t block = 0; block < blocks; ++block) {
    if (!link.ExpectAck()) return 0;
    reporter.StepIt();
  }
  std::array<uint8_t, 4> stored{};
  if (!link.ReceiveBlock(stored)) return 0;
  if (stored != ExpectedStoredSum(image)) {
    if (!SendPaced(bench, 0xFF)) return 0;
    return FailStep(bench, "Programmer's storage checksum error !");
  }
  return SendPaced(bench, 0x00);
}

int DownloadGangProgrammer(Workbench& bench, bool gang_fw_updatable) {
  ProgrammerLink& link = bench.link();
  if (!link.SearchGangProgrammer()) return 0;
  if (link.CheckGangFirmware() && !link.SearchGangProgrammer()) return 0;
  if (!SendCommandAck(bench, kGangDownload, true)) return 0;
  if (gang_fw_updatable) {
    const PartRow& part = bench.catalogue().Row(bench.job().PartCode);
    if (!SendPacedBytes(bench, BuildGangHeader(part, bench.job(), bench.images()))) return 0;
  }
  if (!SetPortTimeouts(bench, kFirstSyncMs) || !ExpectSync(bench, 1)) return 0;
  if (!SetPortTimeouts(bench, kStandardReadMs)) return 0;
  int result = 1;
  for (uint8_t socket = 1; socket <= 4 && result; ++socket) {
    link.CurrentSocket = socket;
    result = (socket == 1 || ExpectSync(bench, socket)) && DownloadProgrammerStorage(bench, false);
  }
  // No later operation may take a socket's status texts for its own.
  link.CurrentSocket = 0;
  if (result) bench.reporter().ShowPass("Gang Programmer is successfully downloaded !");
  return result;
}

}  // namespace

int DownloadProgrammerStorage(Workbench& bench, bool show_pass) {
  ProgrammerLink& link = bench.link();
  JobSettings& job = bench.job();
  ImageBuffers& images = bench.images();
  const PartRow& part = bench.catalogue().Row(job.PartCode);

  bench.reporter().SetProgressPos(0);
  if (!link.SearchProgrammer()) return 0;
  link.CheckProgrammerFirmware();
  if (job.Type() == kTypeIcp && job.SnProgrammingEnabled && !job.GangMode) {
    if (!CheckSnAddress(part, job, images, bench.reporter())) return link.LastResult = 0;
    if (!SendSnSettings(bench)) return 0;
  }
  if (!SendCommandAck(bench, kStorageDownload) || !link.ExpectAck()) return 0;
  job.BuildItemFlags();
  if (!SendPacedBytes(bench, BuildDownloadHeader(part, job, images)) || !link.ExpectAck()) return 0;
  if (!SendBlockPaced(bench, PartNameBlock(part)) || !link.ExpectAck()) return 0;
  for (ImageArea area : kImageAreas) {
    const auto& name = images[area].storedName;
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(name.data()), name.size());
    if (!SendBlockPaced(bench, bytes) || !link.ExpectAck()) return 0;
  }
  bench.reporter().SetStatus(SocketText("Clear Programmer's Storage...", link.CurrentSocket));
  if (!SetPortTimeouts(bench, kStorageClearMs) || !link.ExpectAck()) return 0;
  if (!SetPortTimeouts(bench, kStandardReadMs)) return 0;

  for (ImageArea area : kImageAreas) {
    if (!SelectedFlag(job, area)) continue;
    if (!TransferArea(bench, images[area])) return 0;
  }
  // A CONFIG-only job has nothing to transfer and is downloaded once the storage is cleared.
  if (show_pass && !job.GangMode) bench.reporter().ShowPass("Programmer is successfully downloaded !");
  return link.LastResult = 1;
}

int DownloadProgrammerBody(Workbench& bench, bool show_pass, bool gang_fw_updatable) {
  JobSettings& job = bench.job();
  ImageBuffers& images = bench.images();
  const PartRow& part = bench.catalogue().Row(job.PartCode);
  Reporter& reporter = bench.reporter();
  if (job.ApromSelected && !CheckApromSize(part, job, images, reporter)) return 0;
  if (job.DataFlashSelected && !CheckDataFlashSize(part, job, images, reporter)) return 0;
  if (job.LdromSelected && !CheckLdromSize(part, job, images, reporter)) return 0;
  return job.GangMode ? DownloadGangProgrammer(bench, gang_fw_updatable)
                      : DownloadProgrammerStorage(bench, show_pass);
}

int DownloadProgrammer(Workbench& bench, bool update_isp_download) {
  ProgrammerLink& link = bench.link();
  JobSettings& job = bench.job();
  bool gang_fw_updatable = false;
  if (job.GangMode) {
    if (!link.SearchGangProgrammer() || !link.QueryGangVersion()) return 0;
    gang_fw_updatable = link.ProgrammerFirmwareVersion >= kGangHeaderVersion;
  }
  job.UpdateIspDownload = update_isp_download;
  ReloadImages(bench.images(), job, nullptr, bench.reporter());
  if (!CheckSelectedImagesIntact(bench.images(), job, bench.reporter())) return 0;
  return DownloadProgrammerBody(bench, true, gang_fw_updatable);
}

}  // namespace quillet
