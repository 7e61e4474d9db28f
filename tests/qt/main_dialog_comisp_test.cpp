// Update Chip with ISP by COM Port from the main window, against simulated boot-loader chips on an
// in-process port in virtual time: one update on the port picked in the COM port list (a locked
// chip: the lock-release WARNING first), and a production run that the P.M. box or Exit stops after
// the chip in hand.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <fstream>
#include <sstream>

#include "core/comisp/com_port_memory.h"
#include "core/images/image_loader.h"
#include "qt/kit/dialog_style.h"
#include "qt/support/main_window.h"
#include "qt/support/modal_watcher.h"
#include "sim/boot_loader_chip.h"
#include "sim/chip_tray.h"
#include "sim/virtual_port.h"
#include "support/idle_port.h"

namespace quillet {

using test_support::ModalWatcher;

namespace {

constexpr uint32_t kPart = 37;  // QLS32F: 32 KB APROM, CONFIG written in this mode
constexpr uint32_t kSnAddress = 0xFF0;

}  // namespace

class MainDialogComIspTest : public QObject {
  Q_OBJECT

 private:
  // The window over a GUI.LOG of ISP by COM Port with QLS32F, S/N programming at 0xFF0 from 100 and
  // the counter counting up from 0; an idle port listed first and the chip's port second; an APROM
  // image loaded once the COM port search has ended.
  struct Rig {
    template <typename MakeDevice>
    explicit Rig(MakeDevice make_device) {
      const QByteArray settings = QByteArray::fromHex(
          "02 2500 0000000000 ffff 01 f00f0000 00 0000000000000001 0000000000000100 01 00 00000000 0000 01");
      std::vector<uint8_t> bytes(settings.begin(), settings.end());
      bytes.resize(256);
      folder.WriteSettings(bytes);
      std::ofstream(folder.path() + "code.bin", std::ios::binary) << std::string(256, '\x5A');
      d = folder.Make();
      d->bench().ports().virtual_ports().Register("sim:idle",
                                                  [] { return std::make_unique<test_support::IdlePort>(); });
      device = make_device(sim::GeometryOf(d->catalogue().Row(kPart)));
      port = std::make_unique<sim::SimulatedPort>(d->bench().ports(), "sim:chip", *device, folder.clock());
      d->StartUp();
      d->show();
      WaitForOperation();
      AttachImageFile(d->images().aprom, folder.path() + "code.bin");
      d->RefreshControls();
    }
    void WaitForOperation() {
      QTRY_VERIFY_WITH_TIMEOUT(!d->runner().running(), 30000);
      d->runner().Join();
    }
    void PickChipPort() {
      auto* combo = d->ControlAs<QComboBox>(kIdComPortList);
      QCOMPARE(combo->itemText(1), QString("sim:chip"));
      combo->setCurrentIndex(1);
      emit combo->activated(1);
    }
    QString Text(int id) const { return d->ControlAs<QLineEdit>(id)->text(); }
    std::string RememberedPort() const {
      std::stringstream text;
      text << std::ifstream(folder.path() + kComPortFileName).rdbuf();
      return text.str();
    }

    test_support::MainWindowFolder folder;
    std::unique_ptr<MainDialog> d;
    std::unique_ptr<sim::SimDevice> device;
    std::unique_ptr<sim::SimulatedPort> port;
  };

  // The packed S/N the chip holds at the S/N address.
  static QByteArray ChipSn(const sim::BootLoaderChip& chip) {
    const std::vector<uint8_t> aprom = chip.Aprom();
    return QByteArray(reinterpret_cast<const char*>(aprom.data() + kSnAddress), 8).toHex();
  }

 private slots:
  void initTestCase() {
    QApplication::setStyle(new DialogStyle);
    qputenv(kSystemPortsVariable, "0");
    qunsetenv(kExtraPortsVariable);
  }

  void oneUpdateOnThePickedPort() {
    Rig rig([](const sim::BootChipGeometry& geometry) {
      return std::make_unique<sim::BootLoaderChip>(geometry, sim::BootChipOptions{.locked = true});
    });
    rig.PickChipPort();
    rig.d->ControlAs<QCheckBox>(kIdConfigCheck)->click();
    rig.d->job().ConfigBytes[7] = 0xFF;  // CONFIG0 as the editor leaves it with the lock released
    ModalWatcher watcher;
    rig.d->ControlAs<QPushButton>(kIdUpdateChip)->click();
    rig.WaitForOperation();

    QCOMPARE(watcher.Titles(), (QStringList{"WARNING", "PASS"}));
    QCOMPARE(watcher.seen()[0].text,
             "APROM will be erased because code protection is changed from \"Enable\" to \"Disable\" !");
    QCOMPARE(watcher.seen()[1].text,
             "Chip is successfully updated !\n\n( S/N='00000000,00000100' at address 0xFF0 )");
    QCOMPARE(rig.Text(kIdSnBox), "00000000,00000101");
    QCOMPARE(rig.Text(kIdCounterBox), "000,001");
    QCOMPARE(rig.d->ControlAs<QLabel>(kIdStatus)->text(), "Ready...");
    QCOMPARE(rig.RememberedPort(), "sim:chip");
    const auto& chip = static_cast<const sim::BootLoaderChip&>(*rig.device);
    QVERIFY(!chip.Locked() && chip.application_running());
    QCOMPARE(ChipSn(chip), "0000000000000100");
  }

  void productionRunStopsAfterTheChipInHand_data() {
    QTest::addColumn<int>("stop");
    QTest::newRow("P.M. box") << int(kIdPmCheck);
    QTest::newRow("Exit") << int(kIdExit);
  }

  void productionRunStopsAfterTheChipInHand() {
    QFETCH(int, stop);
    Rig rig([](const sim::BootChipGeometry& geometry) {
      return std::make_unique<sim::ChipTray>(geometry, sim::BootChipOptions{},
                                             sim::ChipTrayOptions{.keep_chips = true});
    });
    rig.PickChipPort();
    auto* pm = rig.d->ControlAs<QCheckBox>(kIdPmCheck);
    pm->click();
    QVERIFY(rig.d->job().ProductionMode);
    ModalWatcher watcher;
    watcher.SetAction([&](QWidget* window) {
      // The operator leaves P.M. while the second chip's PASS shows: the run ends after that chip.
      if (watcher.seen().size() == 2) rig.d->ControlAs<QAbstractButton>(stop)->click();
      qobject_cast<QDialog*>(window)->accept();
    });
    rig.d->ControlAs<QPushButton>(kIdUpdateChip)->click();
    QVERIFY(rig.d->runner().running());
    // While the run goes on, a click on another control is put back; the P.M. box stays open to it.
    rig.d->ControlAs<QCheckBox>(kIdConfigCheck)->click();
    QVERIFY(!rig.d->ControlAs<QCheckBox>(kIdConfigCheck)->isChecked() && pm->isEnabled());
    rig.WaitForOperation();

    QCOMPARE(watcher.Titles(), (QStringList{"PASS", "PASS"}));
    QVERIFY(rig.d->isVisible() && !pm->isChecked() && !rig.d->job().ProductionMode);
    QCOMPARE(rig.Text(kIdSnBox), "00000000,00000102");
    QCOMPARE(rig.Text(kIdCounterBox), "000,002");
    QCOMPARE(rig.d->ControlAs<QLabel>(kIdStatus)->text(), "Ready...");
    const auto& tray = static_cast<const sim::ChipTray&>(*rig.device);
    QCOMPARE(tray.chips_taken().size(), std::size_t(1));
    QCOMPARE(ChipSn(*tray.chips_taken()[0]), "0000000000000100");
    QCOMPARE(ChipSn(*tray.chip_in_hand()), "0000000000000101");
  }
};

}  // namespace quillet

QTEST_MAIN(quillet::MainDialogComIspTest)
#include "main_dialog_comisp_test.moc"
