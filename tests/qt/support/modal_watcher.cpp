#include "qt/support/modal_watcher.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace quillet::test_support {

ModalWatcher::ModalWatcher(Mode mode) : mode_(mode) {
  connect(&timer_, &QTimer::timeout, this, &ModalWatcher::Poll);
  timer_.start(10);
}

QStringList ModalWatcher::Titles() const {
  QStringList titles;
  for (const SeenWindow& window : seen_) titles << window.title;
  return titles;
}

void ModalWatcher::Poll() {
  QWidget* window = QApplication::activeModalWidget();
  if (!window || !window->isVisible()) return;
  for (const QPointer<QWidget>& known : known_) {
    if (known == window) return;
  }
  known_ << window;
  SeenWindow seen{window->windowTitle(), {}};
  if (auto* box = qobject_cast<QMessageBox*>(window)) {
    seen.text = box->text();
  } else {
    for (int id : {1186, 1187}) {
      if (auto* label = window->findChild<QLabel*>(QStringLiteral("ctl_%1").arg(id)))
        seen.text = label->text();
    }
  }
  seen_ << seen;
  if (action_) {
    action_(window);
  } else if (mode_ == Mode::Close) {
    if (auto* box = qobject_cast<QMessageBox*>(window)) {
      box->button(QMessageBox::Ok)->click();
    } else if (auto* dialog = qobject_cast<QDialog*>(window)) {
      dialog->accept();
    }
  }
}

}  // namespace quillet::test_support
