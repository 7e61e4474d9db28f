#include "core/job/item_selection.h"

namespace quillet {

ItemSelection WritableItems(const PartRow& part, uint8_t programmer_type) {
  const bool icp = programmer_type == kTypeIcp;
  ItemSelection items;
  items.data_flash = part.HasDataFlash;
  items.ldrom = icp && part.HasLdrom;
  items.config = icp || part.FamilyFlagA;
  items.config_preselected = icp && part.IsCortexM0;
  return items;
}

void SelectLoadedItems(JobSettings& job, const PartRow& part, LoadedAreas loaded) {
  const ItemSelection items = WritableItems(part, job.Type());
  job.ApromSelected = loaded.aprom && items.aprom;
  job.DataFlashSelected = loaded.data_flash && items.data_flash;
  job.LdromSelected = loaded.ldrom && items.ldrom;
}

}  // namespace quillet
