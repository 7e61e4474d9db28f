#pragma once
// A CONFIG editor as its window shows it: the core editor's control states mapped onto the
// editor's template (and the bit editor's pages), and the clicks and scrolls passed on. In edit mode
// every change goes into the job's ConfigBytes and ConfigSliderPos at once; in view mode the editor
// works on its own copy of the read-back bytes, which nothing changes.
#include <memory>
#include <optional>
#include <vector>

#include "core/catalogue/part_catalogue.h"
#include "core/config/config_editor.h"
#include "dialogs/kit/control_states.h"

namespace quillet {

class ConfigEditorModel {
 public:
  // The editor of a part code over the job's bytes and page count; nullptr for a code without one.
  static std::unique_ptr<ConfigEditorModel> Open(uint32_t part_code, const PartCatalogue& catalogue,
                                                 ConfigByteArray& bytes, uint16_t& slider);
  // The editor of a part code in view mode, showing `bytes` as read back from a chip.
  static std::unique_ptr<ConfigEditorModel> OpenView(uint32_t part_code, const PartCatalogue& catalogue,
                                                     const ConfigByteArray& bytes);

  ConfigEditorModel(const ConfigEditorModel&) = delete;
  ConfigEditorModel& operator=(const ConfigEditorModel&) = delete;

  const DialogTemplate& dialog_template() const;
  const ControlStates& states() const { return states_; }
  int page_count() const { return editor_->PageCount(); }
  const ControlStates& page_states(int page) const { return pages_.at(page); }
  DataFlashSpin spin() const { return editor_->Spin(); }
  const ConfigEditor& editor() const { return *editor_; }

  // A radio button of the dialog, a radio button of a bit page, the spin control's new position.
  // Each returns 1 when it changed the bytes; the states are refreshed either way.
  int OnClick(int id);
  int OnPageClick(int page, int id);
  int OnScroll(int position);

 private:
  ConfigEditorModel() = default;
  // Builds the editor over `bytes` and `slider`; false when the part code has none.
  bool Start(uint32_t part_code, const PartCatalogue& catalogue, ConfigByteArray& bytes, uint16_t& slider,
             bool view);
  void Refresh();

  ConfigByteArray view_bytes_{};  // view mode: the copy the editor shows
  uint16_t view_slider_ = 0;
  std::optional<ConfigEditor> editor_;
  ControlStates states_{DialogTemplate{}};
  std::vector<ControlStates> pages_;
};

}  // namespace quillet
