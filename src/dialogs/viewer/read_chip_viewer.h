#pragma once
// What the Read Chip window shows: one tab per area the last read fetched (APROM always, then
// DataFlash and LDROM when they were read), the bytes of the selected area and the "Save" caption
// that names it; and the saving of those bytes. The read results are only read here.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/images/image_window.h"
#include "core/images/read_results.h"
#include "dialogs/kit/control_states.h"

namespace quillet {

class ReadChipViewer {
 public:
  // Shown when the chosen file cannot be written; the old file stays as it was.
  static constexpr const char* kSaveFailure = "Open file error !";

  // `ldrom_last_address`: the current part's last LDROM address, which sizes the LDROM area.
  ReadChipViewer(const ReadResults& read, uint32_t ldrom_last_address);

  const std::vector<std::string>& tabs() const { return tabs_; }
  int tab_index() const { return tab_; }
  ImageArea area() const { return areas_[tab_]; }
  const ControlStates& states() const { return states_; }

  // The operator chose another tab; an index without a tab changes nothing.
  void OnTabChange(int index);
  // The selected area's bytes as read, from offset 0: what the hex view shows and Save writes.
  std::span<const uint8_t> Bytes() const;

  // The save dialog's default name, extension and type list.
  std::string DefaultFileName() const;
  static std::string DefaultExtension() { return "BIN"; }
  static std::vector<FileFilter> SaveFilters();
  // Writes the selected area's bytes, nothing else, through a temporary file renamed over `path`.
  // "" when written, else the message to show (caption "ERROR").
  std::string Save(const std::string& path) const;

 private:
  const ReadResults& read_;
  uint32_t ldrom_last_;
  std::vector<ImageArea> areas_;
  std::vector<std::string> tabs_;
  int tab_ = 0;
  ControlStates states_;
};

}  // namespace quillet
