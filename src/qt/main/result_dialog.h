#pragma once
// The PASS (152) and FAIL (153) windows: the result picture, the message and the time stamp.
#include <string>

#include "qt/kit/template_dialog.h"

namespace quillet {

class ResultDialog : public TemplateDialog {
  Q_OBJECT

 public:
  // `detail` (FAIL only: the first differing byte, the block that differs) shows below the message,
  // the window growing to hold it; empty adds nothing.
  ResultDialog(bool pass, const std::string& message, const std::string& time_stamp, QWidget* parent,
               const std::string& detail = {});

 private:
  void AddDetail(const std::string& detail);
};

// About (100): icon 128, "Quillet, v7.10.001" and OK.
class AboutDialog : public TemplateDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent);
};

}  // namespace quillet
