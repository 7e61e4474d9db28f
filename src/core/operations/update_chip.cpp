// Update Chip with a single Programmer: the storage report compared with the job (one re-download
// when it differs), then the ISP or ICP programming phase, and the bookkeeping of the chip. ISP by
// COM Port goes to its own update or production loop after the checks.
#include <array>
#include <cstdio>
#include <optional>

#include "core/images/image_loader.h"
#include "core/images/size_checks.h"
#include "core/operations/chip_operations.h"
#include "core/operations/comisp_update.h"
#include "core/operations/programmer_steps.h"
#include "core/programmer/programmer_commands.h"

namespace quillet {

UpdateOutcome UpdateGangChips(Workbench& bench);  // update_gang.cpp

namespace {

constexpr char kStorageDiffers[] = "Programmer's storage does not match the job !";

// The chip in the socket: its S/N when S/N programming applies, and whether its start is on record.
struct ChipRun {
  std::optional<SplitDecimal> sn;
  bool started = false;
};

// Program-and-verify acknowledges of an image: two per 256-byte block.
int ProgramAckCount(const ImageBuffer& image) {
  return static_cast<int>(2 * image.sizeHigh + (image.sizeLow ? 2 : 0));
}

// The chip's result for the production records: committed counter and S/N as the job now holds
// them (stepped after a pass, the reservation given back after a failure). 0 after the recorder
// reported that the settings file could not be written.
int RecordChip(Workbench& bench, const ChipRun& chip, ChipResult result, const std::string& message) {
  if (!chip.started) return 1;
  const JobSettings& job = bench.job();
  const ChipOutcome outcome{0, chip.sn, result, message};
  return bench.recorder().ChipsFinished({&outcome, 1}, {job.SnValue, job.ChipCounter});
}

UpdateOutcome Failed(Workbench& bench, const ChipRun& chip, UpdateOutcome outcome) {
  RecordChip(bench, chip, ChipResult::Failed, bench.reporter().ResultMessage());
  return outcome;
}

// A chip error: written down before its FAIL window, so that a run cut off while the window is
// open leaves no chip unfinished in the records.
UpdateOutcome ChipError(Workbench& bench, const ChipRun& chip, const std::string& message) {
  RecordChip(bench, chip, ChipResult::Failed, message);
  bench.reporter().ShowFail(message);
  bench.link().LastResult = 0;
  return UpdateOutcome::ChipFailed;
}

// A chip that passed: counter and S/N step, the records are committed, then the PASS window.
UpdateOutcome Passed(Workbench& bench, const ChipRun& chip, const std::string& message, bool show) {
  JobSettings& job = bench.job();
  StepChipCounter(job, 1);
  if (chip.sn) StepSerialNumber(job);
  // No PASS that the settings file does not hold.
  if (!RecordChip(bench, chip, ChipResult::Passed, message)) return UpdateOutcome::Stopped;
  if (show) bench.reporter().ShowPass(message);
  if (chip.sn) bench.display().ShowSerialNumber(job.SnValue.high, job.SnValue.low);
  if (job.ChipCounterEnabled) bench.display().ShowChipCounter(job.ChipCounter);
  return UpdateOutcome::Passed;
}

// Erase acknowledges: a count byte (0 stands for 256), then that many 0xA5.
int EraseCount(Workbench& bench) {
  ProgrammerLink& link = bench.link();
  Reporter& reporter = bench.reporter();
  uint8_t count = 0;
  if (!link.ReceiveByte(count)) return 0;
  const int acks = count ? count : 256;
  reporter.SetProgressRange(0, acks);
  reporter.SetProgressStep(1);
  reporter.SetProgressPos(0);
  for (int i = 0; i < acks; ++i) {
    if (!link.ExpectAck()) return 0;
    reporter.StepIt();
  }
  return 1;
}

// k program-and-verify acknowledges 0xA5, then the area's result byte (0: good).
int ProgramArea(Workbench& bench, const ImageBuffer& image, uint8_t& result) {
  const int acks = ProgramAckCount(image);
  bench.reporter().BeginPhase("Program and verify " + std::string(AreaName(image.area)) + "...", acks);
  for (int i = 0; i < acks; ++i) {
    if (!bench.link().ExpectAck()) return 0;
    bench.reporter().StepIt();
  }
  return bench.link().ReceiveByte(result);
}

UpdateOutcome ProgramChipIsp(Workbench& bench, const ChipRun& chip) {
  ProgrammerLink& link = bench.link();
  JobSettings& job = bench.job();
  ImageBuffers& images = bench.images();
  Reporter& reporter = bench.reporter();
  uint8_t byte = 0;
  if (job.ConfigSelected) {
    if (!link.ReceiveByte(byte)) return Failed(bench, chip, UpdateOutcome::Stopped);
    if (byte == 0xFF) {
      reporter.ShowWarning(
          "APROM will be erased because code protection is changed from \"Enable\" to \"Disable\" !");
      if (!SendPaced(bench, 0x00)) return Failed(bench, chip, UpdateOutcome::Stopped);
      reporter.SetStatus("Erase APROM...");
      if (!EraseCount(bench)) return Failed(bench, chip, UpdateOutcome::Stopped);
    }
    reporter.SetStatus("Erase, program and verify CONFIG...");
    if (!link.ReceiveByte(byte)) return Failed(bench, chip, UpdateOutcome::Stopped);
    if (byte) return ChipError(bench, chip, "Update CONFIG error !");
  }
  if (job.ApromSelected) {
    if (job.SeparateApromErase) {
      reporter.SetStatus("Erase APROM...");
      if (!EraseCount(bench)) return Failed(bench, chip, UpdateOutcome::Stopped);
    }
    if (!ProgramArea(bench, images.aprom, byte)) return Failed(bench, chip, UpdateOutcome::Stopped);
    if (byte) return ChipError(bench, chip, "Update APROM error !");
  }
  if (job.DataFlashSelected) {
    if (!link.ReceiveByte(byte)) return Failed(bench, chip, UpdateOutcome::Stopped);
    if (byte) return ChipError(bench, chip, "DataFlash is not enabled !");
    reporter.SetStatus("Erase DataFlash...");
    if (!EraseCount(bench)) return Failed(bench, chip, UpdateOutcome::Stopped);
    if (!ProgramArea(bench, images.dataFlash, byte)) return Failed(bench, chip, UpdateOutcome::Stopped);
    if (byte) return ChipError(bench, chip, "Update DataFlash error !");
  }
  return Passed(bench, chip, "Chip is successfully updated !", !job.UpdateIspDownload);
}

std::string DataFlashErrorText(const PartRow& part) {
  return part.FamilyFlagB || part.FamilyFlagC ? "Update DataFlash error !"
                                              : "Update DataFlash error !\nCheck if DataFlash was locked.";
}

UpdateOutcome ProgramChipIcp(Workbench& bench, const ChipRun& chip) {
  ProgrammerLink& link = bench.link();
  JobSettings& job = bench.job();
  Reporter& reporter = bench.reporter();
  const PartRow& part = bench.catalogue().Row(job.PartCode);
  uint8_t status = 0;
  if (!link.ReceiveByte(status)) return Failed(bench, chip, UpdateOutcome::Stopped);
  if (status == 2) {
    ChipError(bench, chip, "Device ID error !\nPlease select the correct Part No.");
    SendPaced(bench, 0x00);
    return UpdateOutcome::ChipFailed;
  }
  if (status <= 1 && !SendPaced(bench, 0x00)) return Failed(bench, chip, UpdateOutcome::Stopped);

  const std::string errors[] = {"Update APROM error !", DataFlashErrorText(part), "Update LDROM error !"};
  for (ImageArea area : kImageAreas) {
    if (!SelectedFlag(job, area)) continue;
    const int acks = ProgramAckCount(bench.images()[area]);
    reporter.BeginPhase("Program and verify " + std::string(AreaName(area)) + "...", acks);
    for (int i = 0; i < acks; ++i) {
      uint8_t byte = 0;
      if (!link.ReceiveByte(byte)) return Failed(bench, chip, UpdateOutcome::Stopped);
      if (byte) return ChipError(bench, chip, errors[static_cast<int>(area)]);
      reporter.StepIt();
    }
  }
  if (job.ConfigSelected) {
    reporter.SetStatus("Program and verify CONFIG...");
    uint8_t byte = 0;
    if (!link.ReceiveByte(byte)) return Failed(bench, chip, UpdateOutcome::Stopped);
    if (byte) return ChipError(bench, chip, "Update CONFIG error !");
  }
  return Passed(bench, chip, ChipPassText(job), true);
}

UpdateOutcome UpdateChipBody(Workbench& bench, bool may_download);

// The storage does not hold the job: download it without a PASS and update once more; a second
// difference in the same press ends it.
UpdateOutcome DownloadAndUpdate(Workbench& bench, bool may_download) {
  if (!may_download) {
    FailStep(bench, kStorageDiffers);
    return UpdateOutcome::Stopped;
  }
  if (!DownloadProgrammerBody(bench, false, false)) return UpdateOutcome::Stopped;
  return UpdateChipBody(bench, false);
}

UpdateOutcome UpdateChipBody(Workbench& bench, bool may_download) {
  ProgrammerLink& link = bench.link();
  JobSettings& job = bench.job();
  const PartRow& part = bench.catalogue().Row(job.PartCode);
  if (!CheckUpdateImages(part, job, bench.images(), bench.reporter())) return UpdateOutcome::Stopped;
  if (job.ProductionMode) return ComIspProductionLoop(bench, bench.comisp());
  if (job.ComPortMode) return ComIspUpdateOnce(bench, bench.comisp());
  if (!link.SearchProgrammer()) return UpdateOutcome::Stopped;
  if (link.CheckProgrammerFirmware()) {
    if (!link.LastResult) return UpdateOutcome::Stopped;
    return DownloadAndUpdate(bench, may_download);
  }
  const bool icp = job.Type() == kTypeIcp;
  if (icp && job.SnProgrammingEnabled && !SendSnSettings(bench)) return UpdateOutcome::Stopped;
  if (!SendCommandAck(bench, kStorageReport)) return UpdateOutcome::Stopped;
  ReportVerdict verdict = ReportVerdict::Matches;
  if (!ReadStorageReport(bench, false, verdict)) return UpdateOutcome::Stopped;
  if (verdict == ReportVerdict::Differs && !SendPaced(bench, 0xFF)) return UpdateOutcome::Stopped;
  if (verdict != ReportVerdict::Matches) return DownloadAndUpdate(bench, may_download);

  // The chip's S/N is reserved before the byte that starts programming.
  ChipRun chip;
  if (icp && job.SnProgrammingEnabled) chip.sn = job.SnValue;
  if (!RecordChipStarting(bench, chip.sn)) {
    SendPaced(bench, 0xFF);
    return UpdateOutcome::Stopped;
  }
  chip.started = true;
  if (!SendPaced(bench, 0x00)) return Failed(bench, chip, UpdateOutcome::Stopped);
  return icp ? ProgramChipIcp(bench, chip) : ProgramChipIsp(bench, chip);
}

}  // namespace

UpdateOutcome UpdateChip(Workbench& bench) {
  JobSettings& job = bench.job();
  if (job.ChipCounterEnabled) {
    if (job.CountDown && job.ChipCounter == 0) {
      bench.reporter().ShowWarning("Chip Counter reaches '000,000' !\n\nPlease reset the Chip Counter.");
      return UpdateOutcome::Stopped;
    }
    if (!job.CountDown && job.ChipCounter == 999'999) {
      bench.reporter().ShowWarning("Chip Counter reaches '999,999' !\n\nPlease reset the Chip Counter.");
      return UpdateOutcome::Stopped;
    }
  }
  ReloadImages(bench.images(), job, nullptr, bench.reporter());
  if (!CheckSelectedImagesIntact(bench.images(), job, bench.reporter())) return UpdateOutcome::Stopped;
  return job.GangMode ? UpdateGangChips(bench) : UpdateChipBody(bench, true);
}

}  // namespace quillet
