#pragma once
// The standard message boxes: a caption, a text, an icon and one OK button; modal, returning when
// closed. A box without owner is modal to the whole application.
#include <QMessageBox>
#include <string>

namespace quillet {

void ShowMessageBox(QWidget* owner, const std::string& caption, const std::string& text,
                    QMessageBox::Icon icon);

}  // namespace quillet
