#include "qt/viewer/read_chip_dlg.h"

#include <QFileDialog>
#include <QPushButton>
#include <QResizeEvent>
#include <QStringList>

#include "dialogs/viewer/read_chip_layout.h"
#include "qt/kit/artwork.h"
#include "qt/kit/hex_view_widget.h"
#include "qt/kit/message_box.h"
#include "qt/kit/result_sound.h"
#include "qt/kit/tab_control_widget.h"

namespace quillet {
namespace {

QString QtFilter(const std::vector<FileFilter>& filters) {
  QStringList parts;
  for (const FileFilter& filter : filters) {
    parts << QString::fromStdString(filter.label + " (" + filter.pattern + ")");
  }
  return parts.join(";;");
}

}  // namespace

ReadChipDlg::ReadChipDlg(const ReadResults& read, uint32_t ldrom_last_address,
                         std::function<void()> show_config, QWidget* parent)
    : TemplateDialog(ReadChipDialogTemplate(), parent),
      logic_(read, ldrom_last_address),
      show_config_(std::move(show_config)),
      design_size_(size()) {
  setWindowIcon(AppIcon());
  setMinimumSize(design_size_);
  setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  setSizeGripEnabled(true);
  connect(ControlAs<TabControlWidget>(kIdViewerTabs), &TabControlWidget::TabChanged, this, [this](int index) {
    logic_.OnTabChange(index);
    ShowArea();
  });
  connect(ControlAs<QPushButton>(kIdViewerSave), &QPushButton::clicked, this, &ReadChipDlg::OnSave);
  connect(ControlAs<QPushButton>(kIdViewerShowConfig), &QPushButton::clicked, this, [this] {
    if (show_config_) show_config_();
  });
  connect(ControlAs<QPushButton>(kIdViewerExit), &QPushButton::clicked, this, &QDialog::reject);
  ShowArea();
  PlayResultSound(Sound::Default);
}

void ReadChipDlg::ShowArea() {
  ControlAs<TabControlWidget>(kIdViewerTabs)->SetTabs(logic_.tabs(), logic_.tab_index());
  const std::span<const uint8_t> bytes = logic_.Bytes();
  ControlAs<HexViewWidget>(kIdViewerHex)->SetBytes(bytes.data(), bytes.size());
  ApplyStates(logic_.states());
}

// A failed write leaves the old file and this window as they were.
void ReadChipDlg::OnSave() {
  QFileDialog dialog(this, {}, {}, QtFilter(ReadChipViewer::SaveFilters()));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QString::fromStdString(ReadChipViewer::DefaultExtension()));
  dialog.selectFile(QString::fromStdString(logic_.DefaultFileName()));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const std::string error = logic_.Save(dialog.selectedFiles().front().toStdString());
  if (!error.empty()) ShowMessageBox(this, "ERROR", error, QMessageBox::Critical);
}

// The template's places, moved by how much the window has grown.
void ReadChipDlg::resizeEvent(QResizeEvent* event) {
  TemplateDialog::resizeEvent(event);
  const int dx = width() - design_size_.width();
  const int dy = height() - design_size_.height();
  for (const ControlTemplate& control : dialog_template().controls) {
    const PixelRect r = MapDialogRect(control.rect, base_units());
    QWidget* widget = Control(control.id);
    if (control.id == kIdViewerTabs || control.id == kIdViewerHex) {
      widget->setGeometry(r.x, r.y, r.width + dx, r.height + dy);
    } else {
      widget->move(r.x + (control.id == kIdViewerExit ? dx : 0), r.y + dy);
    }
  }
}

}  // namespace quillet
