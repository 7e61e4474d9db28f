#pragma once
// "Select Chip in the Sockets" (151), shown before Verify Chip and Read Chip with a Gang
// Programmer. SelectSocket keeps the radios; OK stores the choice into the workbench's socket.
#include "dialogs/main/select_socket.h"
#include "qt/kit/template_dialog.h"

namespace quillet {

class SelectSocketDialog : public TemplateDialog {
  Q_OBJECT

 public:
  SelectSocketDialog(int& choice, QWidget* parent);

 private:
  SelectSocket logic_;
};

}  // namespace quillet
