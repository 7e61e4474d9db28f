#pragma once
// The small dialogs of the main window: About (100), PASS (152) and FAIL (153).
#include "dialogs/kit/dialog_template.h"

namespace quillet {

enum ReportControl : int {
  kIdOk = 1,
  kIdPassMessage = 1186,
  kIdFailMessage = 1187,
  kIdFailTimeStamp = 1188,
  kIdPassTimeStamp = 1189,
};

const DialogTemplate& AboutDialogTemplate();
const DialogTemplate& PassDialogTemplate();
const DialogTemplate& FailDialogTemplate();

}  // namespace quillet
