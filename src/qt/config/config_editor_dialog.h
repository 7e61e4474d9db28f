#pragma once
// One window for every CONFIG editor: built from the editor's template, it passes each radio click
// and each move of the DataFlash spin control to the model and shows the states that come back.
// The bit editor's pages are built from their own templates and laid over the tab control's pane.
#include <memory>
#include <vector>

#include "dialogs/config/config_editor_model.h"
#include "qt/kit/template_dialog.h"

namespace quillet {

class ConfigEditorDialog : public TemplateDialog {
  Q_OBJECT

 public:
  ConfigEditorDialog(std::unique_ptr<ConfigEditorModel> model, QWidget* parent);

  const ConfigEditorModel& model() const { return *model_; }
  // A page of the bit editor (0: CONFIG0, 1: CONFIG1); nullptr when the part has no such page.
  TemplateDialog* Page(int page) const;

 private:
  void ConnectRadios(TemplateDialog& dialog, int page);
  void ConnectSpin();
  void ShowPage(int page);
  void Apply();

  std::unique_ptr<ConfigEditorModel> model_;
  std::vector<TemplateDialog*> pages_;
};

}  // namespace quillet
