// The main window's life: start-up, the system menu, the auto-close timer, the Ctrl+T hot key, and
// the two ways out (Exit, and Cancel through Esc or the close box), which write GUI.LOG.
#include <QApplication>
#include <QMenu>
#include <QShortcut>
#include <QThread>

#include "core/storage/settings_record.h"
#include "dialogs/main/main_layout.h"
#include "qt/advanced/advanced_dialog.h"
#include "qt/kit/artwork.h"
#include "qt/main/main_dialog.h"
#include "qt/main/result_dialog.h"

namespace quillet {

void MainDialog::CreateSystemMenu() {
  // Where the platform offers no system-menu API, the same entries open from the window itself:
  // a right click on the banner or the window's background, or Alt+Space.
  system_menu_ = new QMenu(this);
  system_menu_->addAction(kAboutMenuText, this, [this] { OnSysCommand(kCommandAbout); });
  system_menu_->addSeparator();
  system_menu_->addAction(kAdvancedMenuText, this, [this] { OnSysCommand(kCommandAdvanced); });
  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { system_menu_->popup(mapToGlobal(at)); });
  auto* menu_key = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);
  connect(menu_key, &QShortcut::activated, this, [this] { system_menu_->popup(mapToGlobal(QPoint(0, 0))); });

  hot_key_ = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_T), this);
  hot_key_->setContext(Qt::WindowShortcut);
  hot_key_->setEnabled(false);
  connect(hot_key_, &QShortcut::activated, this, &MainDialog::OnHotKey);
}

int MainDialog::Run() {
  if (!StartUp()) return QDialog::Rejected;
  const int result = exec();
  FinishOperations();
  return result;
}

void MainDialog::FinishOperations() {
  reporter_->Detach();
  display_.Detach();
  // A worker may be posting a report at this moment; it must be let through to see the detach.
  while (runner_.running()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(10);
  }
  runner_.Join();
}

bool MainDialog::StartUp() {
  setWindowIcon(AppIcon());
  lock_ = std::make_unique<InstanceLock>(options_.lock_path);
  if (lock_->state() == InstanceLock::State::Taken) {
    reporter_->ShowWarning("This application program is running now !");
    second_copy_ = true;
    lock_.reset();
  } else {
    hot_key_->setEnabled(true);
  }

  settings_path_ = options_.app_folder + kSettingsFileName;
  LoadSettingsFile(settings_path_, job_);
  if (!second_copy_) StartProductionRecords();
  controls_.StartUp();
  reporter_->ResetStatus();
  if (job_.ComPortMode && hooks_.start_com_port_search) hooks_.start_com_port_search();
  ApplyControls();
  return !second_copy_;
}

void MainDialog::WriteSettingsFile() {
  SaveSettingsFile(settings_path_, job_, *reporter_);
}

void MainDialog::ReleaseHotKey() {
  hot_key_->setEnabled(false);
  lock_.reset();
}

void MainDialog::reject() {
  // A run still going ends with the chip in hand (a production loop stops after it) and commits its
  // S/N and counter before GUI.LOG is written, so the file never goes back to older values. The
  // window is closing: what the run has left to say is not shown.
  if (runner_.running()) {
    job_.ProductionMode = false;
    FinishOperations();
  }
  Close();
}

void MainDialog::Close() {
  WriteSettingsFile();
  ReleaseHotKey();
  QDialog::reject();
}

void MainDialog::OnExit() {
  if (controls_.OnExit() == ExitAction::Stay) {
    ApplyControls();
    return;
  }
  WriteSettingsFile();
  ReleaseHotKey();
  accept();
}

void MainDialog::OnSysCommand(int command) {
  switch (command & 0xFFF0) {
    case kCommandAbout:
      AboutDialog(this).exec();
      break;
    case kCommandAdvanced:
      AdvancedDialog(job_, this).exec();
      controls_.AfterAdvancedFunctions();
      ApplyControls();
      break;
    default:
      break;
  }
}

void MainDialog::OnTimer() {
  auto_close_timer_.stop();
  // The PASS window belongs to a worker's report, so it is found by its title.
  for (const char* title : {"PASS", "FAIL"}) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (window->isVisible() && window->windowTitle() == title) {
        window->close();
        return;
      }
    }
  }
}

void MainDialog::OnHotKey() {
  switch (controls_.OnHotKey()) {
    case HotKeyAction::StartTrimRead:
      if (!hooks_.trim_read) break;
      AskForSocket();  // the TRIM read goes to the gang socket as Read Chip does
      runner_.Start(hooks_.trim_read);
      break;
    case HotKeyAction::NotTesselPart:
      reporter_->DebugText("Not Tessel parts !");
      break;
    case HotKeyAction::Ignore:
      break;
  }
}

}  // namespace quillet
