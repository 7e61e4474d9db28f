// The main window while an operation runs on a worker: clicks put back, Exit and P.M., the PASS
// window closing by itself in production mode, and Cancel while a worker still runs.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <atomic>

#include "qt/kit/dialog_style.h"
#include "qt/support/main_window.h"
#include "qt/support/modal_watcher.h"

namespace quillet {

using test_support::ModalWatcher;

class MainDialogOperationTest : public QObject {
  Q_OBJECT

 private:
  std::atomic<bool> release_ = false;

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

  void clicksDuringAnOperationArePutBack() {
    test_support::MainWindowFolder folder;
    auto d = folder.Start({true, true, true});
    StartHeldOperation(*d);
    d->ControlAs<QRadioButton>(kIdIcpRadio)->click();
    d->ControlAs<QCheckBox>(kIdGangCheck)->click();
    d->ControlAs<QCheckBox>(kIdApromCheck)->click();
    QVERIFY(d->ControlAs<QRadioButton>(kIdIspRadio)->isChecked());
    QVERIFY(!d->ControlAs<QCheckBox>(kIdGangCheck)->isChecked());
    QVERIFY(d->ControlAs<QCheckBox>(kIdApromCheck)->isChecked());
    QCOMPARE(int(d->job().ProgrammerMode), 0x00);
    QVERIFY2(test_support::StateMismatch(*d).isEmpty(), qPrintable(test_support::StateMismatch(*d)));
    d->ControlAs<QPushButton>(kIdExit)->click();  // P.M. is off: Exit does nothing
    QVERIFY(d->isVisible());
    Release(*d);
    d->ControlAs<QRadioButton>(kIdIcpRadio)->click();
    QVERIFY(d->ControlAs<QRadioButton>(kIdIcpRadio)->isChecked());
  }

  void exitDuringProductionLeavesProductionMode() {
    test_support::MainWindowFolder folder;
    folder.WriteSettings(0x82, 2);
    auto d = folder.Start();
    QVERIFY(d->ControlAs<QCheckBox>(kIdPmCheck)->isChecked());
    StartHeldOperation(*d);
    d->ControlAs<QPushButton>(kIdExit)->click();
    QVERIFY(d->isVisible());
    QVERIFY(!d->ControlAs<QCheckBox>(kIdPmCheck)->isChecked());
    QVERIFY(!d->job().ProductionMode);
    Release(*d);
  }

  void passClosesByItselfInProductionModeOnly() {
    for (const uint8_t mode : {0x82, 0x02}) {
      test_support::MainWindowFolder folder;
      folder.WriteSettings(mode, 2);
      auto d = folder.Start();
      ModalWatcher watcher(ModalWatcher::Mode::Observe);
      bool open_after_wait = false, worker_waited = false;
      if (mode == 0x02) {
        watcher.SetAction([&](QWidget* window) {
          // Well past the production-mode auto-close, the window is still there and the worker waits.
          QTimer::singleShot(1200, window, [&, window] {
            open_after_wait = window->isVisible();
            worker_waited = d->runner().running();
            window->findChild<QPushButton*>(ControlObjectName(1))->click();
          });
        });
      }
      QVERIFY(d->runner().Start([&] { d->reporter().ShowPass("Chip updated"); }));
      QTRY_VERIFY_WITH_TIMEOUT(!d->runner().running(), 10000);
      d->runner().Join();
      QCOMPARE(watcher.Titles(), QStringList{"PASS"});
      QCOMPARE(watcher.seen().front().text, QString("Chip updated"));
      QCOMPARE(d->ControlAs<QLabel>(kIdStatus)->text(), QString("Ready..."));
      QCOMPARE(open_after_wait && worker_waited, mode == 0x02);
    }
  }

  void cancelDuringAnOperationClosesAndTheWorkerEndsSilently() {
    test_support::MainWindowFolder folder;
    auto d = folder.Make();
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
      // Cancel waits for the operation, which ends meanwhile.
      QTimer::singleShot(20, this, [&] { release_ = true; });
      d->reject();
      QVERIFY(reported);
    });
    QCOMPARE(d->Run(), int(QDialog::Rejected));
    QVERIFY(reported);
    QVERIFY(!d->runner().running());
    QVERIFY(watcher.seen().isEmpty());
    QCOMPARE(folder.ReadSettings().size(), std::size_t(266));
  }
};

}  // namespace quillet

QTEST_MAIN(quillet::MainDialogOperationTest)
#include "main_dialog_operation_test.moc"
