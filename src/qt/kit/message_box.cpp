#include "qt/kit/message_box.h"

namespace quillet {

void ShowMessageBox(QWidget* owner, const std::string& caption, const std::string& text,
                    QMessageBox::Icon icon) {
  QMessageBox box(icon, QString::fromStdString(caption), QString::fromStdString(text), QMessageBox::Ok,
                  owner);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

}  // namespace quillet
