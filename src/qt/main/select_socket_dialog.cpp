#include "qt/main/select_socket_dialog.h"

#include <QPushButton>
#include <QRadioButton>

#include "qt/kit/artwork.h"

namespace quillet {

SelectSocketDialog::SelectSocketDialog(int& choice, QWidget* parent)
    : TemplateDialog(SelectSocketDialogTemplate(), parent), logic_(choice) {
  setWindowIcon(AppIcon());
  for (int i = 0; i < kSocketCount; ++i) {
    connect(ControlAs<QRadioButton>(kIdSocket1 + i), &QRadioButton::clicked, this,
            [this, id = kIdSocket1 + i] {
              logic_.OnRadio(id);
              ApplyStates(logic_.states());
            });
  }
  connect(ControlAs<QPushButton>(kIdSocketOk), &QPushButton::clicked, this, [this] {
    logic_.OnOk();
    accept();
  });
  ApplyStates(logic_.states());
}

}  // namespace quillet
