#pragma once
// Per-part set-up, run whenever the part or the programmer type changes.
#include "core/catalogue/part_catalogue.h"
#include "core/config/config_codec.h"
#include "core/job/job_settings.h"

namespace quillet {

// Recomputes the derived mode flags and SeparateApromErase from ProgrammerMode and the part, and
// puts the part's default CONFIG values into ConfigBytes (ConfigSliderPos = 1 where a default
// CONFIG rule of a part with DataFlash set in CONFIG applies).
void SetupPart(JobSettings& job, const PartCatalogue& catalogue);

}  // namespace quillet
