// The main window's side of the image buffers: the hex view with the fields under it, the file
// dialogs, Load File, the project buttons, and the refreshes that loading asks for.
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>

#include "core/images/image_loader.h"
#include "core/storage/project_commands.h"
#include "dialogs/main/main_layout.h"
#include "qt/kit/hex_view_widget.h"
#include "qt/main/main_dialog.h"

namespace quillet {
namespace {

// "HEX Files (*.HEX);;All Files (*.*)": a label that already names its pattern is taken as it is.
QString QtFilter(const std::vector<FileFilter>& filters) {
  QStringList parts;
  for (const FileFilter& filter : filters) {
    const QString label = QString::fromStdString(filter.label);
    parts << (label.endsWith(')') ? label : label + " (" + QString::fromStdString(filter.pattern) + ")");
  }
  return parts.join(";;");
}

int ItemBoxOf(ImageArea area) {
  switch (area) {
    case ImageArea::Aprom:
      return kIdApromCheck;
    case ImageArea::DataFlash:
      return kIdDataFlashCheck;
    case ImageArea::Ldrom:
      return kIdLdromCheck;
  }
  return kIdApromCheck;
}

}  // namespace

void MainDialog::InstallImageCommands() {
  hooks_.images = [this] {
    return ImagePresence{images_.aprom.hasFile, images_.dataFlash.hasFile, images_.ldrom.hasFile};
  };
  hooks_.reload_images = [this] { ReloadImages(images_, job_, this, *reporter_); };
  hooks_.buttons[kIdLoadFile] = [this] {
    if (!runner_.running()) quillet::OnLoadFile(images_, job_, *this, *reporter_);
  };
  hooks_.buttons[kIdSaveProject] = [this] {
    if (!runner_.running()) quillet::OnSaveProject(job_, images_, catalogue_, *this, *reporter_);
  };
  hooks_.buttons[kIdLoadProject] = [this] {
    if (runner_.running()) return;
    quillet::OnLoadProject({job_, images_, catalogue_, controls_.saved_part_codes(), options_.app_folder},
                           *this, *reporter_);
  };
}

int MainDialog::CurrentTab() const {
  return controls_.tab_index();
}
bool MainDialog::DataFlashTabShown() const {
  return controls_.data_flash_tab_shown();
}

void MainDialog::ShowHexView(std::span<const uint8_t> bytes, const ImageTexts& texts) {
  hex_view()->SetBytes(bytes.data(), bytes.size());
  ControlAs<QLineEdit>(kIdFileName)->setText(QString::fromStdString(texts.fileName));
  ControlAs<QLineEdit>(kIdCodeSize)->setText(QString::fromStdString(texts.size));
  ControlAs<QLineEdit>(kIdChecksum)->setText(QString::fromStdString(texts.checksum));
  ControlAs<QLabel>(kIdSizeLabel)->setText(QString::fromStdString(texts.sizeLabel));
}

void MainDialog::ClearHexView() {
  hex_view()->SetBytes(nullptr, 0);
  for (int id : {kIdFileName, kIdCodeSize, kIdChecksum}) ControlAs<QLineEdit>(id)->clear();
}

std::optional<std::string> MainDialog::OpenFileDialog(const std::vector<FileFilter>& filters) {
  const QString path =
      QFileDialog::getOpenFileName(this, {}, QString::fromStdString(options_.app_folder), QtFilter(filters));
  if (path.isEmpty()) return std::nullopt;
  return path.toStdString();
}

std::optional<std::string> MainDialog::SaveFileDialog(const std::vector<FileFilter>& filters,
                                                      const std::string& default_ext) {
  QFileDialog dialog(this, {}, QString::fromStdString(options_.app_folder), QtFilter(filters));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QString::fromStdString(default_ext));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

void MainDialog::CheckItemBox(ImageArea area) {
  controls_.CheckItemBox(ItemBoxOf(area));
  ApplyControls();
}

// Load File refreshes the window; the tab the file went into stays in front.
void MainDialog::RefreshControls() {
  controls_.RefreshControls(/*keep_tab=*/true);
  ApplyControls();
}

void MainDialog::RefreshAfterProjectLoad(bool start_com_port_search) {
  controls_.AfterProjectLoad();
  if (start_com_port_search && hooks_.start_com_port_search) hooks_.start_com_port_search();
  ApplyControls();
}

}  // namespace quillet
