#pragma once
// Update Chip with ISP by COM Port: the chip's own boot loader on a plain serial line, no
// Programmer. One update per press, or the production loop (P.M.) that programs chip after chip as
// the operator resets them. Both write the chip's S/N into the APROM image, report every result, and
// keep the S/N and Chip Counter through the workbench's production recorder as the Programmer path
// does (the chip's S/N reserved before the first byte that writes it, the result committed before
// the PASS window).
#include "core/operations/chip_operations.h"
#include "core/operations/comisp_run.h"

namespace quillet {

// One chip on the job's port (ProgrammerPortName): detection with its 10 s window, CONFIG, APROM
// (with the S/N), DataFlash, then the PASS and FinishChip; the port is closed at every end. The
// caller has run Update Chip's checks (counter, reload, sizes, S/N address).
UpdateOutcome ComIspUpdateOnce(Workbench& bench, const ComIspRun& run);

// Chip after chip until ProductionMode is cleared, the Chip Counter reaches its end, `run.chips`
// chips are done or the port fails. A chip failure goes on with the next chip. Passed when every
// chip passed, ChipFailed when one failed, Stopped when the port or the records failed.
UpdateOutcome ComIspProductionLoop(Workbench& bench, ComIspRun& run);

// The S/N in the APROM image at SnAddress as packed BCD, the image first lengthened with 0xFF up to
// the S/N's end when it is shorter. 0, and nothing written, when the S/N would not fit the buffer.
int PutSerialNumber(const JobSettings& job, ImageBuffer& aprom);

}  // namespace quillet
