#pragma once
// The Read Chip window, 146: its controls by id and its layout as a template table. The tab control
// and the hex view grow with the window; the buttons keep to its bottom edge.
#include "dialogs/kit/dialog_template.h"

namespace quillet {

enum ReadChipControl : int {
  kIdViewerExit = 2,
  kIdViewerHex = 1097,
  kIdViewerTabs = 1098,
  kIdViewerSave = 1099,
  kIdViewerShowConfig = 1105,
};

const DialogTemplate& ReadChipDialogTemplate();

}  // namespace quillet
