#include "core/job/setup_part.h"

namespace quillet {

void SetupPart(JobSettings& job, const PartCatalogue& catalogue) {
  const PartRow& part = catalogue.Row(job.PartCode);
  DeriveModeFlags(job);
  job.SeparateApromErase = part.FamilyFlagA && !job.CategoryMode;
  const ConfigDefaults defaults = DefaultConfig(job.PartCode, part, job.CategoryMode);
  job.ConfigBytes = defaults.bytes;
  if (defaults.slider_reset) job.ConfigSliderPos = 1;
}

}  // namespace quillet
