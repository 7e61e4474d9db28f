// The main window as the Programmer link's display, with a simulated Programmer on an in-process
// port in virtual time: the hidden "FwUpdate" button reflashes it on a worker and the port and
// "Prog. Type" fields show what the link found; a missing firmware file closes the window.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "qt/kit/dialog_style.h"
#include "qt/support/main_window.h"
#include "qt/support/modal_watcher.h"
#include "sim/firmware_image.h"
#include "sim/programmer_model.h"
#include "sim/virtual_port.h"

namespace quillet {

using test_support::ModalWatcher;

class MainDialogLinkTest : public QObject {
  Q_OBJECT

 private:
  VirtualClock clock_;

  // FwUpdate with a Programmer answering `type` at 0x0700 on "sim:1", where GUI.LOG remembers it;
  // the firmware files are there unless `without_files`. Keeps the windows that opened and the texts.
  void FwUpdate(test_support::MainWindowFolder& folder, uint8_t mode, uint16_t part,
                sim::ProgrammerModel& device, bool without_files = false) {
    folder.WriteSettings(mode, part);
    if (!without_files) sim::WriteFirmwareSet(folder.path(), 0x0710, 600, 4096);
    auto d = folder.Start();
    d->job().SetPortName("sim:1");
    sim::SimulatedPort port(d->bench().ports(), "sim:1", device, clock_);
    ModalWatcher watcher;
    // The hidden button stays disabled, so it is clicked the way automation does: by its signal.
    emit d->ControlAs<QPushButton>(kIdFwUpdate)->clicked();
    QTRY_VERIFY_WITH_TIMEOUT(!d->runner().running(), 30000);
    d->runner().Join();
    texts_ = {d->ControlAs<QLabel>(kIdProgType)->text(), d->ControlAs<QLineEdit>(kIdComPortName)->text(),
              d->isVisible() ? "shown" : "closed", watcher.seen().value(0).text};
    titles_ = watcher.Titles();
  }
  QStringList texts_, titles_;

 private slots:
  void initTestCase() {
    QApplication::setStyle(new DialogStyle);
    qputenv(kSystemPortsVariable, "0");
    qunsetenv(kExtraPortsVariable);
  }

  void fwUpdateReflashesTheProgrammerAndShowsWhatTheLinkFound() {
    for (const auto& [mode, part, type, word] :
         {std::tuple{0x00, 2, 0xA5, "ISP_only"}, {0x02, 110, 0xAB, "ICP"}}) {
      test_support::MainWindowFolder folder;
      sim::ProgrammerModel device(type, 0x0700);
      FwUpdate(folder, mode, part, device);
      QCOMPARE(titles_, QStringList{"PASS"});
      QCOMPARE(texts_,
               (QStringList{word, "sim:1", "shown", "Programmer's firmware is successfully updated !"}));
      QCOMPARE(device.transfers(), 1);
      QCOMPARE(int(device.version()), 0x0710);
      QCOMPARE(int(sim::ReadFirmwareIdentity(device.last_image())->type_code), int(type));
    }
  }

  void missingFirmwareFileClosesTheWindowFromTheWorker() {
    test_support::MainWindowFolder folder;
    sim::ProgrammerModel device(0xAB, 0x0710);
    FwUpdate(folder, 0x02, 110, device, true);
    QCOMPARE(titles_, QStringList{"FAIL"});
    QCOMPARE(texts_.mid(2, 1), QStringList{"closed"});
    QVERIFY(texts_[3].endsWith("v0710_MainMCU_ICP.DAT cannot be opened !"));
    QCOMPARE(folder.ReadSettings().size(), std::size_t(256 + 5));  // written again, with "sim:1"
    QCOMPARE(device.transfers(), 0);
  }
};

}  // namespace quillet

QTEST_MAIN(quillet::MainDialogLinkTest)
#include "main_dialog_link_test.moc"
