// Verify Chip and Read Chip through one Programmer (a Gang Programmer's socket routed first). ISP:
// the Programmer compares APROM block by block as the image streams to it, and reads CONFIG only.
// ICP: the Programmer reads every area back, sized by the chip's own CONFIG, and a verify compares
// on this side once the read is complete.
#include "core/operations/chip_reading.h"

#include <algorithm>

#include "core/images/image_loader.h"
#include "core/images/size_checks.h"
#include "core/operations/programmer_steps.h"
#include "core/operations/read_plan.h"
#include "core/operations/verify_findings.h"
#include "core/programmer/programmer_commands.h"

namespace quillet {
namespace {

constexpr std::size_t kBlock = 256;
constexpr std::size_t kDataFlashBlock = 128;

const PartRow& Part(Workbench& bench) {
  return bench.catalogue().Row(bench.job().PartCode);
}

// The chip sends CONFIG with CONFIG0's low byte first: the first byte received is the eighth stored.
int ReceiveConfig(Workbench& bench, std::array<uint8_t, 8>& stored) {
  std::array<uint8_t, 8> received{};
  if (!bench.link().ReceiveBlock(received)) return 0;
  std::reverse_copy(received.begin(), received.end(), stored.begin());
  return 1;
}

// Address bits 23..16, 15..8, 7..0, paced.
int SendAddress24(Workbench& bench, uint32_t address) {
  const uint8_t bytes[] = {static_cast<uint8_t>(address >> 16), static_cast<uint8_t>(address >> 8),
                           static_cast<uint8_t>(address)};
  return SendPacedBytes(bench, bytes);
}

// `blocks` blocks of `size` bytes into `buffer` from its start, under `status`.
int ReceiveBlocks(Workbench& bench, const std::string& status, ReadBuffer& buffer, uint32_t blocks,
                  std::size_t size) {
  Reporter& reporter = bench.reporter();
  reporter.BeginPhase(status + (bench.read().VerifyByReading ? " for verifying..." : "..."),
                      static_cast<int>(blocks));
  for (uint32_t i = 0; i < blocks; ++i) {
    if (!bench.link().ReceiveBlock(std::span<uint8_t>(buffer.data() + i * size, size))) return 0;
    reporter.StepIt();
  }
  return 1;
}

// The status byte after the addresses. 1 when the read goes on.
int ReadStatus(Workbench& bench, const PartRow& part) {
  uint8_t status = 0;
  if (!bench.link().ReceiveByte(status)) return 0;
  if (status == 0) return SendPaced(bench, 0x00);
  if (status == 1) {
    const bool strict = part.IsCortexM0 || part.FamilyFlagB;
    bench.reporter().ShowWarning(strict || part.FamilyFlagC
                                     ? "Chip was locked !"
                                     : "Chip was previously locked !\n\nAPROM and CONFIG will be read 0xFF.\n"
                                       "DataFlash will also be read 0xFF unless it was not locked.");
    if (!SendPaced(bench, 0x00)) return 0;
    return strict ? (bench.link().LastResult = 0) : 1;
  }
  if (status == 2) {
    FailStep(bench, "Device ID error !\nPlease select the correct Part No.");
    SendPaced(bench, 0x00);
    return bench.link().LastResult = 0;
  }
  return 1;  // any other status: the Programmer goes on without a reply
}

// The ICP read after 0xC9 (or 0xC7) and its acknowledge. 1 and ReadCompleted when it ran to its end.
int ReadChipIcp(Workbench& bench) {
  ReadResults& read = bench.read();
  const JobSettings& job = bench.job();
  const PartRow& part = Part(bench);
  for (ImageArea area : kImageAreas) read[area].fill(0xFF);
  read.ReadConfigBytes.fill(0xFF);
  read.ReadCompleted = read.DataFlashWasRead = read.LdromWasRead = false;

  const uint8_t preamble[] = {static_cast<uint8_t>(job.PartCode),
                              static_cast<uint8_t>(job.PartCode >> 8),
                              part.PartParam3,
                              part.PartParam4,
                              static_cast<uint8_t>(part.PartParam5 >> 8),
                              static_cast<uint8_t>(part.PartParam5),
                              part.PartParam7};
  if (!SendPacedBytes(bench, preamble)) return 0;
  if ((part.IsCortexM0 || part.FamilyFlagB) && !ReceiveConfig(bench, read.ShownConfigBytes)) return 0;

  const ReadPlan plan = PlanChipRead(part, read.ShownConfigBytes);
  if (part.IsCortexM0) read.FlashEnd = plan.FlashEnd;
  // Sizes from an untrusted CONFIG never reach past the part's flash or a read buffer.
  if (!plan.OutsideArea.empty()) return FailStep(bench, OutsideFlashMessage(plan.OutsideArea));
  read.ReadApromLast = static_cast<uint32_t>(plan.ApromLast);
  read.ReadDataFlashLast = static_cast<uint32_t>(plan.DataFlashLast);
  if (!SendAddress24(bench, read.ReadApromLast) || !SendAddress24(bench, read.ReadDataFlashLast)) return 0;
  const uint8_t tail[] = {static_cast<uint8_t>(part.LdromLastAddress >> 8),
                          static_cast<uint8_t>(part.LdromLastAddress), plan.DataFlashStart[0],
                          plan.DataFlashStart[1]};
  if (!SendPacedBytes(bench, tail) || !ReadStatus(bench, part)) return 0;

  if (!ReceiveBlocks(bench, "Read APROM", *read.aprom, static_cast<uint32_t>((plan.ApromLast + 1) / kBlock),
                     kBlock))
    return 0;
  read.DataFlashWasRead = plan.ReadDataFlash;
  if (!SendPaced(bench, plan.ReadDataFlash ? 0xFF : 0x00)) return 0;
  if (plan.ReadDataFlash &&
      !ReceiveBlocks(bench, "Read DataFlash", *read.dataFlash,
                     static_cast<uint32_t>((plan.DataFlashLast + 1) / kDataFlashBlock), kDataFlashBlock))
    return 0;
  read.LdromWasRead = plan.ReadLdrom;
  if (!SendPaced(bench, plan.ReadLdrom ? 0xFF : 0x00)) return 0;
  if (plan.ReadLdrom &&
      !ReceiveBlocks(bench, "Read LDROM", *read.ldrom, (part.LdromLastAddress + 1) / kBlock, kBlock))
    return 0;

  bench.reporter().BeginPhase("Read CONFIG...", 1);
  if (!ReceiveConfig(bench, read.ReadConfigBytes)) return 0;
  read.ReadPartCode = job.PartCode;
  bench.reporter().StepIt();
  bench.reporter().ResetStatus();
  read.ReadCompleted = true;
  if (!read.VerifyByReading) read.ShownConfigBytes = read.ReadConfigBytes;
  return 1;
}

// ISP Read Chip: the chip's CONFIG bytes alone.
int ReadConfigIsp(Workbench& bench) {
  ReadResults& read = bench.read();
  const JobSettings& job = bench.job();
  const uint8_t preamble[] = {static_cast<uint8_t>(job.PartCode), Part(bench).DeviceCode};
  if (!SendPacedBytes(bench, preamble)) return 0;
  bench.reporter().BeginPhase("Read CONFIG...", 1);
  if (!ReceiveConfig(bench, read.ShownConfigBytes)) return 0;
  read.ReadPartCode = job.PartCode;
  bench.reporter().StepIt();
  bench.reporter().ResetStatus();
  return 1;
}

// The search and the command every verify and read starts with; gang mode routes first.
int StartExchange(Workbench& bench, uint8_t command) {
  ProgrammerLink& link = bench.link();
  if (bench.job().GangMode && !RouteToSocket(bench)) return 0;
  if (!link.SearchProgrammer()) return 0;
  link.CheckProgrammerFirmware();  // an update it ran (or tried) does not stop the verify or read
  return SendCommandAck(bench, command);
}

// ISP Verify Chip: the APROM image block by block, each answered by the Programmer's result byte.
int VerifyChipIsp(Workbench& bench, VerifyFindings& findings) {
  JobSettings& job = bench.job();
  const ImageBuffer& aprom = bench.images().aprom;
  job.BuildItemFlags();
  const uint8_t preamble[] = {static_cast<uint8_t>(job.PartCode),
                              Part(bench).DeviceCode,
                              static_cast<uint8_t>(aprom.lastAddress >> 16),
                              static_cast<uint8_t>(aprom.lastAddress >> 8),
                              static_cast<uint8_t>(aprom.lastAddress),
                              job.ItemFlags};
  if (!SendPacedBytes(bench, preamble)) return 0;
  bench.reporter().BeginPhase("Verify APROM...", static_cast<int>(aprom.sizeHigh + (aprom.sizeLow ? 1 : 0)));
  if (!bench.link().ExpectAck()) return 0;
  for (uint32_t first = 0; first < aprom.size; first += kBlock) {
    const uint32_t length = std::min<uint32_t>(kBlock, aprom.size - first);
    uint8_t result = 0;
    if (!bench.link().SendBlock(std::span<const uint8_t>(aprom.data.data() + first, length)) ||
        !bench.link().ReceiveByte(result))
      return 0;
    if (result) {
      findings = {RefusedBlock(first, first + length - 1, result)};
      bench.reporter().ShowFail(VerdictLine(findings.front()), FindingsDetail(Part(bench), findings));
      return bench.link().LastResult = 0;
    }
    bench.reporter().StepIt();
  }
  findings = {AreaVerdict{.area = "APROM"}};
  bench.reporter().ShowPass(VerdictLine(findings.front()));
  return 1;
}

// How many bytes of an area the last complete read fetched.
uint32_t ReadLength(const ReadResults& read, const PartRow& part, ImageArea area) {
  switch (area) {
    case ImageArea::Aprom:
      return (read.ReadApromLast + 1) / kBlock * kBlock;
    case ImageArea::DataFlash:
      return read.DataFlashWasRead ? (read.ReadDataFlashLast + 1) / kDataFlashBlock * kDataFlashBlock : 0;
    case ImageArea::Ldrom:
      return read.LdromWasRead ? (part.LdromLastAddress + 1) / kBlock * kBlock : 0;
  }
  return 0;
}

// ICP Verify Chip: the whole read, then the selected areas and CONFIG compared in that order.
int VerifyChipIcp(Workbench& bench, VerifyFindings& findings) {
  ReadResults& read = bench.read();
  const JobSettings& job = bench.job();
  const PartRow& part = Part(bench);
  read.VerifyByReading = true;
  ReadChipIcp(bench);
  read.VerifyByReading = false;
  if (!read.ReadCompleted) return 0;
  std::string text;
  for (ImageArea area : kImageAreas) {
    if (!SelectedFlag(job, area)) continue;
    const ImageBuffer& image = bench.images()[area];
    findings.push_back(CompareArea(AreaName(area), image.Bytes(), read[area], ReadLength(read, part, area)));
  }
  if (job.ConfigSelected) findings.push_back(CompareConfig(part, job.ConfigBytes, read.ReadConfigBytes));
  bool pass = true;
  for (const AreaVerdict& verdict : findings) {
    text += VerdictLine(verdict);
    pass = pass && verdict.pass;
  }
  if (pass) {
    bench.reporter().ShowPass(text);
    return bench.link().LastResult = 1;
  }
  bench.reporter().ShowFail(text, FindingsDetail(part, findings));
  return bench.link().LastResult = 0;
}

int ReadChipBody(Workbench& bench, bool show) {
  if (!StartExchange(bench, kRead)) return 0;
  if (bench.job().Type() != kTypeIcp) {
    if (!ReadConfigIsp(bench)) return 0;
    if (show) {
      bench.reporter().PlaySound(Sound::Default);
      bench.display().ShowConfigView(bench.read().ReadPartCode, bench.read().ShownConfigBytes);
    }
    return 1;
  }
  if (!ReadChipIcp(bench)) return 0;
  if (show) bench.display().ShowReadChipViewer();
  return 1;
}

}  // namespace

int RouteToSocket(Workbench& bench) {
  ProgrammerLink& link = bench.link();
  const int socket = std::clamp(bench.SocketChoice(), 0, 3);
  if (!link.SearchGangProgrammer()) return 0;
  if (link.CheckGangFirmware() && !link.SearchGangProgrammer()) return 0;
  if (!SendCommandAck(bench, static_cast<uint8_t>(kGangSocketFirst + socket), true)) return 0;
  if (!SetPortTimeouts(bench, kFirstSyncMs) || !ExpectSync(bench, static_cast<uint8_t>(socket + 1))) return 0;
  return SetPortTimeouts(bench, kStandardReadMs);
}

int VerifyChip(Workbench& bench, VerifyFindings* findings) {
  VerifyFindings kept;
  VerifyFindings& found = findings ? *findings : kept;
  found.clear();
  JobSettings& job = bench.job();
  Reporter& reporter = bench.reporter();
  ReloadImages(bench.images(), job, nullptr, reporter);
  if (!CheckSelectedImagesIntact(bench.images(), job, reporter)) return 0;
  const bool icp = job.Type() == kTypeIcp;
  // Checked before anything is sent, a gang routing included.
  if (!icp && !CheckApromSize(Part(bench), job, bench.images(), reporter)) return 0;
  if (!StartExchange(bench, kVerify)) return 0;
  return icp ? VerifyChipIcp(bench, found) : VerifyChipIsp(bench, found);
}

int ReadChip(Workbench& bench) {
  return ReadChipBody(bench, true);
}

int ReadChipQuiet(Workbench& bench) {
  return ReadChipBody(bench, false);
}

}  // namespace quillet
