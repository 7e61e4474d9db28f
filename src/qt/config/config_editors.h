#pragma once
// The CONFIG editors' entry points: the "CONFIG Setting" button's editor over the job's bytes,
// and the view-mode editor that Read Chip and the information report open for bytes read back.
#include <QWidget>

#include "core/catalogue/part_catalogue.h"
#include "core/job/job_settings.h"

namespace quillet {

// Runs the editor of the job's part modally; its changes are in the job's ConfigBytes and
// ConfigSliderPos as they are made, however the window is left.
void RunConfigEditor(JobSettings& job, const PartCatalogue& catalogue, QWidget* parent);

// Runs the editor of `part_code` in view mode over `bytes` (stored order, as ConfigBytes).
// Returns 0 without showing anything for a part code that has no editor (above 1214).
int RunConfigView(uint32_t part_code, const ConfigByteArray& bytes, const PartCatalogue& catalogue,
                  QWidget* parent);

}  // namespace quillet
