// The main window while an operation runs on a worker: clicks put back, Exit and P.M., the PASS
// window closing by itself in production mode, and Cancel while a worker still runs.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <fstream>

#include "qt/main/main_dialog.h"
#include "dialogs/main/main_layout.h"
#include "qt/kit/dialog_style.h"
#include "qt/support/modal_watcher.h"

namespace quillet {

using test_support::ModalWatcher;

class MainDialogOperationTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  VirtualClock clock_;
  std::atomic<bool> release_ = false;

  std::string Folder() const { return dir_->path().toStdString() + "/"; }
  // A window over a GUI.LOG of this type and part; started and shown unless `start` is false.
  std::unique_ptr<MainDialog> Make(uint8_t mode, uint16_t part, bool start = true) {
    std::vector<char> record(256, 0);
    record[0] = static_cast<char>(mode);
    record[1] = static_cast<char>(part & 0xFF);
    record[2] = static_cast<char>(part >> 8);
    std::ofstream(Folder() + "GUI.LOG", std::ios::binary).write(record.data(), record.size());
    auto d = std::make_unique<MainDialog>(MainDialogOptions{Folder(), Folder() + "lock", &clock_});
    if (start) {
      d->StartUp();
      d->show();
    }
    return d;
  }
  // An operation that runs until the test lets it go.
  void StartHeldOperation(MainDialog& d) {
    release_ = false;
    QVERIFY(d.runner().Start([this] {
      while (!release_) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }));
  }
  void Release(MainDialog& d) {
    release_ = true;
    d.runner().Join();
  }

 private slots:
  void initTestCase() { QApplication::setStyle(new DialogStyle); }
  void init() { dir_ = std::make_unique<QTemporaryDir>(); }

  void clicksDuringAnOperationArePutBack() {
    auto d = Make(0x00, 2);
    StartHeldOperation(*d);
    d->ControlAs<QRadioButton>(kIdIcpRadio)->click();
    QVERIFY(d->ControlAs<QRadioButton>(kIdIspRadio)->isChecked());
    QVERIFY(!d->ControlAs<QRadioButton>(kIdIcpRadio)->isChecked());
    d->ControlAs<QCheckBox>(kIdGangCheck)->click();
    QVERIFY(!d->ControlAs<QCheckBox>(kIdGangCheck)->isChecked());
    QCOMPARE(int(d->job().ProgrammerMode), 0x00);
    d->ControlAs<QPushButton>(kIdExit)->click();  // P.M. is off: Exit does nothing
    QVERIFY(d->isVisible());
    Release(*d);
    d->ControlAs<QRadioButton>(kIdIcpRadio)->click();
    QVERIFY(d->ControlAs<QRadioButton>(kIdIcpRadio)->isChecked());
  }

  void exitDuringProductionLeavesProductionMode() {
    auto d = Make(0x82, 2);
    QVERIFY(d->ControlAs<QCheckBox>(kIdPmCheck)->isChecked());
    StartHeldOperation(*d);
    d->ControlAs<QPushButton>(kIdExit)->click();
    QVERIFY(d->isVisible());
    QVERIFY(!d->ControlAs<QCheckBox>(kIdPmCheck)->isChecked());
    QCOMPARE(int(d->job().ProgrammerMode), 0x02);
    QVERIFY(!d->job().ProductionMode);
    Release(*d);
  }

  void passClosesByItselfInProductionMode() {
    auto d = Make(0x82, 2);
    ModalWatcher watcher(ModalWatcher::Mode::Observe);
    QVERIFY(d->runner().Start([&] { d->reporter().ShowPass("Chip updated"); }));
    QTRY_VERIFY_WITH_TIMEOUT(!d->runner().running(), 10000);
    QCOMPARE(watcher.Titles(), QStringList{"PASS"});
    QCOMPARE(watcher.seen().front().text, QString("Chip updated"));
    QCOMPARE(d->ControlAs<QLabel>(kIdStatus)->text(), QString("Ready..."));
    d->runner().Join();
  }

  void passWaitsForTheOperatorOutsideProductionMode() {
    auto d = Make(0x02, 2);
    ModalWatcher watcher;
    bool open_after_wait = false;
    bool worker_waited = false;
    watcher.SetAction([&](QWidget* window) {
      // Well past the production-mode auto-close, the window is still there and the worker waits.
      QTimer::singleShot(1200, window, [&, window] {
        open_after_wait = window->isVisible();
        worker_waited = d->runner().running();
        window->findChild<QPushButton*>(ControlObjectName(1))->click();
      });
    });
    QVERIFY(d->runner().Start([&] { d->reporter().ShowPass("Chip updated"); }));
    QTRY_VERIFY_WITH_TIMEOUT(!d->runner().running(), 10000);
    d->runner().Join();
    QCOMPARE(watcher.Titles(), QStringList{"PASS"});
    QVERIFY(open_after_wait);
    QVERIFY(worker_waited);
  }

  void cancelDuringAnOperationClosesAndTheWorkerEndsSilently() {
    auto d = Make(0x00, 2, false);
    ModalWatcher watcher;
    watcher.Ignore(d.get());
    release_ = false;
    std::atomic<bool> reported = false;
    QTimer::singleShot(50, this, [&] {
      d->runner().Start([&] {
        while (!release_) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        d->reporter().ShowFail("too late");
        reported = true;
      });
      d->reject();
      release_ = true;
    });
    QCOMPARE(d->Run(), int(QDialog::Rejected));
    QVERIFY(reported);
    QVERIFY(!d->runner().running());
    QVERIFY(watcher.seen().isEmpty());
    QVERIFY(std::ifstream(Folder() + "GUI.LOG").good());
  }
};

}  // namespace quillet

QTEST_MAIN(quillet::MainDialogOperationTest)
#include "main_dialog_operation_test.moc"
