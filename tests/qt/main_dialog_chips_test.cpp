// Download Programmer and Update Chip from the main window, against a simulated ICP Programmer on an
// in-process port in virtual time: each chip gets the next S/N, the S/N and Chip Counter boxes
// follow it, GUI.LOG holds the tally at once, and Cancel during an update closes the window only
// after the chip in hand is programmed and written down.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <fstream>

#include "core/images/image_loader.h"
#include "qt/kit/dialog_style.h"
#include "qt/support/main_window.h"
#include "qt/support/modal_watcher.h"
#include "sim/chip_feeder.h"
#include "sim/programmer_model.h"
#include "sim/virtual_port.h"

namespace quillet {

using test_support::ModalWatcher;

class MainDialogChipsTest : public QObject {
  Q_OBJECT

 private:
  // The window over a GUI.LOG of ICP QMC04A with S/N programming at 0xFF0 from 100 and the counter
  // counting up, the Programmer remembered on "sim:1", and an APROM image loaded; the Programmer
  // there with its chips.
  struct Rig {
    Rig() {
      const QByteArray settings = QByteArray::fromHex(
          "01 6e00 0000000000 ffff 01 f00f0000 00 0000000000000001 0000000000000100 01 00 00000000 0000 01");
      std::vector<uint8_t> bytes(settings.begin(), settings.end());
      bytes.resize(256);
      bytes.insert(bytes.end(), {'s', 'i', 'm', ':', '1'});
      folder.WriteSettings(bytes);
      std::ofstream(folder.path() + "code.bin", std::ios::binary) << std::string(256, '\x5A');
      d = folder.Make();
      d->StartUp();
      d->show();
      AttachImageFile(d->images().aprom, folder.path() + "code.bin");
      d->RefreshControls();
      device.SetFeeder(feeder, 0);
      port = std::make_unique<sim::SimulatedPort>(d->bench().ports(), "sim:1", device, clock);
    }
    void Click(int id) {
      d->ControlAs<QPushButton>(id)->click();
      QTRY_VERIFY_WITH_TIMEOUT(!d->runner().running(), 30000);
      d->runner().Join();
    }
    // GUI.LOG's S/N value (packed BCD) and counter.
    std::pair<QByteArray, uint32_t> Tally() const {
      const std::vector<uint8_t> bytes = folder.ReadSettings();
      return {QByteArray(reinterpret_cast<const char*>(&bytes[24]), 8).toHex(),
              bytes[34] | bytes[35] << 8 | bytes[36] << 16 | bytes[37] << 24};
    }

    VirtualClock clock;
    test_support::MainWindowFolder folder;
    std::unique_ptr<MainDialog> d;
    sim::ProgrammerModel device{0xAB, 0x0710};
    sim::ChipFeeder feeder;
    std::unique_ptr<sim::SimulatedPort> port;
  };

 private slots:
  void initTestCase() {
    QApplication::setStyle(new DialogStyle);
    qputenv(kSystemPortsVariable, "0");
    qunsetenv(kExtraPortsVariable);
  }

  void eachUpdatedChipStepsTheBoxesAndTheSettingsFile() {
    Rig rig;
    ModalWatcher watcher;
    for (int id : {kIdDownloadProgrammer, kIdUpdateChip, kIdUpdateChip}) rig.Click(id);
    QCOMPARE(watcher.Titles(), (QStringList{"PASS", "PASS", "PASS"}));
    QCOMPARE(watcher.seen()[2].text,
             "Chip is successfully updated !\n\n( S/N='00000000,00000101' at address 0xFF0 )");
    QCOMPARE(rig.d->ControlAs<QLineEdit>(kIdSnBox)->text(), "00000000,00000102");
    QCOMPARE(rig.d->ControlAs<QLineEdit>(kIdCounterBox)->text(), "000,002");
    QCOMPARE(rig.Tally(), (std::pair<QByteArray, uint32_t>{"0000000000000102", 2}));
    QCOMPARE(rig.feeder.programmed().size(), std::size_t(2));
    QCOMPARE(rig.feeder.programmed()[1].sn, "0000000000000101");
  }

  void cancelDuringAnUpdateClosesAfterTheChipInHand() {
    Rig rig;
    ModalWatcher watcher;
    rig.Click(kIdDownloadProgrammer);
    rig.d->ControlAs<QPushButton>(kIdUpdateChip)->click();
    QVERIFY(rig.d->runner().running());
    rig.d->reject();
    QVERIFY(!rig.d->runner().running() && !rig.d->isVisible());
    QCOMPARE(rig.feeder.programmed().size(), std::size_t(1));
    QCOMPARE(rig.Tally(), (std::pair<QByteArray, uint32_t>{"0000000000000101", 1}));
  }
};

}  // namespace quillet

QTEST_MAIN(quillet::MainDialogChipsTest)
#include "main_dialog_chips_test.moc"
