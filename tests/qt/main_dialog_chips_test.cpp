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
  VirtualClock clock_;

  // GUI.LOG of ICP QMC04A with S/N programming at 0xFF0 from 100 and the counter counting up, the
  // Programmer remembered on "sim:1".
  static std::vector<uint8_t> Settings() {
    std::vector<uint8_t> bytes(256, 0);
    bytes[0] = 0x01;
    bytes[1] = 110;
    bytes[8] = bytes[9] = 0xFF;
    bytes[10] = 1;
    bytes[11] = 0xF0;
    bytes[12] = 0x0F;
    bytes[23] = 0x01;  // increment 1
    bytes[30] = 0x01;  // value 100
    bytes[32] = 1;
    bytes[40] = 1;
    for (char c : std::string("sim:1")) bytes.push_back(static_cast<uint8_t>(c));
    return bytes;
  }

  // The window started over that GUI.LOG with an APROM image loaded.
  std::unique_ptr<MainDialog> Start(test_support::MainWindowFolder& folder) {
    folder.WriteSettings(Settings());
    const std::string code = folder.path() + "code.bin";
    std::vector<char> bytes(256);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + 3);
    std::ofstream(code, std::ios::binary).write(bytes.data(), bytes.size());
    auto d = folder.Make();
    d->StartUp();
    d->show();
    AttachImageFile(d->images().aprom, code);
    d->RefreshControls();
    return d;
  }

  void Click(MainDialog& d, int id) {
    d.ControlAs<QPushButton>(id)->click();
    QTRY_VERIFY_WITH_TIMEOUT(!d.runner().running(), 30000);
    d.runner().Join();
  }

  static std::pair<std::string, uint32_t> Tally(const test_support::MainWindowFolder& folder) {
    const std::vector<uint8_t> bytes = folder.ReadSettings();
    char sn[17];
    for (int i = 0; i < 8; ++i) std::snprintf(sn + 2 * i, 3, "%02X", bytes[24 + i]);
    return {sn, bytes[34] | bytes[35] << 8 | bytes[36] << 16 | bytes[37] << 24};
  }

 private slots:
  void initTestCase() {
    QApplication::setStyle(new DialogStyle);
    qputenv(kSystemPortsVariable, "0");
    qunsetenv(kExtraPortsVariable);
  }

  void eachUpdatedChipStepsTheBoxesAndTheSettingsFile() {
    test_support::MainWindowFolder folder;
    auto d = Start(folder);
    sim::ProgrammerModel device(0xAB, 0x0710);
    sim::ChipFeeder feeder;
    device.SetFeeder(feeder, 0);
    sim::SimulatedPort port(d->bench().ports(), "sim:1", device, clock_);
    ModalWatcher watcher;
    for (int id : {kIdDownloadProgrammer, kIdUpdateChip, kIdUpdateChip}) Click(*d, id);
    QCOMPARE(watcher.Titles(), (QStringList{"PASS", "PASS", "PASS"}));
    QCOMPARE(watcher.seen()[2].text,
             "Chip is successfully updated !\n\n( S/N='00000000,00000101' at address 0xFF0 )");
    QCOMPARE(d->ControlAs<QLineEdit>(kIdSnBox)->text(), "00000000,00000102");
    QCOMPARE(d->ControlAs<QLineEdit>(kIdCounterBox)->text(), "000,002");
    QCOMPARE(Tally(folder), (std::pair<std::string, uint32_t>{"0000000000000102", 2}));
    QCOMPARE(feeder.programmed().size(), std::size_t(2));
    QCOMPARE(feeder.programmed()[1].sn, "0000000000000101");
  }

  void cancelDuringAnUpdateClosesAfterTheChipInHand() {
    test_support::MainWindowFolder folder;
    auto d = Start(folder);
    sim::ProgrammerModel device(0xAB, 0x0710);
    sim::ChipFeeder feeder;
    device.SetFeeder(feeder, 0);
    sim::SimulatedPort port(d->bench().ports(), "sim:1", device, clock_);
    ModalWatcher watcher;
    Click(*d, kIdDownloadProgrammer);
    d->ControlAs<QPushButton>(kIdUpdateChip)->click();
    QVERIFY(d->runner().running());
    d->reject();
    QVERIFY(!d->runner().running() && !d->isVisible());
    QCOMPARE(feeder.programmed().size(), std::size_t(1));
    QCOMPARE(Tally(folder), (std::pair<std::string, uint32_t>{"0000000000000101", 1}));
  }
};

}  // namespace quillet

QTEST_MAIN(quillet::MainDialogChipsTest)
#include "main_dialog_chips_test.moc"
