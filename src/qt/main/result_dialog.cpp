#include "qt/main/result_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "dialogs/main/main_layout.h"
#include "dialogs/main/report_layouts.h"
#include "qt/kit/artwork.h"

namespace quillet {

ResultDialog::ResultDialog(bool pass, const std::string& message, const std::string& time_stamp,
                           QWidget* parent, const std::string& detail)
    : TemplateDialog(pass ? PassDialogTemplate() : FailDialogTemplate(), parent) {
  setWindowIcon(AppIcon());
  ControlAs<QLabel>(pass ? kIdPassMessage : kIdFailMessage)->setText(QString::fromStdString(message));
  ControlAs<QLabel>(pass ? kIdPassTimeStamp : kIdFailTimeStamp)->setText(QString::fromStdString(time_stamp));
  connect(ControlAs<QPushButton>(kIdOk), &QPushButton::clicked, this, &QDialog::accept);
  connect(ControlAs<QPushButton>(kIdCancel), &QPushButton::clicked, this, &QDialog::reject);
  if (!detail.empty()) AddDetail(detail);
}

// The detail goes under the template's controls, as wide as the message, in the dialog's font;
// the window grows by its height.
void ResultDialog::AddDetail(const std::string& detail) {
  QWidget* message = Control(kIdFailMessage);
  auto* label = new QLabel(QString::fromStdString(detail), this);
  label->setObjectName("ctl_detail");
  QFont plain = label->font();  // the message is bold; the detail explains it in plain type
  plain.setBold(false);
  label->setFont(plain);
  label->setWordWrap(true);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  const int margin = message->x();
  const int width = size().width() - 2 * margin;
  const int top = size().height();
  label->setGeometry(margin, top, width, label->heightForWidth(width));
  setFixedSize(size().width(), top + label->height() + margin);
}

AboutDialog::AboutDialog(QWidget* parent) : TemplateDialog(AboutDialogTemplate(), parent) {
  setWindowIcon(AppIcon());
  connect(ControlAs<QPushButton>(kIdOk), &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace quillet
