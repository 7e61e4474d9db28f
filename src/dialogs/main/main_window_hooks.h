#pragma once
// Where the other subsystems plug into the main window: the image buffers, the COM port search,
// the operation buttons, the TRIM read and the CONFIG editors. A hook that is not set does nothing:
// its button stays a plain button until the subsystem that owns it installs its handler.
#include <functional>
#include <map>

#include "core/job/setup_part.h"
#include "dialogs/main/main_controls.h"

namespace quillet {

struct MainWindowHooks {
  std::function<ImagePresence()> images;        // which image buffers hold a file
  std::function<void()> reload_images;          // shows the buffer of the selected tab
  std::function<void()> start_com_port_search;  // fills the COM port list on a worker
  std::function<void()> trim_read;              // the hidden TRIM read; runs on a worker
  std::function<void(ConfigDialog)> open_config_editor;
  // Handlers of the buttons by control id: Load File, Load/Save Proj, Download Programmer,
  // Programmer Information, Update Chip, Verify Chip, Read Chip, FwUpdate, Download UpdateISP.bin.
  std::map<int, std::function<void()>> buttons;
};

}  // namespace quillet
