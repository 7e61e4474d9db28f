// The main window as the Programmer link's display, with a simulated Programmer on an in-process
// port in virtual time: the hidden "FwUpdate" button reflashes it on a worker and the port and
// "Prog. Type" fields show what the link found; a missing firmware file closes the window.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "qt/main/main_dialog.h"
#include "dialogs/main/main_layout.h"
#include "qt/kit/dialog_style.h"
#include "sim/firmware_image.h"
#include "sim/programmer_model.h"
#include "sim/virtual_port.h"
#include "qt/support/modal_watcher.h"

namespace quillet {

using test_support::ModalWatcher;

class MainDialogLinkTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  VirtualClock clock_;

  std::string Folder() const { return dir_->path().toStdString() + "/"; }
  // A started window over a GUI.LOG of this type and part, its firmware files at version 0x0710,
  // the Programmer remembered on "sim:1".
  std::unique_ptr<MainDialog> Make(uint8_t mode, uint16_t part) {
    std::vector<char> record(256, 0);
    record[0] = static_cast<char>(mode);
    record[1] = static_cast<char>(part & 0xFF);
    record[2] = static_cast<char>(part >> 8);
    std::ofstream(Folder() + "GUI.LOG", std::ios::binary).write(record.data(), record.size());
    if (!sim::WriteFirmwareSet(Folder(), 0x0710, 600, 4096)) return nullptr;
    auto d = std::make_unique<MainDialog>(MainDialogOptions{Folder(), Folder() + "lock", &clock_});
    d->StartUp();
    d->show();
    d->job().SetPortName("sim:1");
    return d;
  }
  // The hidden button stays disabled, so it is clicked the way automation does: by its signal.
  static void ClickFwUpdate(MainDialog& d) {
    auto* button = d.ControlAs<QPushButton>(kIdFwUpdate);
    QVERIFY(button->isHidden());
    QVERIFY(!button->isEnabled());
    emit button->clicked();
  }

 private slots:
  void initTestCase() {
    QApplication::setStyle(new DialogStyle);
    qputenv(kSystemPortsVariable, "0");
    qunsetenv(kExtraPortsVariable);
  }
  void init() { dir_ = std::make_unique<QTemporaryDir>(); }

  void fwUpdateReflashesTheProgrammerAndShowsWhatTheLinkFound() {
    struct {
      uint8_t mode;
      uint16_t part;
      uint8_t type_code;
      const char* type_word;
    } const cases[] = {{0x00, 2, 0xA5, "ISP_only"}, {0x02, 110, 0xAB, "ICP"}};
    for (const auto& c : cases) {
      auto d = Make(c.mode, c.part);
      QVERIFY(d);
      sim::ProgrammerModel device(c.type_code, 0x0700);
      sim::SimulatedPort port(d->bench().ports(), "sim:1", device, clock_);
      QCOMPARE(d->ControlAs<QLabel>(kIdProgType)->text(), QString("Prog. Type"));
      QVERIFY(d->ControlAs<QLineEdit>(kIdComPortName)->text() != QString("sim:1"));
      ModalWatcher watcher;

      ClickFwUpdate(*d);
      QTRY_VERIFY_WITH_TIMEOUT(!d->runner().running(), 30000);
      d->runner().Join();

      QCOMPARE(device.transfers(), 1);
      QCOMPARE(int(device.version()), 0x0710);
      QCOMPARE(int(sim::ReadFirmwareIdentity(device.last_image())->type_code), int(c.type_code));
      QCOMPARE(watcher.Titles(), QStringList{"PASS"});
      QCOMPARE(watcher.seen().front().text, QString("Programmer's firmware is successfully updated !"));
      QCOMPARE(d->ControlAs<QLabel>(kIdProgType)->text(), QString(c.type_word));
      QCOMPARE(d->ControlAs<QLineEdit>(kIdComPortName)->text(), QString("sim:1"));
      QVERIFY(d->isVisible());
    }
  }

  void missingFirmwareFileClosesTheWindowFromTheWorker() {
    auto d = Make(0x02, 110);
    QVERIFY(d);
    sim::ProgrammerModel device(0xAB, 0x0710);
    sim::SimulatedPort port(d->bench().ports(), "sim:1", device, clock_);
    for (const auto& entry : std::filesystem::directory_iterator(Folder())) {
      if (entry.path().extension() == ".DAT") std::filesystem::remove(entry.path());
    }
    std::filesystem::remove(Folder() + "GUI.LOG");
    ModalWatcher watcher;

    ClickFwUpdate(*d);
    QTRY_VERIFY_WITH_TIMEOUT(!d->runner().running(), 30000);
    d->runner().Join();

    QCOMPARE(watcher.Titles(), QStringList{"FAIL"});
    QVERIFY(watcher.seen().front().text.endsWith(" cannot be opened !"));
    QVERIFY(!d->isVisible());
    QVERIFY(std::filesystem::exists(Folder() + "GUI.LOG"));
    QCOMPARE(device.transfers(), 0);
  }
};

}  // namespace quillet

QTEST_MAIN(quillet::MainDialogLinkTest)
#include "main_dialog_link_test.moc"
