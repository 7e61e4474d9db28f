// quillet: the program. One modal main window; the program ends when it closes.
#include <QApplication>
#include <QDir>

#include "core/sys/instance_lock.h"
#include "qt/kit/dialog_style.h"
#include "qt/main/main_dialog.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setStyle(new quillet::DialogStyle);
  quillet::SystemClock clock;
  quillet::MainDialog dialog(
      {QDir::currentPath().toStdString() + "/", quillet::UserLockPath("HotKey_read_TRIM"), &clock});
  dialog.Run();
  return 0;
}
