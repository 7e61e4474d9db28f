// The main window: start-up with and without GUI.LOG, the ways out, the type switches, Gang,
// placeholders, the second copy, the system menu, the hot key and the layout.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <fstream>

#include "dialogs/advanced/advanced_layout.h"
#include "qt/main/main_dialog.h"
#include "dialogs/main/main_layout.h"
#include "core/storage/settings_record.h"
#include "qt/kit/dialog_style.h"
#include "qt/kit/tab_control_widget.h"
#include "qt/support/modal_watcher.h"

namespace quillet {

using test_support::ModalWatcher;

class MainDialogTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  VirtualClock clock_;

  std::string Folder() const { return dir_->path().toStdString() + "/"; }
  std::string LockPath() const { return Folder() + "instance.lock"; }
  std::string SettingsPath() const { return Folder() + "GUI.LOG"; }
  std::unique_ptr<MainDialog> Make() {
    return std::make_unique<MainDialog>(MainDialogOptions{Folder(), LockPath(), &clock_});
  }
  void WriteSettings(const std::vector<uint8_t>& bytes) {
    std::ofstream(SettingsPath(), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  std::vector<uint8_t> ReadSettings() const {
    std::ifstream in(SettingsPath(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  // A GUI.LOG of the given type and part, everything else zero, no port name.
  static std::vector<uint8_t> Record(uint8_t mode, uint16_t part) {
    std::vector<uint8_t> bytes(256, 0);
    bytes[0] = mode;
    bytes[1] = part & 0xFF;
    bytes[2] = part >> 8;
    return bytes;
  }
  static std::vector<std::string> ComboTexts(QComboBox* combo) {
    std::vector<std::string> texts;
    for (int i = 0; i < combo->count(); ++i) texts.push_back(combo->itemText(i).toStdString());
    return texts;
  }

 private slots:
  void initTestCase() { QApplication::setStyle(new DialogStyle); }
  void init() { dir_ = std::make_unique<QTemporaryDir>(); }

  void startsFromNoSettingsFileAndWritesItOnExit() {
    auto d = Make();
    QVERIFY(d->StartUp());
    d->show();
    QVERIFY(d->ControlAs<QRadioButton>(kIdIspRadio)->isChecked());
    QVERIFY(!d->ControlAs<QRadioButton>(kIdIcpRadio)->isChecked());
    auto* parts = d->ControlAs<QComboBox>(kIdPartList);
    QCOMPARE(parts->count(), 48);
    QCOMPARE(parts->currentIndex(), 2);
    QCOMPARE(parts->currentText(), QString::fromStdString(d->catalogue().PartName(2)));
    QCOMPARE(parts->itemText(40), QString("-"));
    QCOMPARE(d->ControlAs<QComboBox>(kIdCategoryList)->currentText(), QString("8051 Family"));
    QVERIFY(!d->ControlAs<QComboBox>(kIdCategoryList)->isEnabled());
    QCOMPARE(d->ControlAs<QLineEdit>(kIdComPortName)->text(), QString("ttyS0"));
    QVERIFY(d->ControlAs<QLineEdit>(kIdComPortName)->isHidden());
    QCOMPARE(d->ControlAs<QLabel>(kIdStatus)->text(), QString("Ready..."));
    QCOMPARE(d->ControlAs<QProgressBar>(kIdProgress)->maximum(), 100);
    QCOMPARE(d->ControlAs<QLabel>(kIdProgType)->text(), QString("Prog. Type"));
    QCOMPARE(d->ControlAs<QLineEdit>(kIdSnBox)->text(), QString("00000000,00000000"));
    QCOMPARE(d->ControlAs<QLineEdit>(kIdCounterBox)->text(), QString("000,000"));
    auto* tabs = d->ControlAs<TabControlWidget>(kIdBufferTabs);
    QCOMPARE(tabs->Count(), 1);
    QCOMPARE(tabs->TabText(0), QString("APROM Buffer"));
    for (int id : {kIdCancel, kIdFwUpdate, kIdDownloadUpdateIsp, kIdTestDump})
      QVERIFY(d->Control(id)->isHidden());

    d->ControlAs<QPushButton>(kIdExit)->click();
    QVERIFY(!d->isVisible());
    QCOMPARE(d->result(), int(QDialog::Accepted));
    const std::vector<uint8_t> file = ReadSettings();
    QCOMPARE(file.size(), std::size_t(256 + 10));
    QCOMPARE(file[0], uint8_t(0x00));
    QCOMPARE(file[1], uint8_t(0x02));
    QCOMPARE(file[23], uint8_t(0x01));  // increment 1, last BCD byte
    QCOMPARE(file[40], uint8_t(0xFF));  // Normal Protocol
    QCOMPARE(std::string(file.begin() + 256, file.end()), std::string("/dev/ttyS0"));
  }

  void startsFromASavedSettingsFile() {
    std::vector<uint8_t> bytes = Record(0x01, 905);
    bytes[10] = 0xFF;  // S/N programming
    const uint8_t sn[] = {0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x34, 0x56};
    std::copy(std::begin(sn), std::end(sn), bytes.begin() + 24);
    bytes[32] = 0xFF;  // chip counter
    bytes[34] = 0xD2;  // 1234
    bytes[35] = 0x04;
    const std::string port = "/dev/ttyUSB0";
    bytes.insert(bytes.end(), port.begin(), port.end());
    WriteSettings(bytes);

    auto d = Make();
    QVERIFY(d->StartUp());
    d->show();
    QVERIFY(d->ControlAs<QRadioButton>(kIdIcpRadio)->isChecked());
    QCOMPARE(d->ControlAs<QComboBox>(kIdCategoryList)->currentText(), QString("Velmari_Dune"));
    QCOMPARE(d->ControlAs<QComboBox>(kIdPartList)->currentIndex(), 5);
    QCOMPARE(d->ControlAs<QLineEdit>(kIdSnBox)->text(), QString("12345678,90123456"));
    QVERIFY(d->ControlAs<QLineEdit>(kIdSnBox)->isEnabled());
    QCOMPARE(d->ControlAs<QLineEdit>(kIdCounterBox)->text(), QString("001,234"));
    QVERIFY(d->ControlAs<QLineEdit>(kIdCounterBox)->isEnabled());
    QCOMPARE(d->ControlAs<QLineEdit>(kIdComPortName)->text(), QString("ttyUSB0"));
    QVERIFY(d->job().FastProtocol);  // byte 40 is zero
    QCOMPARE(d->ControlAs<QPushButton>(kIdVerifyChip)->text(), QString("Verify Chip"));

    QTest::keyClick(d.get(), Qt::Key_Escape);
    QVERIFY(!d->isVisible());
    const std::vector<uint8_t> file = ReadSettings();
    QCOMPARE(file.size(), std::size_t(256 + port.size()));
    QCOMPARE(file[1], uint8_t(0x89));
    QCOMPARE(file[2], uint8_t(0x03));
    QCOMPARE(file[8], uint8_t(0xFF));  // a limit of 0, 0 is read back as 0xFF, 0xFF
    QCOMPARE(file[9], uint8_t(0xFF));
    QCOMPARE(file[24], uint8_t(0x12));
    QCOMPARE(file[31], uint8_t(0x56));
  }

  void damagedSettingsFilesNeverStopStartUp_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("three bytes") << QByteArray(3, '\xFF');
    QTest::newRow("garbage") << QByteArray(300, '\xEE');
    QTest::newRow("long port name") << QByteArray(256, '\0') + QByteArray(40, 'x');
    QTest::newRow("other version") << QByteArray(256, '\x07') + QByteArray("COM3");
  }
  void damagedSettingsFilesNeverStopStartUp() {
    QFETCH(QByteArray, bytes);
    WriteSettings(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    auto d = Make();
    QVERIFY(d->StartUp());
    d->show();
    const int checked = d->ControlAs<QRadioButton>(kIdIspRadio)->isChecked() +
                        d->ControlAs<QRadioButton>(kIdIcpRadio)->isChecked() +
                        d->ControlAs<QRadioButton>(kIdComIspRadio)->isChecked();
    QCOMPARE(checked, 1);
    QVERIFY(d->job().PartCode < kPartCount);
    d->reject();
    JobSettings again;
    QVERIFY(LoadSettingsFile(SettingsPath(), again));
    QCOMPARE(again.PartCode, d->job().PartCode);
  }

  void typeSwitchesRememberPartCodes() {
    auto d = Make();
    QVERIFY(d->StartUp());
    d->show();
    auto* parts = d->ControlAs<QComboBox>(kIdPartList);
    parts->setCurrentIndex(5);
    QCOMPARE(d->job().PartCode, 5u);
    d->ControlAs<QRadioButton>(kIdIcpRadio)->click();
    QCOMPARE(d->job().PartCode, 110u);
    QVERIFY(d->ControlAs<QRadioButton>(kIdIcpRadio)->isChecked());
    QVERIFY(!d->ControlAs<QRadioButton>(kIdIspRadio)->isChecked());
    QCOMPARE(parts->count(), 34);
    QCOMPARE(parts->currentIndex(), 0);
    QCOMPARE(d->ControlAs<QPushButton>(kIdReadChip)->text(), QString("Read Chip"));
    parts->setCurrentIndex(5);
    QCOMPARE(d->job().PartCode, 115u);
    d->ControlAs<QRadioButton>(kIdIspRadio)->click();
    QCOMPARE(d->job().PartCode, 5u);
    QCOMPARE(parts->currentIndex(), 5);
    QCOMPARE(d->ControlAs<QPushButton>(kIdReadChip)->text(), QString("Read\nCONFIG"));
    d->ControlAs<QRadioButton>(kIdComIspRadio)->click();
    QCOMPARE(d->job().PartCode, 5u);
    QVERIFY(!d->ControlAs<QCheckBox>(kIdGangCheck)->isEnabled());
    QVERIFY(d->ControlAs<QCheckBox>(kIdPmCheck)->isEnabled());
    QVERIFY(parts->itemText(40) != QString("-"));
    QVERIFY(!d->ControlAs<QPushButton>(kIdVerifyChip)->isEnabled());
    d->ControlAs<QRadioButton>(kIdIcpRadio)->click();
    QCOMPARE(d->job().PartCode, 115u);
    // Clicking the radio of the type already chosen leaves it chosen.
    d->ControlAs<QRadioButton>(kIdIcpRadio)->click();
    QVERIFY(d->ControlAs<QRadioButton>(kIdIcpRadio)->isChecked());
  }

  void gangKeepsUncheckedItems() {
    WriteSettings(Record(0x01, 200));
    auto d = Make();
    d->hooks().images = [] { return ImagePresence{true, true, true}; };
    QVERIFY(d->StartUp());
    d->show();
    auto* data_flash = d->ControlAs<QCheckBox>(kIdDataFlashCheck);
    QVERIFY(data_flash->isChecked());
    data_flash->click();
    QVERIFY(!data_flash->isChecked());
    QVERIFY(!d->job().DataFlashSelected);
    d->ControlAs<QCheckBox>(kIdGangCheck)->click();
    QCOMPARE(int(d->job().ProgrammerMode), 0x41);
    QVERIFY(!data_flash->isChecked());
    QVERIFY(!d->job().DataFlashSelected);
    QVERIFY(d->ControlAs<QCheckBox>(kIdApromCheck)->isChecked());
    QVERIFY(d->ControlAs<QCheckBox>(kIdLdromCheck)->isChecked());
    QCOMPARE(d->ControlAs<QPushButton>(kIdUpdateChip)->text(), QString("Update Chips"));
    QCOMPARE(d->job().PartCode, 200u);
  }

  void placeholderBlocksEverything() {
    auto d = Make();
    d->hooks().images = [] { return ImagePresence{true, true, true}; };
    QVERIFY(d->StartUp());
    d->show();
    QVERIFY(d->ControlAs<QPushButton>(kIdUpdateChip)->isEnabled());
    d->ControlAs<QComboBox>(kIdPartList)->setCurrentIndex(18);
    QCOMPARE(d->ControlAs<QComboBox>(kIdPartList)->currentText(), QString("-"));
    for (int id : {kIdUpdateChip, kIdDownloadProgrammer, kIdVerifyChip, kIdReadChip, kIdConfigSetting,
                   kIdConfigCheck, kIdApromCheck, kIdDataFlashCheck, kIdLdromCheck}) {
      QVERIFY2(!d->Control(id)->isEnabled(), qPrintable(QString::number(id)));
    }
    QVERIFY(d->ControlAs<QPushButton>(kIdProgrammerInfo)->isEnabled());
    d->ControlAs<QComboBox>(kIdPartList)->setCurrentIndex(2);
    QVERIFY(d->ControlAs<QPushButton>(kIdUpdateChip)->isEnabled());
  }

  void secondCopyWarnsAndLeavesSettingsFileAlone() {
    WriteSettings(Record(0x01, 110));
    const std::vector<uint8_t> before = ReadSettings();
    InstanceLock first_copy(LockPath());
    QCOMPARE(first_copy.state(), InstanceLock::State::Held);
    ModalWatcher watcher;
    auto d = Make();
    QCOMPARE(d->Run(), int(QDialog::Rejected));
    QCOMPARE(watcher.Titles(), QStringList{"WARNING"});
    QCOMPARE(watcher.seen().front().text, QString("This application program is running now !"));
    QVERIFY(!d->isVisible());
    QCOMPARE(ReadSettings(), before);
  }

  void closingReleasesTheInstanceLock() {
    auto d = Make();
    QVERIFY(d->StartUp());
    QCOMPARE(InstanceLock(LockPath()).state(), InstanceLock::State::Taken);
    d->show();
    d->ControlAs<QPushButton>(kIdExit)->click();
    QCOMPARE(InstanceLock(LockPath()).state(), InstanceLock::State::Held);
  }

  void hotKeyOutsideTesselPartsShowsDebugBox() {
    auto d = Make();
    QVERIFY(d->StartUp());
    d->show();
    QApplication::setActiveWindow(d.get());
    QVERIFY(QTest::qWaitForWindowActive(d.get()));
    ModalWatcher watcher;
    QTest::keyClick(d.get(), Qt::Key_T, Qt::ControlModifier);
    QTRY_COMPARE(watcher.Titles(), QStringList{"<Debug>"});
    QCOMPARE(watcher.seen().front().text, QString("Not Tessel parts !"));
  }

  void hotKeyOnTesselPartStartsTheTrimRead() {
    WriteSettings(Record(0x01, 136));
    auto d = Make();
    std::atomic<int> reads = 0;
    d->hooks().trim_read = [&] { ++reads; };
    QVERIFY(d->StartUp());
    d->show();
    QApplication::setActiveWindow(d.get());
    QVERIFY(QTest::qWaitForWindowActive(d.get()));
    QTest::keyClick(d.get(), Qt::Key_T, Qt::ControlModifier);
    d->runner().Join();
    QCOMPARE(reads.load(), 1);
  }

  void systemMenuOpensAboutAndAdvancedFunctions() {
    auto d = Make();
    QVERIFY(d->StartUp());
    d->show();
    QStringList entries;
    for (QAction* action : d->system_menu()->actions()) {
      if (!action->isSeparator()) entries << action->text();
    }
    QCOMPARE(entries, (QStringList{"&About Quillet...", "&Advanced Functions..."}));

    ModalWatcher watcher;
    QString about_text;
    watcher.SetAction([&](QWidget* window) {
      for (QLabel* label : window->findChildren<QLabel*>()) {
        if (!label->text().isEmpty()) about_text = label->text();
      }
      static_cast<QDialog*>(window)->accept();
    });
    d->OnSysCommand(MainDialog::kCommandAbout);
    QCOMPARE(watcher.Titles(), QStringList{"About Quillet"});
    QCOMPARE(about_text, QString("Quillet, v7.10.001"));
  }

  void closingAdvancedFunctionsRefreshesTheMainWindow() {
    WriteSettings(Record(0x41, 200));
    auto d = Make();
    d->hooks().images = [] { return ImagePresence{true, false, false}; };
    QVERIFY(d->StartUp());
    d->show();
    QCOMPARE(d->ControlAs<QPushButton>(kIdUpdateChip)->text(), QString("Update Chips"));
    ModalWatcher watcher;
    watcher.SetAction([](QWidget* window) {
      window->findChild<QRadioButton*>(ControlObjectName(kIdGangVerifyOnly))->click();
      window->findChild<QRadioButton*>(ControlObjectName(kIdCounterEnable))->click();
      static_cast<QDialog*>(window)->accept();
    });
    d->OnSysCommand(MainDialog::kCommandAdvanced | 0x3);  // the low bits of a command are ignored
    QCOMPARE(watcher.Titles(), QStringList{"Advanced Functions"});
    QVERIFY(d->job().GangVerifyOnly);
    QCOMPARE(d->ControlAs<QGroupBox>(kIdItemsGroup)->title(), QString("Items to be Verified"));
    QCOMPARE(d->ControlAs<QPushButton>(kIdUpdateChip)->text(), QString("Verify Chips"));
    QVERIFY(!d->ControlAs<QPushButton>(kIdVerifyChip)->isEnabled());
    QVERIFY(!d->ControlAs<QPushButton>(kIdReadChip)->isEnabled());
    QVERIFY(d->ControlAs<QLineEdit>(kIdCounterBox)->isEnabled());
  }

  void controlsSitWhereTheTemplatePutsThem() {
    auto d = Make();
    const DialogBaseUnits base = d->base_units();
    QCOMPARE(d->font().family(), QString("Liberation Sans"));
    QCOMPARE(d->size(), QSize(MapDialogX(311, base), MapDialogY(327, base)));
    for (const ControlTemplate& control : MainDialogTemplate().controls) {
      if (control.id == kNoId) continue;
      QWidget* widget = d->findChild<QWidget*>(ControlObjectName(control.id));
      QVERIFY2(widget == d->Control(control.id), qPrintable(QString::number(control.id)));
      const PixelRect r = MapDialogRect(control.rect, base);
      QCOMPARE(widget->pos(), QPoint(r.x, r.y));
      QCOMPARE(widget->width(), r.width);
      if (control.kind != ControlKind::DropDownList) QCOMPARE(widget->height(), r.height);
    }
  }
};

}  // namespace quillet

QTEST_MAIN(quillet::MainDialogTest)
#include "main_dialog_test.moc"
