#include "dialogs/config/config_editor_model.h"

#include "dialogs/config/config_layouts.h"

namespace quillet {
namespace {

// The editor's states of the controls this template has; a template without a control the editor
// drives would be a layout fault, which the layout tests catch.
ControlStates Mapped(const DialogTemplate& dialog, const std::map<int, ConfigControlState>& from) {
  ControlStates states(dialog);
  for (const auto& [id, state] : from) {
    if (!FindControl(dialog, id)) continue;
    ControlState& to = states.at(id);
    to.enabled = state.enabled;
    to.checked = state.checked;
    to.visible = state.visible;
    to.text = state.text;
  }
  return states;
}

}  // namespace

std::unique_ptr<ConfigEditorModel> ConfigEditorModel::Open(uint32_t part_code, const PartCatalogue& catalogue,
                                                           ConfigByteArray& bytes, uint16_t& slider) {
  std::unique_ptr<ConfigEditorModel> model(new ConfigEditorModel);
  if (!model->Start(part_code, catalogue, bytes, slider, false)) return nullptr;
  return model;
}

std::unique_ptr<ConfigEditorModel> ConfigEditorModel::OpenView(uint32_t part_code,
                                                               const PartCatalogue& catalogue,
                                                               const ConfigByteArray& bytes) {
  std::unique_ptr<ConfigEditorModel> model(new ConfigEditorModel);
  model->view_bytes_ = bytes;
  if (!model->Start(part_code, catalogue, model->view_bytes_, model->view_slider_, true)) return nullptr;
  return model;
}

bool ConfigEditorModel::Start(uint32_t part_code, const PartCatalogue& catalogue, ConfigByteArray& bytes,
                              uint16_t& slider, bool view) {
  std::optional<ConfigEditor> editor = OpenConfigEditor(part_code, catalogue, bytes, slider, view);
  if (!editor) return false;
  editor_.emplace(std::move(*editor));
  Refresh();
  return true;
}

const DialogTemplate& ConfigEditorModel::dialog_template() const {
  return ConfigEditorTemplate(editor_->dialog());
}

int ConfigEditorModel::OnClick(int id) {
  const int changed = editor_->Click(id);
  Refresh();
  return changed;
}

int ConfigEditorModel::OnPageClick(int page, int id) {
  const int changed = editor_->ClickPage(page, id);
  Refresh();
  return changed;
}

int ConfigEditorModel::OnScroll(int position) {
  const int changed = editor_->Scroll(position);
  Refresh();
  return changed;
}

void ConfigEditorModel::Refresh() {
  states_ = Mapped(dialog_template(), editor_->States());
  pages_.clear();
  for (int page = 0; page < editor_->PageCount(); ++page) {
    pages_.push_back(Mapped(ConfigBitPageTemplate(page), editor_->PageStates(page)));
  }
}

}  // namespace quillet
