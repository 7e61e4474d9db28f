#include "qt/advanced/advanced_dialog.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "dialogs/advanced/advanced_layout.h"
#include "qt/kit/artwork.h"
#include "qt/kit/message_box.h"

namespace quillet {

AdvancedDialog::AdvancedDialog(JobSettings& job, QWidget* parent)
    : TemplateDialog(AdvancedDialogTemplate(), parent), logic_(job) {
  setWindowIcon(AppIcon());
  for (const ControlTemplate& control : AdvancedDialogTemplate().controls) {
    QWidget* widget = Control(control.id);
    if (control.kind == ControlKind::Radio || control.id == kIdCountDirection) {
      connect(static_cast<QAbstractButton*>(widget), &QAbstractButton::clicked, this,
              [this, id = control.id] {
                logic_.OnClick(id);
                ApplyStates(logic_.states());
              });
    } else if (control.kind == ControlKind::Edit && !(control.style & kReadOnly)) {
      connect(static_cast<QLineEdit*>(widget), &QLineEdit::textChanged, this,
              [this, id = control.id](const QString& text) { OnEditChange(id, text); });
    }
  }
  connect(ControlAs<QPushButton>(kIdAdvOk), &QPushButton::clicked, this, &QDialog::accept);
  ApplyStates(logic_.states());
}

void AdvancedDialog::OnEditChange(int id, const QString& text) {
  const std::string error = logic_.OnEditChange(id, text.toStdString());
  if (!error.empty()) ShowMessageBox(this, "ERROR", error, QMessageBox::Critical);
  ApplyStates(logic_.states());
}

}  // namespace quillet
