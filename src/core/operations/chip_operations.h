#pragma once
// The Programmer-driven operations of the Download Programmer and Update Chip buttons, written once
// for the window and the CLI over a Workbench. Each runs on the caller's thread (the window's
// worker, the CLI's main thread) and reports through the workbench's reporter, display and
// production recorder; every step leaves 1 or 0 in the link's LastResult.
#include <optional>
#include <string>

#include "core/operations/workbench.h"

namespace quillet {

// How an update ended, for a caller that goes on with the next chip: a chip failure lets a loop
// go on; a stop (link failure, counter at its end, out-of-date storage, cancel) ends it.
enum class UpdateOutcome { Passed, ChipFailed, Stopped };

// Download Programmer (control 1006): the gang search and version read, ReloadImages, the size
// checks, then the single or gang download. `update_isp_download` serves the hidden
// "Download\nUpdateISP.bin" button. Returns 1 when the Programmer(s) hold the job.
int DownloadProgrammer(Workbench& bench, bool update_isp_download = false);

// Update Chip (control 1005): the Chip Counter end check, ReloadImages, then the single or gang
// update (with at most one re-download per call when the storage does not match the job), or with
// ISP by COM Port the update or production loop of comisp_update.h, set up by bench.comisp().
UpdateOutcome UpdateChip(Workbench& bench);

// "Chip is successfully updated !", with the chip's S/N and its address when S/N programming is on.
std::string ChipPassText(const JobSettings& job);

// Writes down that the one chip in hand (socket 0) is about to be programmed, with `sn` when S/N
// programming hands it one: the settings file then holds the S/N stepped past it. 0 after the
// recorder's report.
int RecordChipStarting(Workbench& bench, const std::optional<SplitDecimal>& sn);

// Serial-number and counter arithmetic on the job (the S/N wraps modulo 10^16).
void StepSerialNumber(JobSettings& job);
void UnstepSerialNumber(JobSettings& job);
void StepChipCounter(JobSettings& job, uint32_t step);

}  // namespace quillet
