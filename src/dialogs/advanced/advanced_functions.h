#pragma once
// The logic of the Advanced Functions dialog: every control's state from the job settings, and what
// a click or a keystroke does. Each setting is stored the moment its control changes; a text that
// is not valid is refused with its error message and the field shows the stored value again, so
// nothing is ever half-stored.
#include <string>

#include "core/job/job_settings.h"
#include "dialogs/kit/control_states.h"

namespace quillet {

class AdvancedFunctions {
 public:
  // Reads the settings into the controls, as the dialog does when it opens. Values that no control
  // can show (a limit of 0 or above 60000, an address above 0x1FFF8, a counter above 999999, left by
  // a damaged GUI.LOG or project) are first brought into range: 0 and values above 60000 become
  // 60000, the others their maximum.
  explicit AdvancedFunctions(JobSettings& job);

  // A radio button or the Count Up/Count Down button was clicked.
  void OnClick(int id);

  // The text of an edit changed (typed, pasted or set). Returns the message of the "ERROR" box to
  // show, or "" when the text was accepted. Afterwards the edits' texts in states() are what the
  // fields must show; a field set back has been checked again with its new text.
  std::string OnEditChange(int id, const std::string& text);

  const ControlStates& states() const { return states_; }

 private:
  void ApplyUsageRadio(bool enable);
  void ApplySnRadio(bool enable);
  void ApplyCounterRadio(bool enable);
  // The text that shows the stored value of an edit.
  std::string StoredText(int id) const;
  // Shows the stored value (again); the new text is checked like any other change.
  void ShowStored(int id);

  JobSettings& job_;
  ControlStates states_;
};

// Field texts: the usage limit "%d"; the S/N "%08d%08d" of the halves; the increment "%d%08d" when
// its high half is not 0, else "%d" of the low half; the counter "%06d".
std::string UsageFieldText(UsageLimitBytes limit);
std::string SnFieldText(SplitDecimal value);
std::string IncrementFieldText(SplitDecimal value);
std::string CounterFieldText(uint32_t counter);

}  // namespace quillet
