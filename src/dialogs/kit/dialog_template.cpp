#include "dialogs/kit/dialog_template.h"

#include "dialogs/kit/control_states.h"

namespace quillet {

const ControlTemplate* FindControl(const DialogTemplate& dialog, int id) {
  if (id == kNoId) return nullptr;
  for (const ControlTemplate& control : dialog.controls) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

ControlStates::ControlStates(const DialogTemplate& dialog) {
  for (const ControlTemplate& control : dialog.controls) {
    if (control.id == kNoId) continue;
    ControlState& state = states_[control.id];
    state.enabled = (control.style & kDisabled) == 0;
    state.visible = (control.style & kHidden) == 0;
    state.text = control.caption;
  }
}

}  // namespace quillet
