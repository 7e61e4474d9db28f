#include "qt/kit/template_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>

#include "qt/kit/artwork.h"
#include "qt/kit/hex_view_widget.h"
#include "qt/kit/tab_control_widget.h"

namespace quillet {
namespace {

constexpr int kDesignDpi = 96;

QString Text(const char* caption) {
  return QString::fromUtf8(caption);
}

Qt::Alignment StaticAlignment(uint32_t style) {
  const Qt::Alignment horizontal = (style & kAlignRight)    ? Qt::AlignRight
                                   : (style & kAlignCenter) ? Qt::AlignHCenter
                                                            : Qt::AlignLeft;
  return horizontal | Qt::AlignTop;
}

void SetWidgetText(QWidget* widget, const QString& text) {
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(text);
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    if (label->pixmap().isNull()) label->setText(text);
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    if (edit->text() != text) edit->setText(text);
  } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    group->setTitle(text);
  }
}

}  // namespace

QString ControlObjectName(int id) {
  return QStringLiteral("ctl_%1").arg(id);
}

QFont TemplateDialog::TemplateFont(const DialogFont& font) {
  QString family = QString::fromUtf8(font.family);
  if (family == "Arial" && !QFontDatabase::hasFamily(family)) family = "Liberation Sans";
  QFont qfont(family);
  qfont.setPixelSize((font.point_size * kDesignDpi + 36) / 72);
  qfont.setBold(font.bold);
  qfont.setStyleStrategy(QFont::PreferAntialias);
  return qfont;
}

TemplateDialog::TemplateDialog(const DialogTemplate& dialog, QWidget* parent)
    : QDialog(parent), dialog_(dialog), applied_(dialog) {
  setFont(TemplateFont(dialog.font));
  const QFontMetrics metrics(font());
  base_ = BaseUnitsFromFont(metrics.horizontalAdvance(QString::fromLatin1(kAverageWidthSample)),
                            metrics.height());
  setWindowTitle(Text(dialog.caption));
  setFixedSize(MapDialogX(dialog.width, base_), MapDialogY(dialog.height, base_));
  for (const ControlTemplate& control : dialog.controls) {
    QWidget* widget = CreateControl(control);
    const PixelRect r = MapDialogRect(control.rect, base_);
    int height = r.height;
    if (control.kind == ControlKind::DropDownList) {
      // A drop-down's template height is that of its opened list; the box itself takes one line.
      height = std::min(r.height, widget->sizeHint().height());
      const int item_height = std::max(1, metrics.height() + 2);
      static_cast<QComboBox*>(widget)->setMaxVisibleItems(std::max(1, (r.height - height) / item_height));
      // Styles that open the list over the whole screen ignore the count above; this one keeps it.
      widget->setStyleSheet("QComboBox { combobox-popup: 0; }");
    }
    if (control.kind == ControlKind::Bitmap && r.x + r.width > width()) {
      widget->setGeometry(r.x, r.y, width() - r.x, height);
    } else {
      widget->setGeometry(r.x, r.y, r.width, height);
    }
    if (control.kind == ControlKind::Bitmap) {
      static_cast<QLabel*>(widget)->setPixmap(
          ArtworkPixmap(control.resource, widget->size(), devicePixelRatioF()));
      bitmaps_[control.resource] = widget;
    }
    widget->setEnabled((control.style & kDisabled) == 0);
    widget->setHidden((control.style & kHidden) != 0);
    if (control.id != kNoId) {
      widget->setObjectName(ControlObjectName(control.id));
      controls_[control.id] = widget;
    }
  }
}

QWidget* TemplateDialog::CreateControl(const ControlTemplate& control) {
  const QString caption = Text(control.caption);
  switch (control.kind) {
    case ControlKind::Bitmap:
      return new QLabel(this);
    case ControlKind::Icon: {
      auto* label = new QLabel(this);
      label->setPixmap(AppIcon().pixmap(32, 32));
      return label;
    }
    case ControlKind::GroupBox: {
      // The caption sits on the frame's top line, which runs through the middle of the text.
      auto* group = new QGroupBox(caption, this);
      group->setStyleSheet(QStringLiteral("QGroupBox { border: 1px solid palette(mid); border-radius: 2px;"
                                          " margin-top: %1px; }"
                                          "QGroupBox::title { subcontrol-origin: margin; left: 6px;"
                                          " padding: 0 2px; background-color: palette(window); }")
                               .arg(QFontMetrics(font()).height() / 2));
      return group;
    }
    case ControlKind::Radio: {
      // The logic checks exactly one radio of a group; Qt's own exclusivity would span the window.
      auto* radio = new QRadioButton(caption, this);
      radio->setAutoExclusive(false);
      return radio;
    }
    case ControlKind::CheckBox:
      return new QCheckBox(caption, this);
    case ControlKind::Button:
    case ControlKind::DefaultButton: {
      auto* button = new QPushButton(caption, this);
      button->setDefault(control.kind == ControlKind::DefaultButton);
      return button;
    }
    case ControlKind::Static: {
      auto* label = new QLabel(caption, this);
      label->setTextFormat(Qt::PlainText);
      label->setWordWrap(true);
      label->setAlignment(StaticAlignment(control.style));
      return label;
    }
    case ControlKind::DropDownList:
      return new QComboBox(this);
    case ControlKind::Edit: {
      auto* edit = new QLineEdit(caption, this);
      edit->setReadOnly((control.style & kReadOnly) != 0);
      if (control.style & kAlignCenter) edit->setAlignment(Qt::AlignCenter);
      if (control.max_chars > 0) edit->setMaxLength(control.max_chars);
      if (edit->isReadOnly()) {
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Window));
        edit->setPalette(palette);
      }
      return edit;
    }
    case ControlKind::TabControl:
      return new TabControlWidget(this);
    case ControlKind::HexView:
      return new HexViewWidget(this);
    case ControlKind::ProgressBar: {
      auto* bar = new QProgressBar(this);
      bar->setTextVisible(false);
      bar->setRange(0, 100);
      bar->setValue(0);
      return bar;
    }
    case ControlKind::UpDown:
      return new QScrollBar(Qt::Vertical, this);
  }
  return new QWidget(this);
}

QWidget* TemplateDialog::Control(int id) const {
  const auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

QWidget* TemplateDialog::Bitmap(int resource) const {
  const auto it = bitmaps_.find(resource);
  return it == bitmaps_.end() ? nullptr : it->second;
}

void TemplateDialog::ApplyStates(const ControlStates& states) {
  for (const auto& [id, state] : states.all()) {
    QWidget* widget = Control(id);
    if (!widget) continue;
    const QSignalBlocker blocker(widget);
    widget->setEnabled(state.enabled);
    widget->setHidden(!state.visible);
    widget->setToolTip(QString::fromStdString(state.tip));
    if (auto* button = qobject_cast<QAbstractButton*>(widget); button && button->isCheckable()) {
      button->setChecked(state.checked);
    }
    // An edit the operator types into always shows the logic's text: a refused keystroke is undone.
    auto* edit = qobject_cast<QLineEdit*>(widget);
    ControlState& applied = applied_.at(id);
    if ((edit && !edit->isReadOnly()) || applied.text != state.text) {
      SetWidgetText(widget, QString::fromStdString(state.text));
      applied.text = state.text;
    }
  }
}

}  // namespace quillet
