// The Advanced Functions window's widgets: every radio, the count button and every field is wired
// to the dialog logic, and a refused text shows the "ERROR" box and puts the field back.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <functional>

#include "dialogs/advanced/advanced_layout.h"
#include "qt/advanced/advanced_dialog.h"
#include "qt/kit/dialog_style.h"
#include "qt/support/modal_watcher.h"

namespace quillet {

using test_support::ModalWatcher;

class AdvancedDialogTest : public QObject {
  Q_OBJECT

 private:
  // Empties the field and types `keys` one by one, as the operator would.
  static void Type(AdvancedDialog& d, int id, const QString& keys) {
    auto* edit = d.ControlAs<QLineEdit>(id);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, keys);
  }

 private slots:
  void initTestCase() { QApplication::setStyle(new DialogStyle); }

  void everyControlIsWired() {
    const struct {
      int id;
      const char* typed;  // nullptr: a click
      std::function<bool(const JobSettings&)> changed;
    } rows[] = {
        {kIdUsageEnable, nullptr, [](const JobSettings& j) { return j.UsageLimitEnabled; }},
        {kIdSnEnable, nullptr, [](const JobSettings& j) { return j.SnProgrammingEnabled; }},
        {kIdCounterEnable, nullptr, [](const JobSettings& j) { return j.ChipCounterEnabled; }},
        {kIdFastProtocol, nullptr, [](const JobSettings& j) { return j.FastProtocol; }},
        {kIdGangVerifyOnly, nullptr, [](const JobSettings& j) { return j.GangVerifyOnly; }},
        {kIdCountDirection, nullptr, [](const JobSettings& j) { return j.CountDown; }},
        {kIdUsageDisable, nullptr, [](const JobSettings& j) { return !j.UsageLimitEnabled; }},
        {kIdSnDisable, nullptr, [](const JobSettings& j) { return !j.SnProgrammingEnabled; }},
        {kIdCounterDisable, nullptr, [](const JobSettings& j) { return !j.ChipCounterEnabled; }},
        {kIdNormalProtocol, nullptr, [](const JobSettings& j) { return !j.FastProtocol; }},
        {kIdGangNormal, nullptr, [](const JobSettings& j) { return !j.GangVerifyOnly; }},
        {kIdUsageEdit, "500", [](const JobSettings& j) { return UsageLimitForDisplay(j.UsageLimit) == 500; }},
        {kIdSnAddressEdit, "1f0", [](const JobSettings& j) { return j.SnAddress == 0x1F0; }},
        {kIdIncrementEdit, "7",
         [](const JobSettings& j) {
           return j.SnIncrement == SplitDecimal{0, 7};
         }},
        {kIdSnValueEdit, "123",
         [](const JobSettings& j) {
           return j.SnValue == SplitDecimal{0, 123};
         }},
        {kIdCounterEdit, "42", [](const JobSettings& j) { return j.ChipCounter == 42; }},
    };
    JobSettings job;
    job.ProgrammerMode = 0x41;
    DeriveModeFlags(job);
    AdvancedDialog d(job, nullptr);
    d.show();
    for (const auto& row : rows) {
      const QString id = QString::number(row.id);
      QVERIFY2(!row.changed(job), qPrintable(id));
      // The wiring, whatever the groups enable.
      if (row.typed) {
        d.ControlAs<QLineEdit>(row.id)->setText(row.typed);
      } else {
        emit d.ControlAs<QAbstractButton>(row.id)->clicked();
      }
      QVERIFY2(row.changed(job), qPrintable(id));
    }
    d.ControlAs<QPushButton>(kIdAdvOk)->click();
    QCOMPARE(d.result(), int(QDialog::Accepted));
  }

  void refusedTextShowsTheErrorAndTheStoredValue() {
    JobSettings job;
    job.ProgrammerMode = 0x01;
    DeriveModeFlags(job);
    job.UsageLimitEnabled = job.SnProgrammingEnabled = true;
    job.UsageLimit = {0x04, 0xD2};
    AdvancedDialog d(job, nullptr);
    d.show();
    auto* usage = d.ControlAs<QLineEdit>(kIdUsageEdit);
    QCOMPARE(usage->text(), QString("1234"));
    QCOMPARE(usage->maxLength(), 5);
    ModalWatcher watcher;
    Type(d, kIdUsageEdit, "60001");
    QCOMPARE(watcher.Titles(), QStringList{"ERROR"});
    QCOMPARE(watcher.seen().front().text, QString("Usage Times should be 1 ~ 60000 !"));
    QCOMPARE(usage->text(), QString("6000"));
    QCOMPARE(UsageLimitForDisplay(job.UsageLimit), 6000u);
    Type(d, kIdSnAddressEdit, "12g");
    QCOMPARE(watcher.seen().back().text, QString("12g is not a hexadecimal number !"));
    QCOMPARE(d.ControlAs<QLineEdit>(kIdSnAddressEdit)->text(), QString("12"));
    QCOMPARE(d.ControlAs<QLineEdit>(kIdSnEndEdit)->text(), QString("19"));
    QCOMPARE(watcher.seen().size(), 2);
  }
};

}  // namespace quillet

QTEST_MAIN(quillet::AdvancedDialogTest)
#include "advanced_dialog_test.moc"
