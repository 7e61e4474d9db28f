#pragma once
// The "Select Chip in the Sockets" window, 151: which socket of a Gang Programmer Verify Chip and
// Read Chip address. One radio per socket; OK stores the checked one, and the caller goes on
// whichever way the window closed (its Cancel button is never shown).
#include "dialogs/kit/control_states.h"

namespace quillet {

enum SelectSocketControl : int {
  kIdSocketOk = 1,
  kIdSocketCancel = 2,
  kIdSocket1 = 1201,  // "Chip in socket #1"; #2..#4 follow
};
constexpr int kSocketCount = 4;

const DialogTemplate& SelectSocketDialogTemplate();

class SelectSocket {
 public:
  // `choice`: the workbench's socket, 0..3; kept until OK.
  explicit SelectSocket(int& choice);

  const ControlStates& states() const { return states_; }
  void OnRadio(int id);
  void OnOk();

 private:
  int& choice_;
  ControlStates states_;
};

}  // namespace quillet
