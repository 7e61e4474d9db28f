// The main window's widgets: each control that changes a setting is wired to its handler, every
// widget shows what the window logic computed, start-up and the ways out write GUI.LOG, the second
// copy, the system menu, the hot key and the layout.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <atomic>
#include <functional>

#include "core/storage/settings_record.h"
#include "dialogs/advanced/advanced_layout.h"
#include "qt/kit/dialog_style.h"
#include "qt/support/main_window.h"
#include "qt/support/modal_watcher.h"

namespace quillet {

using test_support::ModalWatcher;
using test_support::StateMismatch;

namespace {

constexpr ImagePresence kAll{true, true, true};

// A control that changes a setting: the window it starts in, what the operator does to the widget,
// and what must have changed in the settings or the window logic.
struct Wiring {
  const char* control;
  uint8_t mode;
  uint16_t part;
  std::function<void(MainDialog&)> act;
  std::function<bool(MainDialog&)> changed;
};

template <typename Widget>
std::function<void(MainDialog&)> Click(int id) {
  return [id](MainDialog& d) { d.ControlAs<Widget>(id)->click(); };
}
std::function<void(MainDialog&)> Select(int id, int index) {
  return [id, index](MainDialog& d) { d.ControlAs<QComboBox>(id)->setCurrentIndex(index); };
}

// The S/N and Chip Counter boxes are read-only: they show the settings, which StateMismatch checks.
const Wiring kWirings[] = {
    {"ISP radio", 0x01, 110, Click<QRadioButton>(kIdIspRadio),
     [](MainDialog& d) { return d.job().Type() == kTypeIsp; }},
    {"ICP radio", 0x00, 2, Click<QRadioButton>(kIdIcpRadio),
     [](MainDialog& d) { return d.job().Type() == kTypeIcp; }},
    {"COM port radio", 0x00, 2, Click<QRadioButton>(kIdComIspRadio),
     [](MainDialog& d) { return d.job().Type() == kTypeComIsp; }},
    {"Gang box", 0x01, 200, Click<QCheckBox>(kIdGangCheck),
     [](MainDialog& d) { return bool(d.job().GangMode); }},
    {"P.M. box", 0x02, 2, Click<QCheckBox>(kIdPmCheck),
     [](MainDialog& d) { return bool(d.job().ProductionMode); }},
    {"APROM box", 0x01, 200, Click<QCheckBox>(kIdApromCheck),
     [](MainDialog& d) { return !d.job().ApromSelected; }},
    {"DataFlash box", 0x01, 200, Click<QCheckBox>(kIdDataFlashCheck),
     [](MainDialog& d) { return !d.job().DataFlashSelected; }},
    {"LDROM box", 0x01, 200, Click<QCheckBox>(kIdLdromCheck),
     [](MainDialog& d) { return !d.job().LdromSelected; }},
    {"CONFIG box", 0x01, 200, Click<QCheckBox>(kIdConfigCheck),
     [](MainDialog& d) { return !d.job().ConfigSelected; }},
    {"category list", 0x01, 200, Select(kIdCategoryList, 2),
     [](MainDialog& d) { return d.job().PartCode == 800; }},
    {"part list", 0x00, 2, Select(kIdPartList, 5), [](MainDialog& d) { return d.job().PartCode == 5; }},
    {"buffer tabs", 0x01, 200,
     [](MainDialog& d) { d.ControlAs<TabControlWidget>(kIdBufferTabs)->ClickTab(1); },
     [](MainDialog& d) { return d.controls().tab_index() == 1; }},
};

}  // namespace

class MainDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QApplication::setStyle(new DialogStyle); }

  void everySettingControlIsWired() {
    for (const Wiring& w : kWirings) {
      test_support::MainWindowFolder folder;
      folder.WriteSettings(w.mode, w.part);
      auto d = folder.Start(kAll);
      QVERIFY2(!w.changed(*d), w.control);
      w.act(*d);
      QVERIFY2(w.changed(*d), w.control);
      QVERIFY2(StateMismatch(*d).isEmpty(), qPrintable(QString(w.control) + ": " + StateMismatch(*d)));
    }
  }

  // In ICP the category list is there to use: choosing Velmari_Arden lists its Cortex-M0 parts.
  void categoryListReachesCortexPartsInIcp() {
    test_support::MainWindowFolder folder;
    folder.WriteSettings(0x01, 110);
    auto d = folder.Start();
    auto* categories = d->ControlAs<QComboBox>(kIdCategoryList);
    QVERIFY(categories->isEnabled());
    categories->setCurrentIndex(categories->findText("Velmari_Arden"));
    QCOMPARE(d->job().PartCode, 200u);
    auto* parts = d->ControlAs<QComboBox>(kIdPartList);
    QCOMPARE(parts->currentText(), QString("QVAB032LB"));
    QCOMPARE(parts->count(), 150);
    d->ControlAs<QRadioButton>(kIdIspRadio)->click();
    QVERIFY(!categories->isEnabled());
  }

  // A disabled operation button says why; an enabled one says nothing.
  void disabledButtonsSayWhy() {
    const struct {
      uint8_t mode;
      uint16_t part;
      ImagePresence images;
      int id;
      const char* tip;
    } cases[] = {
        {0x00, 2, {}, kIdUpdateChip, "Load a file and check APROM first"},
        {0x01, 200, {}, kIdVerifyChip, "Load a file and check APROM, DataFlash or LDROM first"},
        {0x02, 2, kAll, kIdDownloadProgrammer, "Not used with ISP by COM Port"},
        {0x00, 18, kAll, kIdUpdateChip, "\"-\" is not a part: choose a part from the list"},
        {0x00, 2, kAll, kIdReadChip, "Reads CONFIG only of the 8051 parts whose CONFIG is written in ISP"},
        {0x00, 2, kAll, kIdUpdateChip, ""},
    };
    for (const auto& c : cases) {
      test_support::MainWindowFolder folder;
      folder.WriteSettings(c.mode, c.part);
      auto d = folder.Start(c.images);
      QCOMPARE(d->Control(c.id)->toolTip(), QString(c.tip));
    }
  }

  // Buttons whose handlers other subsystems install; the hidden ones are clicked by their signal.
  void everyHookedButtonCallsItsHandler() {
    test_support::MainWindowFolder folder;
    folder.WriteSettings(0x01, 200);
    auto d = folder.Start(kAll);
    std::vector<int> called;
    int editors = 0;
    const int ids[] = {kIdLoadFile,       kIdLoadProject,      kIdSaveProject, kIdDownloadProgrammer,
                       kIdProgrammerInfo, kIdUpdateChip,       kIdVerifyChip,  kIdReadChip,
                       kIdFwUpdate,       kIdDownloadUpdateIsp};
    for (int id : ids) d->hooks().buttons[id] = [&called, id] { called.push_back(id); };
    d->hooks().open_config_editor = [&](ConfigDialog) { ++editors; };
    for (int id : ids) emit d->ControlAs<QPushButton>(id)->clicked();
    d->ControlAs<QPushButton>(kIdConfigSetting)->click();
    QCOMPARE(called, std::vector<int>(std::begin(ids), std::end(ids)));
    QCOMPARE(editors, 1);
  }

  void startsWithoutSettingsAndExitWritesThem() {
    test_support::MainWindowFolder folder;
    auto d = folder.Start();
    QVERIFY(d->ControlAs<QRadioButton>(kIdIspRadio)->isChecked());
    QCOMPARE(d->ControlAs<QComboBox>(kIdPartList)->currentIndex(), 2);
    QCOMPARE(d->ControlAs<QLabel>(kIdStatus)->text(), QString("Ready..."));
    QVERIFY2(StateMismatch(*d).isEmpty(), qPrintable(StateMismatch(*d)));
    d->ControlAs<QPushButton>(kIdExit)->click();
    QVERIFY(!d->isVisible());
    QCOMPARE(d->result(), int(QDialog::Accepted));
    QCOMPARE(folder.ReadSettings(), EncodeSettingsRecord(d->job()));
    QCOMPARE(folder.ReadSettings().size(), std::size_t(256 + 10));  // "/dev/ttyS0"
  }

  void startsFromSavedSettingsAndEscapeWritesThem() {
    test_support::MainWindowFolder folder;
    JobSettings saved;
    saved.ProgrammerMode = 0x01;
    saved.PartCode = 905;
    saved.SnProgrammingEnabled = saved.ChipCounterEnabled = true;
    saved.SnValue = {12345678, 90123456};
    saved.ChipCounter = 1234;
    saved.UsageLimit = {0xFF, 0xFF};
    saved.SetPortName("/dev/ttyUSB0");
    folder.WriteSettings(EncodeSettingsRecord(saved));
    auto d = folder.Start();
    QVERIFY(d->ControlAs<QRadioButton>(kIdIcpRadio)->isChecked());
    QCOMPARE(d->ControlAs<QComboBox>(kIdCategoryList)->currentText(), QString("Velmari_Dune"));
    QCOMPARE(d->ControlAs<QLineEdit>(kIdSnBox)->text(), QString("12345678,90123456"));
    QCOMPARE(d->ControlAs<QLineEdit>(kIdCounterBox)->text(), QString("001,234"));
    QCOMPARE(d->ControlAs<QLineEdit>(kIdComPortName)->text(), QString("ttyUSB0"));
    QVERIFY2(StateMismatch(*d).isEmpty(), qPrintable(StateMismatch(*d)));
    QTest::keyClick(d.get(), Qt::Key_Escape);
    QVERIFY(!d->isVisible());
    QCOMPARE(folder.ReadSettings(), EncodeSettingsRecord(saved));
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
    test_support::MainWindowFolder folder;
    folder.WriteSettings(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    auto d = folder.Start();
    QVERIFY(d->job().PartCode < kPartCount);
    QVERIFY2(StateMismatch(*d).isEmpty(), qPrintable(StateMismatch(*d)));
    d->reject();
    QCOMPARE(folder.ReadSettings(), EncodeSettingsRecord(d->job()));
  }

  void secondCopyWarnsAndLeavesTheSettingsAlone() {
    test_support::MainWindowFolder folder;
    folder.WriteSettings(0x01, 110);
    InstanceLock first_copy(folder.path() + "instance.lock");
    QCOMPARE(first_copy.state(), InstanceLock::State::Held);
    ModalWatcher watcher;
    auto d = folder.Make();
    QCOMPARE(d->Run(), int(QDialog::Rejected));
    QCOMPARE(watcher.Titles(), QStringList{"WARNING"});
    QCOMPARE(watcher.seen().front().text, QString("This application program is running now !"));
    QCOMPARE(folder.ReadSettings().size(), std::size_t(256));
  }

  void closingReleasesTheInstanceLock() {
    test_support::MainWindowFolder folder;
    auto d = folder.Start();
    QCOMPARE(InstanceLock(folder.path() + "instance.lock").state(), InstanceLock::State::Taken);
    d->ControlAs<QPushButton>(kIdExit)->click();
    QCOMPARE(InstanceLock(folder.path() + "instance.lock").state(), InstanceLock::State::Held);
  }

  void hotKeyStartsTheTrimReadOnTesselPartsOnly() {
    for (const uint16_t part : {2, 136}) {
      test_support::MainWindowFolder folder;
      folder.WriteSettings(0x01, part);
      auto d = folder.Make();
      std::atomic<int> reads = 0;
      d->hooks().trim_read = [&] { ++reads; };
      d->StartUp();
      d->show();
      QApplication::setActiveWindow(d.get());
      QVERIFY(QTest::qWaitForWindowActive(d.get()));
      ModalWatcher watcher;
      QTest::keyClick(d.get(), Qt::Key_T, Qt::ControlModifier);
      d->runner().Join();
      if (part == 2) QTRY_COMPARE(watcher.Titles(), QStringList{"<Debug>"});
      QCOMPARE(reads.load(), part == 136 ? 1 : 0);
    }
  }

  void systemMenuOpensAboutAndAdvancedFunctions() {
    test_support::MainWindowFolder folder;
    folder.WriteSettings(0x41, 200);
    auto d = folder.Start({true, false, false});
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
    QCOMPARE(about_text, QString("Quillet, v7.10.001"));
    // Closing Advanced Functions refreshes the main window.
    watcher.SetAction([](QWidget* window) {
      window->findChild<QRadioButton*>(ControlObjectName(kIdGangVerifyOnly))->click();
      window->findChild<QRadioButton*>(ControlObjectName(kIdCounterEnable))->click();
      static_cast<QDialog*>(window)->accept();
    });
    d->OnSysCommand(MainDialog::kCommandAdvanced | 0x3);  // the low bits of a command are ignored
    QCOMPARE(watcher.Titles(), (QStringList{"About Quillet", "Advanced Functions"}));
    QVERIFY(d->job().GangVerifyOnly);
    QCOMPARE(d->ControlAs<QPushButton>(kIdUpdateChip)->text(), QString("Verify Chips"));
    QVERIFY(d->ControlAs<QLineEdit>(kIdCounterBox)->isEnabled());
    QVERIFY2(StateMismatch(*d).isEmpty(), qPrintable(StateMismatch(*d)));
  }

  void controlsSitWhereTheTemplatePutsThem() {
    test_support::MainWindowFolder folder;
    auto d = folder.Make();
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
