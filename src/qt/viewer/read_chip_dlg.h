#pragma once
// The Read Chip window (146), opened after a completed Read Chip. ReadChipViewer decides what the
// tabs, the hex view and "Save" show; this window shows it, runs the save dialog and writes the file,
// and hands "Show CONFIG" to the caller. Unlike the other template windows it can be resized: the
// tabs and the hex view take the room, the buttons keep to the bottom edge.
#include <QSize>
#include <functional>
#include <vector>

#include "dialogs/viewer/read_chip_viewer.h"
#include "qt/kit/template_dialog.h"

namespace quillet {

class ReadChipDlg : public TemplateDialog {
  Q_OBJECT

 public:
  // `ldrom_last_address`: the current part's; `show_config` opens the part's CONFIG editor in view
  // mode over the CONFIG bytes read, and returns when it has closed.
  ReadChipDlg(const ReadResults& read, uint32_t ldrom_last_address, std::function<void()> show_config,
              QWidget* parent);

  const ReadChipViewer& logic() const { return logic_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ShowArea();
  void OnSave();

  ReadChipViewer logic_;
  std::function<void()> show_config_;
  QSize design_size_;
};

}  // namespace quillet
