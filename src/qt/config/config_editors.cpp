#include "qt/config/config_editors.h"

#include "qt/config/config_editor_dialog.h"

namespace quillet {

void RunConfigEditor(JobSettings& job, const PartCatalogue& catalogue, QWidget* parent) {
  auto model = ConfigEditorModel::Open(job.PartCode, catalogue, job.ConfigBytes, job.ConfigSliderPos);
  if (!model) return;
  ConfigEditorDialog(std::move(model), parent).exec();
}

int RunConfigView(uint32_t part_code, const ConfigByteArray& bytes, const PartCatalogue& catalogue,
                  QWidget* parent) {
  auto model = ConfigEditorModel::OpenView(part_code, catalogue, bytes);
  if (!model) return 0;
  ConfigEditorDialog(std::move(model), parent).exec();
  return 1;
}

}  // namespace quillet
