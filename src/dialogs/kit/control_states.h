#pragma once
// What a dialog's controls show, by control id: the state the window logic computes and the view
// applies to its widgets. Seeded from the dialog's template (caption, hidden, disabled).
#include <map>
#include <string>

#include "dialogs/kit/dialog_template.h"

namespace quillet {

struct ControlState {
  bool enabled = true;
  bool checked = false;
  bool visible = true;
  std::string text;  // caption of a button or static, contents of an edit
  std::string tip;   // why a disabled control is disabled; empty when enabled
  bool operator==(const ControlState&) const = default;
};

class ControlStates {
 public:
  explicit ControlStates(const DialogTemplate& dialog);

  // The state of a control of the template; ids outside it are a programming error.
  ControlState& at(int id) { return states_.at(id); }
  const ControlState& at(int id) const { return states_.at(id); }
  bool enabled(int id) const { return at(id).enabled; }
  bool checked(int id) const { return at(id).checked; }
  const std::string& text(int id) const { return at(id).text; }

  void Enable(int id, bool on) { at(id).enabled = on; }
  void Check(int id, bool on) { at(id).checked = on; }
  void SetText(int id, std::string text) { at(id).text = std::move(text); }
  void SetTip(int id, std::string tip) { at(id).tip = std::move(tip); }

  const std::map<int, ControlState>& all() const { return states_; }

 private:
  std::map<int, ControlState> states_;
};

}  // namespace quillet
