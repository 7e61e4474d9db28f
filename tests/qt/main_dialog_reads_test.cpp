// Read Chip from the main window against a simulated ICP Programmer on an in-process port in
// virtual time: the Read Chip window opens over the chip's bytes and its "Show CONFIG" opens the
// part's CONFIG editor in view mode; with a Gang Programmer the socket chosen in "Select Chip in the
// Sockets" is the one read.
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "dialogs/viewer/read_chip_layout.h"
#include "qt/config/config_editor_dialog.h"
#include "qt/kit/dialog_style.h"
#include "qt/kit/hex_view_widget.h"
#include "qt/main/select_socket_dialog.h"
#include "qt/support/main_window.h"
#include "qt/support/modal_watcher.h"
#include "qt/viewer/read_chip_dlg.h"
#include "sim/gang_model.h"
#include "sim/programmer_model.h"
#include "sim/virtual_port.h"

namespace quillet {

using test_support::ModalWatcher;

class MainDialogReadsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QApplication::setStyle(new DialogStyle);
    qputenv(kSystemPortsVariable, "0");
    qunsetenv(kExtraPortsVariable);
  }

  void readChipShowsTheChosenSocketsChip() {
    const struct {
      uint8_t mode;  // ICP, or ICP with Gang
      int socket;    // the socket chosen, 0..3; the feeder's seat is socket + 1 with Gang
    } rows[] = {{0x01, 0}, {0x41, 2}};
    for (const auto& row : rows) {
      VirtualClock clock;
      test_support::MainWindowFolder folder;
      folder.WriteSettings(row.mode, 110);
      auto d = folder.Start();
      d->job().SetPortName("sim:1");
      sim::ChipFeeder feeder;
      // Every seat holds another chip, so reading the wrong socket shows.
      for (uint8_t seat = 0; seat <= 4; ++seat) {
        auto& flash = feeder.Blank(seat).flash;
        flash.resize(0x1100);
        for (std::size_t i = 0; i < flash.size(); ++i) flash[i] = static_cast<uint8_t>(i * 3 + seat * 0x40);
      }
      const uint8_t seat = row.mode & 0x40 ? static_cast<uint8_t>(row.socket + 1) : 0;
      sim::ProgrammerModel single(0xAB, 0x0710);
      sim::GangModel gang(0x0710, 0xAB);
      single.SetFeeder(feeder, 0);
      gang.SetFeeder(feeder);
      std::unique_ptr<sim::SimulatedPort> port;
      if (row.mode & 0x40) {
        port = std::make_unique<sim::SimulatedPort>(d->bench().ports(), "sim:1", gang, clock);
      } else {
        port = std::make_unique<sim::SimulatedPort>(d->bench().ports(), "sim:1", single, clock);
      }

      ModalWatcher watcher;
      std::vector<uint8_t> shown;
      QString config_exit;  // the CONFIG view's button 1: "Exit" in view mode
      watcher.SetAction([&](QWidget* window) {
        if (auto* sockets = qobject_cast<SelectSocketDialog*>(window)) {
          sockets->ControlAs<QRadioButton>(kIdSocket1 + row.socket)->click();
          sockets->ControlAs<QPushButton>(kIdSocketOk)->click();
        } else if (auto* viewer = qobject_cast<ReadChipDlg*>(window)) {
          const HexDump& dump = viewer->ControlAs<HexViewWidget>(kIdViewerHex)->dump();
          for (std::size_t r = 0; r < dump.RowCount(); ++r) {
            const auto bytes = dump.Row(r);
            shown.insert(shown.end(), bytes.begin(), bytes.end());
          }
          // Out of the watcher's own call, so that it sees the CONFIG view this opens.
          QTimer::singleShot(0, viewer, [viewer] {
            viewer->ControlAs<QPushButton>(kIdViewerShowConfig)->click();
            viewer->reject();
          });
        } else if (auto* config = qobject_cast<ConfigEditorDialog*>(window)) {
          config_exit = config->ControlAs<QPushButton>(1)->text();
          config->reject();
        } else if (auto* dialog = qobject_cast<QDialog*>(window)) {
          dialog->reject();
        }
      });
      d->ControlAs<QPushButton>(kIdReadChip)->click();
      QTRY_VERIFY_WITH_TIMEOUT(!d->runner().running(), 30000);
      d->runner().Join();
      const QStringList expected_titles =
          row.mode & 0x40 ? QStringList{"Select Chip in the Sockets", "Read Chip"} : QStringList{"Read Chip"};
      QCOMPARE(watcher.Titles().mid(0, expected_titles.size()), expected_titles);
      QCOMPARE(watcher.Titles().size(), expected_titles.size() + 1);
      QCOMPARE(config_exit, QString("Exit"));
      QCOMPARE(d->bench().SocketChoice(), row.socket);
      const auto& flash = feeder.Blank(seat).flash;
      QCOMPARE(shown, std::vector<uint8_t>(flash.begin(), flash.begin() + 0x1000));
    }
  }
};

}  // namespace quillet

QTEST_MAIN(quillet::MainDialogReadsTest)
#include "main_dialog_reads_test.moc"
