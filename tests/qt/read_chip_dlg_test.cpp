// The Read Chip window's widgets: the tabs and the hex view follow the logic, Save writes the shown
// area's bytes under the chosen name, a cancelled dialog writes nothing, a failed write shows the
// "ERROR" box and keeps the window; and the socket window stores the chosen socket only on OK.
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "dialogs/viewer/read_chip_layout.h"
#include "qt/kit/dialog_style.h"
#include "qt/kit/hex_view_widget.h"
#include "qt/kit/tab_control_widget.h"
#include "qt/main/select_socket_dialog.h"
#include "qt/support/modal_watcher.h"
#include "qt/viewer/read_chip_dlg.h"

namespace quillet {

using test_support::ModalWatcher;

class ReadChipDlgTest : public QObject {
  Q_OBJECT

 private:
  // An APROM of 32 KB and an LDROM of 4 KB, each byte telling its area and offset apart.
  static ReadResults MakeRead() {
    ReadResults read;
    for (std::size_t i = 0; i < kImageCapacity; ++i) {
      (*read.aprom)[i] = static_cast<uint8_t>(i * 7 + (i >> 8));
      (*read.ldrom)[i] = static_cast<uint8_t>(0xFF - i);
    }
    read.ReadApromLast = 0x7FFF;
    read.LdromWasRead = true;
    return read;
  }
  static std::vector<uint8_t> FileBytes(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  // Answers each save dialog: records the name it offers, then cancels when `path` is empty, else
  // types `path` and accepts. The dialog reads its folder on a thread of its own and may drop an
  // answer given before that; it is given again until the dialog closes. Message boxes get OK.
  static void Answer(ModalWatcher& watcher, const QString& path, QString* offered) {
    watcher.SetAction([path, offered](QWidget* window) {
      if (auto* box = qobject_cast<QMessageBox*>(window)) {
        box->button(QMessageBox::Ok)->click();
        return;
      }
      auto* dialog = qobject_cast<QFileDialog*>(window);
      QVERIFY(dialog);
      *offered = dialog->findChild<QLineEdit*>("fileNameEdit")->text();
      QVERIFY(dialog->nameFilters().contains("Binary Files (*.BIN *.bin)"));
      if (path.isEmpty()) {
        dialog->reject();
        return;
      }
      auto* retry = new QTimer(dialog);
      QObject::connect(retry, &QTimer::timeout, dialog, [dialog, path] {
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText(path);
        static_cast<QDialog*>(dialog)->accept();
      });
      retry->start(20);
    });
  }

 private slots:
  void initTestCase() { QApplication::setStyle(new DialogStyle); }

  void tabsShowEachAreaAndSaveWritesItsBytes() {
    const ReadResults read = MakeRead();
    int config_views = 0;
    ReadChipDlg d(
        read, 0x0FFF, [&] { ++config_views; }, nullptr);
    d.show();
    auto* tabs = d.ControlAs<TabControlWidget>(kIdViewerTabs);
    auto* save = d.ControlAs<QPushButton>(kIdViewerSave);

    QTemporaryDir dir;
    const struct {
      int tab;
      const char* caption;
      const char* offered;
      const char* file;
      std::size_t size;
      const ReadBuffer& source;
    } rows[] = {
        {0, "Save APROM Contents", "APROM_Contents", "aprom.BIN", 0x8000, *read.aprom},
        {1, "Save LDROM Contents", "LDROM_Contents", "ldrom.bin", 0x1000, *read.ldrom},
    };
    for (const auto& row : rows) {
      tabs->ClickTab(row.tab);
      QCOMPARE(save->text(), QString(row.caption));
      QCOMPARE(d.ControlAs<HexViewWidget>(kIdViewerHex)->dump().size(), row.size);
      ModalWatcher watcher;
      QString offered;
      const QString path = dir.filePath(row.file);
      Answer(watcher, path, &offered);
      save->click();
      QCOMPARE(offered, QString(row.offered));
      QCOMPARE(watcher.seen().size(), 1);  // the save dialog, no message
      QCOMPARE(FileBytes(path), std::vector<uint8_t>(row.source.begin(), row.source.begin() + row.size));
    }
    d.ControlAs<QPushButton>(kIdViewerShowConfig)->click();
    QCOMPARE(config_views, 1);
  }

  void cancelWritesNothingAndAFailedWriteKeepsTheWindow() {
    const ReadResults read = MakeRead();
    ReadChipDlg d(read, 0x0FFF, {}, nullptr);
    d.show();
    QTemporaryDir dir;
    QString offered;
    {
      ModalWatcher watcher;
      Answer(watcher, "", &offered);
      d.ControlAs<QPushButton>(kIdViewerSave)->click();
      QCOMPARE(watcher.seen().size(), 1);
    }
    QVERIFY(QDir(dir.path()).isEmpty());
    {
      ModalWatcher watcher;
      Answer(watcher, dir.filePath("missing/aprom.BIN"), &offered);
      d.ControlAs<QPushButton>(kIdViewerSave)->click();
      QCOMPARE(watcher.seen().size(), 2);
      QCOMPARE(watcher.seen().last().title, QString("ERROR"));
      QCOMPARE(watcher.seen().last().text, QString("Open file error !"));
    }
    QVERIFY(QDir(dir.path()).isEmpty());
    QVERIFY(d.isVisible());
  }

  // The window grows with its frame; the buttons keep to the bottom edge.
  void resizingGivesTheRoomToTheHexView() {
    const ReadResults read = MakeRead();
    ReadChipDlg d(read, 0, {}, nullptr);
    d.show();
    auto* hex = d.Control(kIdViewerHex);
    auto* exit = d.Control(kIdViewerExit);
    const QRect hex_before = hex->geometry(), exit_before = exit->geometry();
    d.resize(d.width() + 100, d.height() + 60);
    QCOMPARE(hex->geometry(), hex_before.adjusted(0, 0, 100, 60));
    QCOMPARE(exit->geometry(), exit_before.translated(100, 60));
  }

  void socketWindowStoresTheChoiceOnlyOnOk() {
    const struct {
      int click;  // socket radio clicked, 0..3
      bool ok;
      int stored;
    } rows[] = {{2, true, 2}, {3, false, 1}, {0, true, 0}};
    for (const auto& row : rows) {
      int choice = 1;
      SelectSocketDialog d(choice, nullptr);
      d.show();
      QVERIFY(d.ControlAs<QRadioButton>(kIdSocket1 + 1)->isChecked());
      QVERIFY(!d.Control(kIdSocketCancel)->isVisible());
      d.ControlAs<QRadioButton>(kIdSocket1 + row.click)->click();
      for (int i = 0; i < kSocketCount; ++i)
        QCOMPARE(d.ControlAs<QRadioButton>(kIdSocket1 + i)->isChecked(), i == row.click);
      if (row.ok) {
        d.ControlAs<QPushButton>(kIdSocketOk)->click();
      } else {
        d.reject();
      }
      QCOMPARE(choice, row.stored);
    }
  }
};

}  // namespace quillet

QTEST_MAIN(quillet::ReadChipDlgTest)
#include "read_chip_dlg_test.moc"
