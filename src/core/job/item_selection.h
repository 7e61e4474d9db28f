#pragma once
// The one rule for which areas a job can write, for the window's item boxes, the project checks
// and the CLI: APROM always; DataFlash on parts that have it; LDROM in ICP only, on parts that
// have one; CONFIG in ICP for every part, otherwise on the 8051 parts whose CONFIG bytes the
// Programmer writes in ISP. ICP selects CONFIG of a Cortex-M0 part by itself.
#include "core/catalogue/part_row.h"
#include "core/job/job_settings.h"

namespace quillet {

struct ItemSelection {
  bool aprom = true;
  bool data_flash = false;
  bool ldrom = false;
  bool config = false;
  bool config_preselected = false;
};

ItemSelection WritableItems(const PartRow& part, uint8_t programmer_type);

// Selects each area that holds a file and that the job can write; CONFIG keeps its choice.
struct LoadedAreas {
  bool aprom = false;
  bool data_flash = false;
  bool ldrom = false;
};
void SelectLoadedItems(JobSettings& job, const PartRow& part, LoadedAreas loaded);

}  // namespace quillet
