// The TRIM read of the hidden hot key: after 0xD0 the Programmer takes the same part preamble as
// an ICP read, answers with the chip's status and then the five TRIM bytes of a Tessel chip.
#include <cstdio>

#include "core/operations/chip_reading.h"
#include "core/operations/programmer_information.h"
#include "core/operations/programmer_steps.h"
#include "core/programmer/programmer_commands.h"

namespace quillet {
namespace {

constexpr uint32_t kTesselFirst = 136;
constexpr uint32_t kTesselLast = 144;

constexpr char kLockedShort[] = "Chip was locked !";
constexpr char kLockedLong[] =
    "Chip was previously locked !\n\nAPROM and CONFIG will be read 0xFF.\nDataFlash will also be read 0xFF "
    "unless it was not locked.";
constexpr char kDeviceIdError[] = "Device ID error !\nPlease select the correct Part No.";

std::array<uint8_t, 7> PartPreamble(const JobSettings& job, const PartRow& row) {
  return {static_cast<uint8_t>(job.PartCode),
          static_cast<uint8_t>(job.PartCode >> 8),
          row.PartParam3,
          row.PartParam4,
          static_cast<uint8_t>(row.PartParam5 >> 8),
          static_cast<uint8_t>(row.PartParam5),
          row.PartParam7};
}

// The chip status after the preamble: 0 goes on; 1 (locked) warns and ends for the parts whose
// lock hides everything; 2 is the wrong chip; other values go on without a reply. 0 ends the read.
int ChipStatus(Workbench& bench, const PartRow& row) {
  uint8_t status = 0;
  if (!bench.link().ReceiveByte(status)) return 0;
  switch (status) {
    case 0:
      return SendPaced(bench, 0x00);
    case 1: {
      const bool short_text = row.IsCortexM0 || row.FamilyFlagB || row.FamilyFlagC;
      bench.reporter().ShowWarning(short_text ? kLockedShort : kLockedLong);
      if (!SendPaced(bench, 0x00)) return 0;
      if (row.IsCortexM0 || row.FamilyFlagB) return bench.link().LastResult = 0;
      return 1;
    }
    case 2:
      bench.reporter().ShowFail(kDeviceIdError);
      SendPaced(bench, 0x00);
      return bench.link().LastResult = 0;
    default:
      return 1;
  }
}

}  // namespace

bool IsTesselPart(uint32_t part_code) {
  return part_code >= kTesselFirst && part_code <= kTesselLast;
}

std::string TrimText(const std::array<uint8_t, 5>& trim) {
  char text[64];
  std::snprintf(text, sizeof text, "%s0x%02X 0x%02X 0x%02X 0x%02X 0x%02X", "TRIM0~4=", trim[0], trim[1],
                trim[2], trim[3], trim[4]);
  return text;
}

int TrimRead(Workbench& bench, std::array<uint8_t, 5>* received) {
  ProgrammerLink& link = bench.link();
  const JobSettings& job = bench.job();
  if (!IsTesselPart(job.PartCode)) {
    bench.reporter().DebugBox("Not Tessel parts !");
    return link.LastResult = 0;
  }
  const PartRow& row = bench.catalogue().Row(job.PartCode);
  // Through a Gang Programmer the read goes to the chosen socket, as Read Chip does.
  if (job.GangMode && !RouteToSocket(bench)) return 0;
  if (!link.SearchProgrammer()) return 0;
  link.CheckProgrammerFirmware();
  if (!SendCommandAck(bench, kTrimRead)) return 0;
  if (!SendPacedBytes(bench, PartPreamble(job, row)) || !ChipStatus(bench, row)) return 0;
  std::array<uint8_t, 5> trim{};
  if (!link.ReceiveBlock(trim)) return 0;
  if (received) *received = trim;
  bench.reporter().DebugBox(TrimText(trim));
  return link.LastResult = 1;
}

}  // namespace quillet
