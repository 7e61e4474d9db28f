#pragma once
// The main window as an operation's display: the port field, the "Prog. Type" field, the S/N and
// Chip Counter boxes, the cancel path, the CONFIG view and the Read Chip window. Operations call it
// from their worker; each call runs on the user-interface thread while the worker waits. After
// Detach (the window has closed while an operation still runs) every call returns at once.
#include <QObject>
#include <array>
#include <atomic>
#include <functional>
#include <string>

#include "core/report/operation_display.h"

namespace quillet {

class GuiOperationDisplay : public OperationDisplay {
 public:
  struct Actions {
    std::function<void(const std::string&)> port_field;
    std::function<void(const std::string&)> programmer_type;
    std::function<void()> serial_number;  // the box shows the job's S/N
    std::function<void()> chip_counter;   // the box shows the job's counter
    std::function<void()> cancel;
    // The part's CONFIG editor in view mode over bytes read back from a chip.
    std::function<void(uint32_t, const std::array<uint8_t, 8>&)> config_view;
    std::function<void()> read_chip_viewer;  // runs the Read Chip window until it closes
  };
  // Constructed on the user-interface thread.
  explicit GuiOperationDisplay(Actions actions) : actions_(std::move(actions)) {}

  void ShowPortField(const std::string& text) override;
  void ShowProgrammerType(const std::string& word) override;
  void ShowSerialNumber(uint32_t high, uint32_t low) override;
  void ShowChipCounter(uint32_t counter) override;
  void CancelProgram() override;
  void ShowConfigView(uint32_t part_code, const std::array<uint8_t, 8>& bytes) override;
  void ShowReadChipViewer() override;

  void Detach() { detached_ = true; }

 private:
  QObject context_;  // lives on the user-interface thread
  Actions actions_;
  std::atomic<bool> detached_ = false;
};

}  // namespace quillet
