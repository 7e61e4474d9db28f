#pragma once
// The Advanced Functions dialog (169). AdvancedFunctions decides; this window shows its states,
// passes clicks and keystrokes to it, and shows the "ERROR" box when it refuses a text.
#include "dialogs/advanced/advanced_functions.h"
#include "qt/kit/template_dialog.h"

namespace quillet {

class AdvancedDialog : public TemplateDialog {
  Q_OBJECT

 public:
  AdvancedDialog(JobSettings& job, QWidget* parent);

 private:
  void OnEditChange(int id, const QString& text);

  AdvancedFunctions logic_;
};

}  // namespace quillet
