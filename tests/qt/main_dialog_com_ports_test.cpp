// The main window's COM port search: at start-up in ISP by COM Port it fills the COM port list
// (1108) on a worker, selected as GUI_ComPortISP.LOG says; the operator's pick stays; leaving the
// type empties the list and forgets the remembered port.
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <fstream>

#include "core/comisp/com_port_memory.h"
#include "qt/kit/dialog_style.h"
#include "qt/support/main_window.h"
#include "support/idle_port.h"

namespace quillet {

class MainDialogComPortsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QApplication::setStyle(new DialogStyle);
    qputenv(kSystemPortsVariable, "0");
    qunsetenv(kExtraPortsVariable);
  }

  void theSearchFillsTheComPortList() {
    test_support::MainWindowFolder folder;
    folder.WriteSettings(0x02, 2);
    std::ofstream(folder.path() + kComPortFileName) << "/dev/ttyS1";
    auto d = folder.Make();
    for (const char* name : {"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyUSB0"})
      d->bench().ports().virtual_ports().Register(name,
                                                  [] { return std::make_unique<test_support::IdlePort>(); });
    d->StartUp();
    QTRY_VERIFY_WITH_TIMEOUT(!d->runner().running(), 10000);
    auto* combo = d->ControlAs<QComboBox>(kIdComPortList);
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i) entries << combo->itemText(i);
    QCOMPARE(entries, (QStringList{"ttyS0", "ttyS1", "ttyUSB0"}));
    QCOMPARE(combo->currentIndex(), 1);
    QCOMPARE(d->ControlAs<QLineEdit>(kIdComPortName)->text(), QString("ttyS1"));
    QVERIFY2(test_support::StateMismatch(*d).isEmpty(), qPrintable(test_support::StateMismatch(*d)));

    combo->setCurrentIndex(2);
    emit combo->activated(2);
    QCOMPARE(combo->currentIndex(), 2);
    d->ControlAs<QRadioButton>(kIdIspRadio)->click();
    QCOMPARE(combo->count(), 0);
    QCOMPARE(d->job().PortName(), std::string());  // the remembered port is not the Programmer's
  }
};

}  // namespace quillet

QTEST_MAIN(quillet::MainDialogComPortsTest)
#include "main_dialog_com_ports_test.moc"
