// The COM port search of the main window: at start-up and on the ISP by COM Port radio it fills the
// COM port list (1108) on a worker, selected as GUI_ComPortISP.LOG says, and the operator's pick
// stays; leaving the type empties the list and forgets the remembered port.
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <fstream>
#include <iterator>

#include "core/comisp/com_port_memory.h"
#include "qt/kit/dialog_style.h"
#include "qt/support/main_window.h"
#include "support/idle_port.h"

namespace quillet {

class MainDialogComPortsTest : public QObject {
  Q_OBJECT

 private:
  // Made over three idle ports and started; returns once the search has ended.
  std::unique_ptr<MainDialog> Start(test_support::MainWindowFolder& folder) {
    auto d = folder.Make();
    d->hooks().images = [] { return ImagePresence{true, false, false}; };
    for (const char* name : {"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyUSB0"}) {
      d->bench().ports().virtual_ports().Register(name,
                                                  [] { return std::make_unique<test_support::IdlePort>(); });
    }
    d->StartUp();
    d->show();
    WaitForSearch(*d);
    return d;
  }
  void WaitForSearch(MainDialog& d) {
    QTRY_VERIFY_WITH_TIMEOUT(!d.runner().running(), 10000);
    d.runner().Join();
  }
  static QStringList Entries(MainDialog& d) {
    QStringList entries;
    auto* combo = d.ControlAs<QComboBox>(kIdComPortList);
    for (int i = 0; i < combo->count(); ++i) entries << combo->itemText(i);
    return entries;
  }

 private slots:
  void initTestCase() {
    QApplication::setStyle(new DialogStyle);
    qputenv(kSystemPortsVariable, "0");
    qunsetenv(kExtraPortsVariable);
  }

  void startUpSearchSelectsTheRememberedPortAndKeepsThePick() {
    test_support::MainWindowFolder folder;
    folder.WriteSettings(0x02, 2);
    std::ofstream(folder.path() + kComPortFileName) << "/dev/ttyS1";
    auto d = Start(folder);
    auto* combo = d->ControlAs<QComboBox>(kIdComPortList);
    QCOMPARE(Entries(*d), (QStringList{"ttyS0", "ttyS1", "ttyUSB0"}));
    QCOMPARE(combo->currentIndex(), 1);
    QVERIFY(combo->isEnabled());
    QCOMPARE(d->ControlAs<QLineEdit>(kIdComPortName)->text(), QString("ttyS1"));
    QVERIFY2(test_support::StateMismatch(*d).isEmpty(), qPrintable(test_support::StateMismatch(*d)));

    combo->setCurrentIndex(2);
    emit combo->activated(2);
    QCOMPARE(d->controls().com_port_list().selected.value_or(-1), 2);
    QCOMPARE(combo->currentIndex(), 2);

    d->ControlAs<QRadioButton>(kIdIspRadio)->click();
    QCOMPARE(combo->count(), 0);
    QVERIFY(!combo->isEnabled());
    QCOMPARE(d->job().PortName(), std::string());  // the remembered port is not the Programmer's
  }

  void choosingTheTypeWithoutAFileSelectsTheUsbPortAndWritesItDown() {
    test_support::MainWindowFolder folder;
    folder.WriteSettings(0x00, 2);
    auto d = Start(folder);
    QCOMPARE(Entries(*d), QStringList{});
    d->ControlAs<QRadioButton>(kIdComIspRadio)->click();
    WaitForSearch(*d);
    QCOMPARE(Entries(*d), (QStringList{"ttyS0", "ttyS1", "ttyUSB0"}));
    QCOMPARE(d->ControlAs<QComboBox>(kIdComPortList)->currentIndex(), 2);
    std::ifstream in(folder.path() + kComPortFileName, std::ios::binary);
    QCOMPARE(std::string(std::istreambuf_iterator<char>(in), {}), std::string("/dev/ttyUSB0"));
    QVERIFY2(test_support::StateMismatch(*d).isEmpty(), qPrintable(test_support::StateMismatch(*d)));
  }
};

}  // namespace quillet

QTEST_MAIN(quillet::MainDialogComPortsTest)
#include "main_dialog_com_ports_test.moc"
