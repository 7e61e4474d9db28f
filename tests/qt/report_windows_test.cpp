// The reporting windows and the hex view: PASS and FAIL with message and time stamp, the WARNING
// and "<Debug>" boxes, reports from a worker thread, the pictures, and the hex view over 256 KB.
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <thread>

#include "dialogs/main/main_layout.h"
#include "dialogs/main/report_layouts.h"
#include "qt/kit/artwork.h"
#include "qt/kit/dialog_style.h"
#include "qt/kit/hex_view_widget.h"
#include "qt/main/gui_reporter.h"
#include "qt/support/modal_watcher.h"

namespace quillet {

using test_support::ModalWatcher;

class ReportWindowsTest : public QObject {
  Q_OBJECT

 private:
  VirtualClock clock_;
  QWidget owner_;
  QLabel status_{&owner_};
  QProgressBar progress_{&owner_};
  int auto_close_calls_ = 0;
  GuiReporter reporter_{clock_, &owner_, &status_, &progress_, [this](bool) { ++auto_close_calls_; }};

  // Mostly green (or red) over the picture's middle row.
  static QColor MiddleColour(int resource) {
    const QImage image = ArtworkPixmap(resource, QSize(356, 56)).toImage();
    long red = 0, green = 0;
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, image.height() / 2 + 12);
      red += c.red();
      green += c.green();
    }
    return QColor(int(red / image.width()), int(green / image.width()), 0);
  }

 private slots:
  void initTestCase() { QApplication::setStyle(new DialogStyle); }

  void passWindowShowsTheMessageAndTheTimeStamp() {
    ModalWatcher watcher;
    QString stamp;
    bool picture = false;
    watcher.SetAction([&](QWidget* window) {
      stamp = window->findChild<QLabel*>(QStringLiteral("ctl_%1").arg(kIdPassTimeStamp))->text();
      for (QLabel* label : window->findChildren<QLabel*>()) picture |= !label->pixmap().isNull();
      window->findChild<QPushButton*>(QStringLiteral("ctl_%1").arg(kIdOk))->click();
    });
    status_.setText("Program and verify APROM...");
    progress_.setRange(0, 7);
    progress_.setValue(3);
    clock_.SetLocalTimeOrigin(std::tm{9, 5, 14, 7, 2, 111, 0, 0, 0, 0, nullptr});
    reporter_.ShowPass("Update Chip ... OK !");
    QCOMPARE(watcher.Titles(), QStringList{"PASS"});
    QCOMPARE(watcher.seen().front().text, QString("Update Chip ... OK !"));
    QCOMPARE(stamp, QString("2011-03-07_14:05:09"));
    QVERIFY(picture);
    QCOMPARE(status_.text(), QString("Ready..."));
    QCOMPARE(progress_.maximum(), 100);
    QCOMPARE(progress_.value(), 0);
    QCOMPARE(auto_close_calls_, 0);  // no production mode query: no auto-close
  }

  void failFromAWorkerShowsTheDetailAndHoldsTheWorkerUntilClosed() {
    ModalWatcher watcher;
    std::atomic<bool> returned = false;
    bool returned_while_open = true;
    QString message, detail;
    bool detail_below_and_inside = false;
    watcher.SetAction([&](QWidget* window) {
      message = window->findChild<QLabel*>(QStringLiteral("ctl_%1").arg(kIdFailMessage))->text();
      const QLabel* below = window->findChild<QLabel*>("ctl_detail");
      const QWidget* ok = window->findChild<QPushButton*>(QStringLiteral("ctl_%1").arg(kIdOk));
      detail = below ? below->text() : QString();
      detail_below_and_inside = below && below->geometry().top() >= ok->geometry().bottom() &&
                                window->rect().contains(below->geometry());
      QTimer::singleShot(100, window, [&, window] {
        returned_while_open = returned;
        static_cast<QDialog*>(window)->reject();  // Esc or the close box
      });
    });
    std::thread worker([&] {
      reporter_.ShowFail("Verify APROM ==> FAIL !", "APROM: 1 byte differs, the first at 0x00123");
      returned = true;
    });
    QTRY_VERIFY(returned);
    worker.join();
    QCOMPARE(watcher.Titles(), QStringList{"FAIL"});
    QCOMPARE(message, QString("Verify APROM ==> FAIL !"));
    QCOMPARE(detail, QString("APROM: 1 byte differs, the first at 0x00123"));
    QVERIFY(detail_below_and_inside);
    QVERIFY(!returned_while_open);
  }

  void progressFromAWorkerReachesTheBar() {
    std::thread worker([&] {
      reporter_.BeginPhase("Download Programmer (for APROM)...", 4);
      reporter_.StepIt();
      reporter_.StepIt();
    });
    QTRY_COMPARE(progress_.value(), 2);
    worker.join();
    QCOMPARE(progress_.maximum(), 4);
    QCOMPARE(status_.text(), QString("Download Programmer (for APROM)..."));
  }

  void warningResetsTheStatusOnlyAfterItCloses() {
    ModalWatcher watcher;
    QString status_while_open;
    watcher.SetAction([&](QWidget* window) {
      status_while_open = status_.text();
      static_cast<QMessageBox*>(window)->button(QMessageBox::Ok)->click();
    });
    status_.setText("Search Programmer...");
    reporter_.ShowWarning("Programmer not found !");
    QCOMPARE(watcher.Titles(), QStringList{"WARNING"});
    QCOMPARE(watcher.seen().front().text, QString("Programmer not found !"));
    QCOMPARE(status_while_open, QString("Search Programmer..."));
    QCOMPARE(status_.text(), QString("Ready..."));
  }

  void debugBoxHasNoOwner() {
    ModalWatcher watcher;
    QObject* parent = &owner_;
    QMessageBox::Icon icon = QMessageBox::Critical;
    watcher.SetAction([&](QWidget* window) {
      parent = window->parent();
      icon = static_cast<QMessageBox*>(window)->icon();
      static_cast<QMessageBox*>(window)->button(QMessageBox::Ok)->click();
    });
    reporter_.DebugByte("FLAGs= ", 0x89);
    QCOMPARE(watcher.Titles(), QStringList{"<Debug>"});
    QCOMPARE(watcher.seen().front().text, QString("FLAGs= 0x89"));
    QCOMPARE(parent, nullptr);
    QCOMPARE(icon, QMessageBox::NoIcon);
  }

  void passIsGreenAndFailIsRed() {
    const QColor pass = MiddleColour(kBitmapPass);
    const QColor fail = MiddleColour(kBitmapFail);
    QVERIFY2(pass.green() > 2 * pass.red() / 3 && pass.green() > fail.green() + 40, qPrintable(pass.name()));
    QVERIFY2(fail.red() > 2 * fail.green(), qPrintable(fail.name()));
    QVERIFY(ArtworkPixmap(kBitmapBanner, QSize(467, 41)).width() == 467);
    QVERIFY(ArtworkPixmap(4242, QSize(10, 10)).isNull());
    QVERIFY(!AppIcon().pixmap(32, 32).isNull());
  }

  void hexViewScrollsThrough256K() {
    HexViewWidget view;
    view.resize(429, 140);
    view.show();
    std::vector<uint8_t> bytes(256 * 1024);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7);
    view.SetBytes(bytes.data(), bytes.size());
    QCOMPARE(view.dump().RowCount(), std::size_t(16384));
    QScrollBar* bar = view.verticalScrollBar();
    QVERIFY(bar->maximum() > 16300 && bar->maximum() < 16384);
    bar->setValue(bar->maximum());
    QCOMPARE(view.TopRow(), std::size_t(bar->maximum()));
    QVERIFY(!view.grab().isNull());  // paints the last rows
    // The caller's buffer may go away: the view keeps its own copy.
    bytes.assign(bytes.size(), 0);
    QCOMPARE(view.dump().Row(1)[0], uint8_t(16 * 7));
    view.SetBytes(nullptr, 0);
    QCOMPARE(bar->maximum(), 0);
    QCOMPARE(view.TopRow(), std::size_t(0));
  }
};

}  // namespace quillet

QTEST_MAIN(quillet::ReportWindowsTest)
#include "report_windows_test.moc"
