// quillet: the program. One modal main window; the program ends when it closes. With --demo it runs
// against simulated devices, with settings in a folder of their own.
#include <QApplication>
#include <QDir>
#include <QMessageBox>

#include "core/operations/demo_session.h"
#include "core/storage/settings_record.h"
#include "core/sys/instance_lock.h"
#include "qt/kit/dialog_style.h"
#include "qt/main/main_dialog.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setStyle(new quillet::DialogStyle);
  const bool demo_mode = QApplication::arguments().contains("--demo");
  quillet::DemoSession demo;  // its devices end with the program
  std::string folder = QDir::currentPath().toStdString() + "/";
  if (demo_mode) {
    std::string error;
    if (!demo.Start(error)) {
      QMessageBox::critical(nullptr, "Quillet", QString::fromStdString("The demo cannot start:\n" + error));
      return 1;
    }
    demo.RestrictPortScan();
    folder = demo.folder();
  }
  quillet::SystemClock clock;
  // One copy at a time over a GUI.LOG, the window's or quillet-cli's.
  quillet::MainDialog dialog(
      {folder, quillet::SettingsLockPath(folder + quillet::kSettingsFileName), &clock, demo_mode});
  dialog.Run();
  return 0;
}
