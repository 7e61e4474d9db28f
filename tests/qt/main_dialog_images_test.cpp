// The main window's buffer view: Load File through the file dialog, the hex view and the fields
// under it, and a project saved and loaded back through the project buttons.
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "qt/main/main_dialog.h"
#include "dialogs/main/main_layout.h"
#include "core/images/image_loader.h"
#include "qt/kit/dialog_style.h"
#include "qt/kit/tab_control_widget.h"
#include "qt/support/modal_watcher.h"
#include "qt/kit/hex_view_widget.h"

namespace quillet {

using test_support::ModalWatcher;

class MainDialogImagesTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  VirtualClock clock_;

  std::string Folder() const { return dir_->path().toStdString() + "/"; }
  std::unique_ptr<MainDialog> Start() {
    auto d = std::make_unique<MainDialog>(MainDialogOptions{Folder(), Folder() + "lock", &clock_});
    d->StartUp();
    d->show();
    return d;
  }
  std::string WriteImage(const std::string& name, std::size_t size) {
    std::vector<char> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i);
    std::ofstream(Folder() + name, std::ios::binary).write(bytes.data(), bytes.size());
    return Folder() + name;
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
  void init() { dir_ = std::make_unique<QTemporaryDir>(); }

  void loadFileShowsTheImageAndSelectsIt() {
    auto d = Start();
    QVERIFY(!d->ControlAs<QPushButton>(kIdUpdateChip)->isEnabled());
    const std::string path = WriteImage("code.bin", 1000);
    ModalWatcher watcher;
    ChooseFile(watcher, path);
    d->ControlAs<QPushButton>(kIdLoadFile)->click();
    QCOMPARE(d->hex_view()->dump().size(), std::size_t(1000));
    QCOMPARE(d->ControlAs<QLineEdit>(kIdFileName)->text(), QString::fromStdString(path));
    QVERIFY(d->ControlAs<QLineEdit>(kIdCodeSize)->text().startsWith("1000"));
    QVERIFY(!d->ControlAs<QLineEdit>(kIdChecksum)->text().isEmpty());
    QVERIFY(d->ControlAs<QCheckBox>(kIdApromCheck)->isChecked());
    QVERIFY(d->ControlAs<QCheckBox>(kIdApromCheck)->isEnabled());
    QVERIFY(d->job().ApromSelected);
    QVERIFY(d->ControlAs<QPushButton>(kIdUpdateChip)->isEnabled());
    QVERIFY(d->ControlAs<QPushButton>(kIdDownloadProgrammer)->isEnabled());
  }

  void projectSavedAndLoadedBackRestoresTypePartAndImage() {
    std::vector<char> record(256, 0);
    record[0] = 0x01;
    record[1] = char(200 & 0xFF);
    std::ofstream(Folder() + "GUI.LOG", std::ios::binary).write(record.data(), record.size());
    auto d = Start();
    AttachImageFile(d->images().aprom, WriteImage("app.bin", 4096));
    d->RefreshControls();
    QCOMPARE(d->hex_view()->dump().size(), std::size_t(4096));
    QVERIFY(d->ControlAs<QCheckBox>(kIdConfigCheck)->isChecked());

    ModalWatcher watcher;
    const std::string project = Folder() + "job.TPJ";
    ChooseFile(watcher, project);
    d->ControlAs<QPushButton>(kIdSaveProject)->click();
    QVERIFY(std::ifstream(project).good());

    d->ControlAs<QRadioButton>(kIdIspRadio)->click();
    QCOMPARE(d->job().PartCode, 2u);
    ChooseFile(watcher, project);
    d->ControlAs<QPushButton>(kIdLoadProject)->click();
    QCOMPARE(watcher.seen().size(), 2);
    QVERIFY(d->ControlAs<QRadioButton>(kIdIcpRadio)->isChecked());
    QCOMPARE(d->job().PartCode, 200u);
    QCOMPARE(d->ControlAs<QComboBox>(kIdCategoryList)->currentText(), QString("Velmari_Arden"));
    QCOMPARE(d->ControlAs<QComboBox>(kIdPartList)->currentIndex(), 0);
    QCOMPARE(d->ControlAs<TabControlWidget>(kIdBufferTabs)->Count(), 3);
    QCOMPARE(d->hex_view()->dump().size(), std::size_t(4096));
    QVERIFY(d->ControlAs<QCheckBox>(kIdApromCheck)->isChecked());
    QVERIFY(d->ControlAs<QCheckBox>(kIdConfigCheck)->isChecked());
    QVERIFY(d->ControlAs<QPushButton>(kIdConfigSetting)->isEnabled());
    QCOMPARE(d->ControlAs<QLineEdit>(kIdComPortName)->text(), QString(""));  // a project forgets the port
    QCOMPARE(d->ControlAs<QLabel>(kIdProgType)->text(), QString("Prog. Type"));
  }
};

}  // namespace quillet

QTEST_MAIN(quillet::MainDialogImagesTest)
#include "main_dialog_images_test.moc"
