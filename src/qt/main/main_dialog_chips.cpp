// The main window's operations that program chips: Download Programmer, Update Chip (through the
// Programmer, or with ISP by COM Port straight to the chip's boot loader, one chip or a production
// run) and the hidden "Download\nUpdateISP.bin", each on the worker; and the records each chip
// leaves: its S/N and the Chip Counter in GUI.LOG, and a line in the production log.
#include "core/comisp/com_port_memory.h"
#include "core/operations/chip_operations.h"
#include "core/storage/settings_record.h"
#include "core/storage/settings_recorder.h"
#include "dialogs/main/main_layout.h"
#include "qt/main/main_dialog.h"

namespace quillet {

void MainDialog::InstallChipCommands() {
  hooks_.buttons[kIdDownloadProgrammer] = [this] { runner_.Start([this] { DownloadProgrammer(bench_); }); };
  hooks_.buttons[kIdDownloadUpdateIsp] = [this] {
    runner_.Start([this] { DownloadProgrammer(bench_, true); });
  };
  hooks_.buttons[kIdUpdateChip] = [this] {
    if (runner_.running()) return;
    if (job_.ComPortMode) PrepareComIspRun();
    runner_.Start([this] { UpdateChip(bench_); });
  };
}

// ISP by COM Port: the chip is looked for on the port chosen in the COM port list, and the port of
// each chip found is remembered beside GUI.LOG. A production run goes on until P.M. is left.
void MainDialog::PrepareComIspRun() {
  controls_.UseSelectedComPort();
  ComIspRun& run = bench_.comisp();
  run.port_file = ComPortFilePath(settings_path_);
  run.chips = 0;
}

// GUI.LOG as Exit would write it, with the S/N and counter the update has reached. Runs on the
// worker while the window leaves the settings alone.
void MainDialog::StartProductionRecords() {
  ReportInterruptedUpdate(settings_path_, *reporter_, options_.clock);
  recorder_ = std::make_unique<SettingsFileRecorder>(
      settings_path_,
      [this](const ProductionTally& tally) { return PatchSettingsTally(EncodeSettingsRecord(job_), tally); },
      *reporter_, options_.clock);
  bench_.SetRecorder(*recorder_);
}

}  // namespace quillet
