// The main window's buffer view: Load File through the file dialog, the hex view and the fields
// under it, and a project saved and loaded back through the project buttons.
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "core/images/image_loader.h"
#include "qt/kit/dialog_style.h"
#include "qt/kit/hex_view_widget.h"
#include "qt/support/main_window.h"
#include "qt/support/modal_watcher.h"

namespace quillet {

using test_support::ModalWatcher;

class MainDialogImagesTest : public QObject {
  Q_OBJECT

 private:
  static std::string WriteImage(const std::string& path, std::size_t size) {
    std::vector<char> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i);
    std::ofstream(path, std::ios::binary).write(bytes.data(), bytes.size());
    return path;
  }
  // Answers the next file dialog with `path`, typed into its file name field. The dialog reads its
  // folder on a thread of its own and may drop an answer given before that; it is given again until
  // the dialog closes.
  static void ChooseFile(ModalWatcher& watcher, const std::string& path) {
    watcher.SetAction([path](QWidget* window) {
      auto* dialog = qobject_cast<QFileDialog*>(window);
      QVERIFY(dialog);
      auto* retry = new QTimer(dialog);
      QObject::connect(retry, &QTimer::timeout, dialog, [dialog, path] {
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(path));
        static_cast<QDialog*>(dialog)->accept();
      });
      retry->start(20);
    });
  }

 private slots:
  void initTestCase() { QApplication::setStyle(new DialogStyle); }

  void loadFileShowsTheImageAndSelectsIt() {
    test_support::MainWindowFolder folder;
    auto d = folder.Make();
    d->StartUp();  // the real image buffers
    d->show();
    QVERIFY(!d->ControlAs<QPushButton>(kIdUpdateChip)->isEnabled());
    const std::string path = WriteImage(folder.path() + "code.bin", 1000);
    ModalWatcher watcher;
    ChooseFile(watcher, path);
    d->ControlAs<QPushButton>(kIdLoadFile)->click();
    QCOMPARE(d->hex_view()->dump().size(), std::size_t(1000));
    QCOMPARE(d->ControlAs<QLineEdit>(kIdFileName)->text(), QString::fromStdString(path));
    QCOMPARE(d->ControlAs<QLineEdit>(kIdCodeSize)->text(), QString("1000 Bytes"));
    QCOMPARE(d->ControlAs<QLineEdit>(kIdChecksum)->text(), QString("0xE72C"));  // 3 x 0x7F80 + 0x68AC
    QVERIFY(d->ControlAs<QCheckBox>(kIdApromCheck)->isChecked());
    QVERIFY(d->ControlAs<QPushButton>(kIdUpdateChip)->isEnabled());
    QVERIFY2(test_support::StateMismatch(*d).isEmpty(), qPrintable(test_support::StateMismatch(*d)));
  }

  // A file loaded into the DataFlash tab stays in front, with its size under it.
  void loadFileKeepsTheDataFlashTab() {
    test_support::MainWindowFolder folder;
    folder.WriteSettings(0x01, 200);
    auto d = folder.Make();
    d->StartUp();
    d->show();
    auto* tabs = d->ControlAs<TabControlWidget>(kIdBufferTabs);
    tabs->ClickTab(1);
    const std::string path = WriteImage(folder.path() + "data.bin", 300);
    ModalWatcher watcher;
    ChooseFile(watcher, path);
    d->ControlAs<QPushButton>(kIdLoadFile)->click();
    QCOMPARE(d->controls().tab_index(), 1);
    QCOMPARE(tabs->CurrentIndex(), 1);
    QCOMPARE(d->ControlAs<QLineEdit>(kIdCodeSize)->text(), QString("300 Bytes"));
    QVERIFY(d->ControlAs<QCheckBox>(kIdDataFlashCheck)->isChecked());
  }

  void projectSavedAndLoadedBackRestoresTypePartAndImage() {
    test_support::MainWindowFolder folder;
    folder.WriteSettings(0x01, 200);
    auto d = folder.Make();
    d->StartUp();
    d->show();
    AttachImageFile(d->images().aprom, WriteImage(folder.path() + "app.bin", 4096));
    d->RefreshControls();
    QCOMPARE(d->hex_view()->dump().size(), std::size_t(4096));
    ModalWatcher watcher;
    const std::string project = folder.path() + "job.TPJ";
    ChooseFile(watcher, project);
    d->ControlAs<QPushButton>(kIdSaveProject)->click();
    QVERIFY(std::ifstream(project).good());

    d->ControlAs<QRadioButton>(kIdIspRadio)->click();
    QCOMPARE(d->job().PartCode, 2u);
    ChooseFile(watcher, project);
    d->ControlAs<QPushButton>(kIdLoadProject)->click();
    QCOMPARE(watcher.seen().size(), 2);
    QCOMPARE(d->job().PartCode, 200u);
    QVERIFY(d->job().ApromSelected && d->job().ConfigSelected);
    QCOMPARE(d->hex_view()->dump().size(), std::size_t(4096));
    QCOMPARE(d->ControlAs<QLineEdit>(kIdFileName)->text(), QString("job.TPJ\\app.bin"));
    QVERIFY2(test_support::StateMismatch(*d).isEmpty(), qPrintable(test_support::StateMismatch(*d)));
  }
};

}  // namespace quillet

QTEST_MAIN(quillet::MainDialogImagesTest)
#include "main_dialog_images_test.moc"
