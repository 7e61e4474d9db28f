#include "qt/main/result_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "dialogs/main/main_layout.h"
#include "dialogs/main/report_layouts.h"
#include "qt/kit/artwork.h"

namespace quillet {

ResultDialog::ResultDialog(bool pass, const std::string& message, const std::string& time_stamp,
                           QWidget* parent)
    : TemplateDialog(pass ? PassDialogTemplate() : FailDialogTemplate(), parent) {
  setWindowIcon(AppIcon());
  ControlAs<QLabel>(pass ? kIdPassMessage : kIdFailMessage)->setText(QString::fromStdString(message));
  ControlAs<QLabel>(pass ? kIdPassTimeStamp : kIdFailTimeStamp)->setText(QString::fromStdString(time_stamp));
  connect(ControlAs<QPushButton>(kIdOk), &QPushButton::clicked, this, &QDialog::accept);
  connect(ControlAs<QPushButton>(kIdCancel), &QPushButton::clicked, this, &QDialog::reject);
}

AboutDialog::AboutDialog(QWidget* parent) : TemplateDialog(AboutDialogTemplate(), parent) {
  setWindowIcon(AppIcon());
  connect(ControlAs<QPushButton>(kIdOk), &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace quillet
