#include "qt/config/config_editor_dialog.h"

#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>

#include "dialogs/config/config_layouts.h"
#include "qt/kit/artwork.h"
#include "qt/kit/tab_control_widget.h"

namespace quillet {
namespace {

const char* const kPageTabs[] = {"CONFIG0", "CONFIG1"};

// A page is a child window on the tab control's pane. Esc on it closes the editor, not the page.
class BitPage : public TemplateDialog {
 public:
  BitPage(const DialogTemplate& page, QDialog* editor) : TemplateDialog(page, editor), editor_(editor) {
    setWindowFlags(Qt::Widget);
  }
  void reject() override { editor_->reject(); }

 private:
  QDialog* editor_;
};

}  // namespace

ConfigEditorDialog::ConfigEditorDialog(std::unique_ptr<ConfigEditorModel> model, QWidget* parent)
    : TemplateDialog(model->dialog_template(), parent), model_(std::move(model)) {
  setWindowIcon(AppIcon());
  ConnectRadios(*this, -1);
  if (auto* tabs = ControlAs<TabControlWidget>(kIdBitsTab)) {
    std::vector<std::string> captions;
    const PixelRect at = MapDialogRect(ConfigBitPageRect(), base_units());
    const int count = std::min(model_->page_count(), static_cast<int>(std::size(kPageTabs)));
    for (int i = 0; i < count; ++i) {
      auto* page = new BitPage(ConfigBitPageTemplate(i), this);
      page->move(at.x, at.y);
      ConnectRadios(*page, i);
      pages_.push_back(page);
      captions.emplace_back(kPageTabs[i]);
    }
    tabs->SetTabs(captions, 0);
    connect(tabs, &TabControlWidget::TabChanged, this, &ConfigEditorDialog::ShowPage);
    ShowPage(0);
  }
  if (ControlAs<QScrollBar>(kIdDataFlashSpin)) ConnectSpin();
  connect(ControlAs<QPushButton>(kIdConfigOk), &QPushButton::clicked, this, &QDialog::accept);
  Apply();
}

TemplateDialog* ConfigEditorDialog::Page(int page) const {
  return page >= 0 && page < static_cast<int>(pages_.size()) ? pages_[page] : nullptr;
}

void ConfigEditorDialog::ConnectRadios(TemplateDialog& dialog, int page) {
  for (const ControlTemplate& control : dialog.dialog_template().controls) {
    if (control.kind != ControlKind::Radio) continue;
    connect(dialog.ControlAs<QRadioButton>(control.id), &QRadioButton::clicked, this,
            [this, page, id = control.id] {
              page < 0 ? model_->OnClick(id) : model_->OnPageClick(page, id);
              Apply();
            });
  }
}

// The spin control is a vertical scroll bar whose top is 1 page, so its up arrow, the Up key and
// the wheel turned up make DataFlash smaller. It shows no number to type into.
void ConfigEditorDialog::ConnectSpin() {
  auto* spin = ControlAs<QScrollBar>(kIdDataFlashSpin);
  spin->setFocusPolicy(Qt::WheelFocus);
  spin->setSingleStep(1);
  spin->setPageStep(1);
  connect(spin, &QScrollBar::valueChanged, this, [this](int position) {
    model_->OnScroll(position);
    Apply();
  });
}

void ConfigEditorDialog::ShowPage(int page) {
  for (int i = 0; i < static_cast<int>(pages_.size()); ++i) pages_[i]->setVisible(i == page);
}

void ConfigEditorDialog::Apply() {
  ApplyStates(model_->states());
  for (int i = 0; i < static_cast<int>(pages_.size()); ++i) pages_[i]->ApplyStates(model_->page_states(i));
  if (auto* spin = ControlAs<QScrollBar>(kIdDataFlashSpin)) {
    const DataFlashSpin state = model_->spin();
    const QSignalBlocker blocker(spin);
    spin->setRange(1, state.highest);
    spin->setValue(state.position);
  }
}

}  // namespace quillet
