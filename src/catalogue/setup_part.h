#pragma once
// Per-part set-up (run whenever the part or the programmer type changes) and the choice of the
// CONFIG editor for a part.
#include "catalogue/part_catalogue.h"
#include "images/job_settings.h"

namespace quillet {

// Recomputes the derived mode flags and SeparateApromErase from ProgrammerMode and the part, and
// puts the part's default CONFIG values into ConfigBytes (ConfigSliderPos = 1 where a default
// CONFIG rule of a part with DataFlash set in CONFIG applies).
void SetupPart(JobSettings& job, const PartCatalogue& catalogue);

// Dialog resources of the CONFIG editors.
enum class ConfigDialog : int {
  kCortex = 148,     // Arden, Birch and the unlisted Cortex-M0 parts
  kSorrel = 149,     // "CONFIG Setting for Sorrel"
  kBits = 150,       // bit-by-bit editor of the other 8051 parts
  k8051 = 164,       // FamilyFlagB parts
  k8051Small = 165,  // FamilyFlagC parts
  kEmber = 176,      // "CONFIG Setting for Emberlite"
  kCedar = 177,
  kDune = 179,  // Dune and Fjord
};

// The editor that the "CONFIG Setting" button opens for a part; first match wins.
ConfigDialog ChooseConfigDialog(const PartRow& part);

}  // namespace quillet
