// The Advanced Functions window: typing into its fields, the "ERROR" boxes, what the fields show,
// and which groups the programmer type and Gang enable.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "qt/advanced/advanced_dialog.h"
#include "dialogs/advanced/advanced_layout.h"
#include "qt/kit/dialog_style.h"
#include "qt/support/modal_watcher.h"

namespace quillet {

using test_support::ModalWatcher;

class AdvancedDialogTest : public QObject {
  Q_OBJECT

 private:
  static JobSettings Job(uint8_t mode) {
    JobSettings job;
    job.ProgrammerMode = mode;
    DeriveModeFlags(job);
    job.UsageLimitEnabled = true;
    job.UsageLimit = {0x04, 0xD2};
    job.SnProgrammingEnabled = true;
    job.SnAddress = 0x100;
    return job;
  }
  static QLineEdit* Edit(AdvancedDialog& d, int id) { return d.ControlAs<QLineEdit>(id); }
  // Empties the field and types `keys` one by one, as the operator would.
  static void Type(AdvancedDialog& d, int id, const QString& keys) {
    Edit(d, id)->setFocus();
    Edit(d, id)->selectAll();
    QTest::keyClick(Edit(d, id), Qt::Key_Delete);
    QTest::keyClicks(Edit(d, id), keys);
  }

 private slots:
  void initTestCase() { QApplication::setStyle(new DialogStyle); }

  void usageAboveTheRangeShowsTheErrorAndThePreviousLimit() {
    JobSettings job = Job(0x01);
    AdvancedDialog d(job, nullptr);
    d.show();
    QCOMPARE(Edit(d, kIdUsageEdit)->text(), QString("1234"));
    QCOMPARE(Edit(d, kIdUsageEdit)->maxLength(), 5);
    ModalWatcher watcher;
    Type(d, kIdUsageEdit, "60001");
    QCOMPARE(watcher.Titles(), QStringList{"ERROR"});
    QCOMPARE(watcher.seen().front().text, QString("Usage Times should be 1 ~ 60000 !"));
    QCOMPARE(Edit(d, kIdUsageEdit)->text(), QString("6000"));
    QCOMPARE(UsageLimitForDisplay(job.UsageLimit), 6000u);
    Type(d, kIdUsageEdit, "");
    QCOMPARE(job.UsageLimit, (UsageLimitBytes{0, 1}));
    QCOMPARE(watcher.seen().size(), 1);
  }

  void addressIsClampedOrRefused() {
    JobSettings job = Job(0x02);
    AdvancedDialog d(job, nullptr);
    d.show();
    QCOMPARE(Edit(d, kIdSnEndEdit)->text(), QString("107"));
    ModalWatcher watcher;
    Type(d, kIdSnAddressEdit, "1fff9");
    QCOMPARE(watcher.seen().back().text,
             QString("SerialNumber starting address should be 0x00000 ~ 0x1FFF8 !"));
    QCOMPARE(job.SnAddress, 0x1FFF8u);
    QCOMPARE(Edit(d, kIdSnAddressEdit)->text(), QString("1FFF8"));
    QCOMPARE(Edit(d, kIdSnEndEdit)->text(), QString("1FFFF"));
    Type(d, kIdSnAddressEdit, "12g");
    QCOMPARE(watcher.seen().back().text, QString("12g is not a hexadecimal number !"));
    QCOMPARE(watcher.seen().back().title, QString("ERROR"));
    QCOMPARE(job.SnAddress, 0x12u);
    QCOMPARE(Edit(d, kIdSnAddressEdit)->text(), QString("12"));
    QCOMPARE(Edit(d, kIdSnEndEdit)->text(), QString("19"));
  }

  void serialNumberOfNineDigitsShowsInFullWhenReopened() {
    JobSettings job = Job(0x01);
    {
      AdvancedDialog d(job, nullptr);
      d.show();
      Type(d, kIdSnValueEdit, "123456789");
      Type(d, kIdIncrementEdit, "100000002");
      d.ControlAs<QPushButton>(kIdAdvOk)->click();
    }
    QCOMPARE(job.SnValue, (SplitDecimal{1, 23456789}));
    QCOMPARE(job.SnIncrement, (SplitDecimal{1, 2}));
    AdvancedDialog again(job, nullptr);
    QCOMPARE(Edit(again, kIdSnValueEdit)->text(), QString("0000000123456789"));
    QCOMPARE(Edit(again, kIdIncrementEdit)->text(), QString("100000002"));
  }

  void counterAndItsDirection() {
    JobSettings job = Job(0x01);
    job.ChipCounter = 42;
    AdvancedDialog d(job, nullptr);
    d.show();
    QCOMPARE(Edit(d, kIdCounterEdit)->text(), QString("000042"));
    QVERIFY(!Edit(d, kIdCounterEdit)->isEnabled());
    d.ControlAs<QRadioButton>(kIdCounterEnable)->click();
    QVERIFY(job.ChipCounterEnabled);
    QVERIFY(Edit(d, kIdCounterEdit)->isEnabled());
    QVERIFY(d.ControlAs<QRadioButton>(kIdCounterEnable)->isChecked());
    QVERIFY(!d.ControlAs<QRadioButton>(kIdCounterDisable)->isChecked());
    auto* direction = d.ControlAs<QPushButton>(kIdCountDirection);
    direction->click();
    QCOMPARE(direction->text(), QString("Count Down"));
    QVERIFY(job.CountDown);
    ModalWatcher watcher;
    Type(d, kIdCounterEdit, "12x");
    QCOMPARE(watcher.seen().back().text, QString("12x is not a decimal number !"));
    QCOMPARE(Edit(d, kIdCounterEdit)->text(), QString("000012"));
    QCOMPARE(job.ChipCounter, 12u);
  }

  void groupsFollowTheTypeAndGang() {
    JobSettings isp = Job(0x00);
    AdvancedDialog d(isp, nullptr);
    for (int id : {kIdSnGroup, kIdSnEnable, kIdSnValueEdit, kIdSnAddressEdit, kIdProtocolGroup,
                   kIdFastProtocol, kIdGangGroup, kIdGangVerifyOnly}) {
      QVERIFY2(!d.Control(id)->isEnabled(), qPrintable(QString::number(id)));
    }
    QVERIFY(d.Control(kIdUsageEnable)->isEnabled());
    QVERIFY(d.Control(kIdCounterSpin)->isHidden());

    JobSettings gang = Job(0x41);
    AdvancedDialog g(gang, nullptr);
    QVERIFY(g.Control(kIdGangVerifyOnly)->isEnabled());
    QVERIFY(!g.Control(kIdUsageEnable)->isEnabled());
    QVERIFY(g.Control(kIdSnValueEdit)->isEnabled());
    QVERIFY(!g.Control(kIdFastProtocol)->isEnabled());
  }
};

}  // namespace quillet

QTEST_MAIN(quillet::AdvancedDialogTest)
#include "advanced_dialog_test.moc"
