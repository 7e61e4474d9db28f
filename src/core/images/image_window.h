#pragma once
// What the main window does for the image and project commands: its buffer tabs, the hex view with
// the "File Name:", size and "Checksum:" fields under them, the file dialogs and the refreshes.
// The GUI implements it; tests and the command line use their own.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/images/image_buffer.h"

namespace quillet {

// The texts of the three fields under the hex view, and the size field's label.
struct ImageTexts {
  std::string fileName;   // "File Name:"
  std::string size;       // "%d Bytes"
  std::string checksum;   // "0x%04X"
  std::string sizeLabel;  // "Code Size:" or "Data Size:"
  bool operator==(const ImageTexts&) const = default;
};

// One entry of a file dialog's type list, for example {"HEX Files (*.HEX)", "*.HEX"}.
struct FileFilter {
  std::string label;
  std::string pattern;
  bool operator==(const FileFilter&) const = default;
};

class ImageView {
 public:
  virtual ~ImageView() = default;
  // The selected buffer tab, -1 when none is.
  virtual int CurrentTab() const = 0;
  // Whether the tabs include "DataFlash Buffer" (then tab 1 is DataFlash, else LDROM).
  virtual bool DataFlashTabShown() const = 0;
  virtual void ShowHexView(std::span<const uint8_t> bytes, const ImageTexts& texts) = 0;
  // Empties the hex view and the three fields.
  virtual void ClearHexView() = 0;
};

class ImageWindow : public ImageView {
 public:
  // Modal open and save dialogs (hide read-only, overwrite prompt); nothing when cancelled.
  virtual std::optional<std::string> OpenFileDialog(const std::vector<FileFilter>& filters) = 0;
  virtual std::optional<std::string> SaveFileDialog(const std::vector<FileFilter>& filters,
                                                    const std::string& default_ext) = 0;
  // Enables and checks the item box of an area ("APROM", "DataFlash" or "LDROM").
  virtual void CheckItemBox(ImageArea area) = 0;
  // The main window's general refresh, which ends in ReloadImages.
  virtual void RefreshControls() = 0;
  // After a project load: type controls from ProgrammerMode, the category and part lists moved to
  // the loaded part, the general refresh, the CONFIG box and "CONFIG Setting" from ConfigSelected,
  // the Gang box, the "Prog. Type" field, the S/N and chip counter fields; and the COM port search
  // when `start_com_port_search` is set.
  virtual void RefreshAfterProjectLoad(bool start_com_port_search) = 0;
};

}  // namespace quillet
