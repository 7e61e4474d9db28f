#include "qt/main/gui_operation_display.h"

#include "qt/kit/gui_thread.h"

namespace quillet {

void GuiOperationDisplay::ShowPortField(const std::string& text) {
  RunOnGuiThread(context_, detached_, [&] { actions_.port_field(text); });
}

void GuiOperationDisplay::ShowProgrammerType(const std::string& word) {
  RunOnGuiThread(context_, detached_, [&] { actions_.programmer_type(word); });
}

// The job already holds the values shown: the operation has stepped them before calling.
void GuiOperationDisplay::ShowSerialNumber(uint32_t, uint32_t) {
  RunOnGuiThread(context_, detached_, [&] { actions_.serial_number(); });
}

void GuiOperationDisplay::ShowChipCounter(uint32_t) {
  RunOnGuiThread(context_, detached_, [&] { actions_.chip_counter(); });
}

void GuiOperationDisplay::CancelProgram() {
  RunOnGuiThread(context_, detached_, [&] { actions_.cancel(); });
}

void GuiOperationDisplay::ShowConfigView(uint32_t part_code, const std::array<uint8_t, 8>& bytes) {
  RunOnGuiThread(context_, detached_, [&] { actions_.config_view(part_code, bytes); });
}

// Modal: the worker waits until the window is closed.
void GuiOperationDisplay::ShowReadChipViewer() {
  RunOnGuiThread(context_, detached_, [&] { actions_.read_chip_viewer(); });
}

}  // namespace quillet
