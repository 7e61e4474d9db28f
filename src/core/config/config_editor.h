#pragma once
// One CONFIG editor at work: what each of its controls shows for the bytes it edits, and the clicks
// and spin scrolls that change them. Every change goes into the caller's CONFIG bytes and DataFlash
// page count at once; there is no apply step. In view mode nothing is written and only the checked
// button of each choice stays enabled.
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "core/catalogue/config_bit_texts.h"
#include "core/catalogue/part_catalogue.h"
#include "core/config/config_bit_rules.h"
#include "core/config/config_editor_table.h"

namespace quillet {

struct ConfigControlState {
  bool enabled = true;
  bool checked = false;
  bool visible = true;
  std::string text;  // caption of a button or group box, contents of an edit
  bool operator==(const ConfigControlState&) const = default;
};

// The DataFlash size spin control: the range runs from `highest` at the bottom to 1 at the top, so
// the up arrow makes DataFlash smaller. `present` is false on parts whose DataFlash is not set in
// CONFIG (the spin then stays disabled and shows nothing).
struct DataFlashSpin {
  bool present = false;
  int highest = 1;
  int position = 1;  // clamped into 1..highest
};

class ConfigEditor {
 public:
  // `bytes` and `slider` are the job's ConfigBytes and ConfigSliderPos (in view mode a copy of the
  // read-back bytes); they must outlive the editor.
  ConfigEditor(uint32_t part_code, const PartRow& part, ConfigByteArray& bytes, uint16_t& slider, bool view);

  ConfigDialog dialog() const { return table_->dialog; }
  const ConfigEditorRow& table() const { return *table_; }
  std::string_view title() const { return table_->title; }
  bool view() const { return view_; }
  uint32_t part_code() const { return part_code_; }
  const ConfigByteArray& bytes() const { return *bytes_; }
  uint16_t slider_pos() const { return *slider_; }

  // Every dialog-level control the editor drives: OK, group boxes, radio buttons, the DataFlash
  // controls, and in the bit editor its labels, value edits and derived texts.
  std::map<int, ConfigControlState> States() const;
  DataFlashSpin Spin() const;

  // A click on a radio button; the spin control's new position. Each writes the bytes (and the page
  // count) at once and returns 1, or returns 0 and changes nothing when the control is unknown,
  // hidden or disabled, the position lies outside the range, or in view mode.
  int Click(int id);
  int Scroll(int position);

  // The bit editor's pages (0, 1 or 2; page 0 edits CONFIG0, page 1 CONFIG1), addressed by the
  // page's own ids (BitGroupId and friends). Other editors have no pages.
  int PageCount() const;
  std::map<int, ConfigControlState> PageStates(int page) const;
  int ClickPage(int page, int id);

 private:
  int CheckedValue(const ConfigFieldRow& field) const;
  bool RuleHolds(const EnableRule& rule) const;
  bool DataFlashSetInConfig() const;
  bool DataFlashOn() const;
  uint32_t FlashTop() const;
  int HighestPage() const;
  uint32_t StartAddress() const;
  int ShownPages() const;
  void WriteStart(uint32_t start);
  void PutDataFlashStates(std::map<int, ConfigControlState>& states) const;
  void RunHook(const ConfigFieldRow& field, const ConfigButton& button);
  const BitText& PageBitText(int page, unsigned bit) const;
  bool PageBitLocked(int page, unsigned bit) const;
  void PutBitsStates(std::map<int, ConfigControlState>& states) const;

  uint32_t part_code_;
  const PartRow* part_;
  ConfigByteArray* bytes_;
  uint16_t* slider_;
  bool view_;
  const ConfigEditorRow* table_;
};

// The editor the "CONFIG Setting" button and the view-mode openers use for a part code, chosen by
// ChooseConfigDialog; nothing for a code above 1214.
std::optional<ConfigEditor> OpenConfigEditor(uint32_t part_code, const PartCatalogue& catalogue,
                                             ConfigByteArray& bytes, uint16_t& slider, bool view);

}  // namespace quillet
