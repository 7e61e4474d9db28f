// The CONFIG editors' windows: clicks re-apply the enabling rules, hidden controls stay hidden,
// view mode shows and changes nothing, Esc keeps what was clicked, the DataFlash spin control moves
// by arrows, keys and wheel, the bit editor's tabs, "Reserved" bits and NVM Lock, and the openers.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <algorithm>
#include <atomic>
#include <thread>

#include "core/config/config_codec.h"
#include "dialogs/config/config_layouts.h"
#include "qt/config/config_editor_dialog.h"
#include "qt/config/config_editors.h"
#include "qt/kit/dialog_style.h"
#include "qt/kit/tab_control_widget.h"
#include "qt/support/main_window.h"
#include "qt/support/modal_watcher.h"

namespace quillet {

using test_support::ModalWatcher;

namespace {

// Stored bytes from CONFIG0..CONFIG7 as the chip numbers them (CONFIG n is stored byte 7 - n).
ConfigByteArray Bytes8051(std::initializer_list<uint8_t> config) {
  ConfigByteArray bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  int n = 0;
  for (uint8_t value : config) bytes[7 - n++] = value;
  return bytes;
}

// Stored bytes of the two Cortex-M0 words.
ConfigByteArray BytesCortex(uint32_t config0, uint32_t config1) {
  ConfigByteArray bytes{};
  PutConfigWord(bytes, kLowWordByte, config0);
  PutConfigWord(bytes, kHighWordByte, config1);
  return bytes;
}

// Clicks a radio button on its indicator (a radio takes clicks on its indicator and caption only).
void ClickRadio(QWidget* radio) {
  QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
}

struct Editor {
  JobSettings job;
  PartCatalogue catalogue;
  std::unique_ptr<ConfigEditorDialog> dialog;

  Editor(uint32_t code, const ConfigByteArray& bytes, uint16_t slider = 1) {
    job.PartCode = code;
    job.ConfigBytes = bytes;
    job.ConfigSliderPos = slider;
    dialog = std::make_unique<ConfigEditorDialog>(
        ConfigEditorModel::Open(code, catalogue, job.ConfigBytes, job.ConfigSliderPos), nullptr);
    dialog->show();
  }
  QWidget* operator[](int id) const { return dialog->Control(id); }
  void Click(int id) const { ClickRadio(dialog->Control(id)); }
};

// True when the widgets of `ids` are all enabled (`on`) or all disabled.
bool AllEnabled(const TemplateDialog& d, std::initializer_list<int> ids, bool on) {
  return std::ranges::all_of(ids, [&](int id) { return d.Control(id)->isEnabled() == on; });
}

}  // namespace

class ConfigEditorDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QApplication::setStyle(new DialogStyle); }

  // No caption that shows is cut: every editor, the part-dependent captions, and the pages of every part
  // that has them.
  void captionsFitTheirControls() {
    const PartCatalogue catalogue;
    std::vector<uint32_t> codes = {200, 809, 810, 1000, 852, 900, 38, 40, 132, 0};
    for (uint32_t code = 0; code < kPartCount; ++code) {
      if (catalogue.Row(code).ConfigByteCount > 0 &&
          ChooseConfigDialog(catalogue.Row(code)) == ConfigDialog::kBits) {
        codes.push_back(code);
      }
    }
    for (uint32_t code : codes) {
      Editor e(code, Bytes8051({}));
      std::vector<QWidget*> windows = {e.dialog.get(), e.dialog->Page(0), e.dialog->Page(1)};
      for (QWidget* window : windows) {
        if (!window) continue;
        for (QRadioButton* radio : window->findChildren<QRadioButton*>()) {
          QVERIFY2(radio->isHidden() || radio->sizeHint().width() <= radio->width(),
                   qPrintable(QString("%1: %2").arg(code).arg(radio->text())));
        }
        for (QGroupBox* group : window->findChildren<QGroupBox*>()) {
          const int title = group->fontMetrics().horizontalAdvance(group->title()) + 12;
          QVERIFY2(title <= group->width(), qPrintable(QString("%1: %2").arg(code).arg(group->title())));
        }
        for (QLabel* label : window->findChildren<QLabel*>()) {
          QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                   qPrintable(QString("%1: %2").arg(code).arg(label->text())));
        }
      }
    }
  }

  // Each click shows the rules it changes: the controls disabled before it are enabled after it.
  void clicksApplyTheEnablingRules() {
    const struct {
      uint32_t code;
      ConfigByteArray bytes;
      int click;
      std::initializer_list<int> freed;
      ConfigByteArray after;
    } rows[] = {
        // Brown-out off (bit 23 = 1): "Enable" clears it and frees voltage and reset.
        {200,
         BytesCortex(0xFF9FFFFF, 0xFFFFFFFF),
         1159,
         {kIdGroupVoltage, 1164, 1122, kIdGroupReset, 1160},
         BytesCortex(0xFF1FFFFF, 0xFFFFFFFF)},
        // Sorrel: "Internal OSC" (CONFIG3 bit 1 = 0) frees the frequency box.
        {38,
         Bytes8051({0xFF, 0xF0, 0xFF, 0xFF}),
         1157,
         {kIdGroupInternalOsc, 1148, 1147},
         Bytes8051({0xFF, 0xF0, 0xFF, 0xFD})},
        // DataFlash set in CONFIG: "Enable" frees the spin control, the edits and their labels.
        {900,
         BytesCortex(0xFFFFFFFF, 0x7E00),
         kIdDataFlashEnable,
         {kIdDataFlashSpin, kIdDataFlashSize, kIdDataFlashStart, kIdDataFlashSizeLabel,
          kIdDataFlashStartLabel},
         BytesCortex(0xFFFFFFFE, 0x7E00)},
    };
    for (const auto& row : rows) {
      Editor e(row.code, row.bytes);
      QVERIFY2(AllEnabled(*e.dialog, row.freed, false), qPrintable(QString::number(row.code)));
      e.Click(row.click);
      QVERIFY2(e.job.ConfigBytes == row.after, qPrintable(QString::number(row.code)));
      QVERIFY2(AllEnabled(*e.dialog, row.freed, true), qPrintable(QString::number(row.code)));
    }
  }

  void hiddenControlsStayHidden() {
    Editor e(40, Bytes8051({0xFF, 0xFF, 0xFF, 0xFE}));  // clock 10: the hidden "Clock from XTAL1"
    for (int id : {1200, 1207, 1208, int(kIdGroupPortState)})
      QVERIFY2(e[id]->isHidden(), qPrintable(QString::number(id)));
    QVERIFY(static_cast<QRadioButton*>(e[1200])->isChecked());
    e.Click(1199);
    QVERIFY(e[1200]->isHidden());
    QVERIFY(!Editor(132, Bytes8051({}))[1200]->isHidden());
  }

  void viewModeShowsAndChangesNothing() {
    const PartCatalogue catalogue;
    const ConfigByteArray read = Bytes8051({0x7E, 0xE0, 0xFF, 0xFD});
    ConfigEditorDialog d(ConfigEditorModel::OpenView(38, catalogue, read), nullptr);
    d.show();
    QCOMPARE(d.windowTitle(), QString("CONFIG Setting for Sorrel"));
    int checked = 0;
    for (QRadioButton* radio : d.findChildren<QRadioButton*>()) {
      // A checked button stays enabled unless its field's rule disables it ("External XTAL" here).
      QVERIFY(radio->isChecked() || !radio->isEnabled());
      if (!radio->isChecked()) continue;
      ++checked;
      ClickRadio(radio);
      QVERIFY(radio->isChecked());
    }
    QCOMPARE(checked, 12);  // one per field
    QVERIFY(d.model().editor().bytes() == read);
  }

  void escapeKeepsTheChangesMade() {
    Editor e(200, BytesCortex(0xFF9FFFFF, 0xFFFFFFFF));
    QCOMPARE(e.dialog->ControlAs<QPushButton>(kIdConfigOk)->text(), QString("OK"));
    e.Click(1166);  // LOCK "Enable" clears bit 1
    e.Click(1153);  // "Boot from LDROM" clears bit 7
    QTest::keyClick(e.dialog.get(), Qt::Key_Escape);
    QCOMPARE(e.dialog->result(), int(QDialog::Rejected));
    QVERIFY(e.job.ConfigBytes == BytesCortex(0xFF9FFF7D, 0xFFFFFFFF));
  }

  // Dune with 32 KB of flash: 63 pages of 512 bytes at most; the top is one page.
  void spinUpMakesDataFlashSmaller() {
    Editor e(900, BytesCortex(0xFFFFFFFE, 0x7000), 8);
    auto* spin = static_cast<QScrollBar*>(e[kIdDataFlashSpin]);
    QCOMPARE(spin->minimum(), 1);
    QCOMPARE(spin->maximum(), 63);
    QCOMPARE(spin->value(), 8);
    const auto expect = [&](int pages, uint32_t start, const char* size) {
      QCOMPARE(int(e.job.ConfigSliderPos), pages);
      QCOMPARE(ConfigWord(e.job.ConfigBytes, kHighWordByte), start);
      QCOMPARE(e.dialog->ControlAs<QLineEdit>(kIdDataFlashSize)->text(), QString(size));
    };
    spin->setFocus();
    QTest::keyClick(spin, Qt::Key_Up);
    expect(7, 0x7200, "3.5 KB");
    QTest::keyClick(spin, Qt::Key_Down);
    QTest::keyClick(spin, Qt::Key_Down);
    expect(9, 0x6E00, "4.5 KB");
    QWheelEvent wheel(QPointF(3, 3), spin->mapToGlobal(QPointF(3, 3)), {}, QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(spin, &wheel);
    expect(8, 0x7000, "4.0 KB");
    QTest::mouseClick(spin, Qt::LeftButton, {}, QPoint(spin->width() / 2, 2));  // the up arrow
    expect(7, 0x7200, "3.5 KB");
    QTest::keyClick(spin, Qt::Key_Home);
    QTest::keyClick(spin, Qt::Key_Up);  // stays at the top
    expect(1, 0x7E00, "0.5 KB");
  }

  // Part 110: CONFIG0 and CONFIG1 pages; on CONFIG1 bit 7 is "APROM Lock", bit 6 "NVM Lock",
  // bits 4..0 "Reserved".
  void bitEditorTabsReservedBitsAndNvmLock() {
    Editor e(110, Bytes8051({0xFF, 0x3F}));
    auto* tabs = static_cast<TabControlWidget*>(e[kIdBitsTab]);
    QCOMPARE(tabs->Count(), 2);
    QCOMPARE(tabs->TabText(1), QString("CONFIG1"));
    TemplateDialog* page0 = e.dialog->Page(0);
    TemplateDialog* page1 = e.dialog->Page(1);
    QVERIFY(page0->isVisible() && !page1->isVisible());
    tabs->ClickTab(1);
    QVERIFY(!page0->isVisible() && page1->isVisible());
    QCOMPARE(page1->ControlAs<QGroupBox>(BitGroupId(4))->title(), QString("Reserved"));
    QVERIFY(AllEnabled(*page1, {BitZeroId(6), BitOneId(6)}, true));
    QVERIFY(AllEnabled(*page1, {BitGroupId(4), BitZeroId(4), BitOneId(4)}, false));
    QCOMPARE(e.dialog->ControlAs<QLineEdit>(kIdBitsConfig1Value)->text(), QString("0x3F"));
    ClickRadio(page1->Control(BitOneId(7)));
    QCOMPARE(e.dialog->ControlAs<QLineEdit>(kIdBitsConfig1Value)->text(), QString("0xFF"));
    QVERIFY(page1->ControlAs<QRadioButton>(BitOneId(6))->isChecked());
    QVERIFY(AllEnabled(*page1, {BitZeroId(6), BitOneId(6)}, false));
    ClickRadio(page1->Control(BitZeroId(7)));
    // Esc from a page closes the editor, not the page.
    page1->Control(BitZeroId(7))->setFocus();
    QTest::keyClick(page1->Control(BitZeroId(7)), Qt::Key_Escape);
    QVERIFY(page1->isVisibleTo(e.dialog.get()));
    QCOMPARE(e.dialog->result(), int(QDialog::Rejected));
    QVERIFY(!e.dialog->isVisible());
    QVERIFY(AllEnabled(*page1, {BitZeroId(6), BitOneId(6)}, true));
    QVERIFY(e.job.ConfigBytes == Bytes8051({0xFF, 0x7F}));
    // A part without CONFIG pages shows the derived texts only.
    Editor none(0, Bytes8051({0xFF, 0xFF}));
    QCOMPARE(static_cast<TabControlWidget*>(none[kIdBitsTab])->Count(), 0);
    QVERIFY(none.dialog->Page(0) == nullptr);
    QVERIFY(AllEnabled(*none.dialog, {kIdBitsConfig0Label, kIdBitsConfig1Label}, false));
    QCOMPARE(none.dialog->ControlAs<QLineEdit>(kIdBitsBrownout)->text(), QString("2.5V"));  // CONFIG0 bit 4
  }

  // The main window's button opens the part's editor over the job; the read-back view opens the
  // part's editor in view mode and refuses a code beyond the catalogue.
  void mainWindowOpensTheEditors() {
    test_support::MainWindowFolder folder;
    folder.WriteSettings(0x01, 200);
    auto d = folder.Start({true, false, false});
    ModalWatcher watcher;
    watcher.SetAction([](QWidget* window) {
      window->findChild<QRadioButton*>(ControlObjectName(1153))->click();
      static_cast<QDialog*>(window)->accept();
    });
    const uint8_t before = d->job().ConfigBytes[7];
    d->ControlAs<QPushButton>(kIdConfigSetting)->click();
    QCOMPARE(d->job().ConfigBytes[7], uint8_t(before & 0x7F));
    QString exit;
    watcher.SetAction([&](QWidget* window) {
      exit = window->findChild<QPushButton*>(ControlObjectName(kIdConfigOk))->text();
      static_cast<QDialog*>(window)->reject();
    });
    d->bench().display().ShowConfigView(1215, Bytes8051({}));
    // From a worker, as Read Chip calls it: the window opens on the user-interface thread.
    std::atomic<bool> done = false;
    std::thread worker([&] {
      d->bench().display().ShowConfigView(38, Bytes8051({}));
      done = true;
    });
    QTRY_VERIFY(done);
    worker.join();
    QCOMPARE(watcher.Titles(), (QStringList{"CONFIG Setting", "CONFIG Setting for Sorrel"}));
    QCOMPARE(exit, QString("Exit"));
    QCOMPARE(RunConfigView(1215, Bytes8051({}), d->catalogue(), d.get()), 0);
  }
};

}  // namespace quillet

QTEST_MAIN(quillet::ConfigEditorDialogTest)
#include "config_editor_dialog_test.moc"
