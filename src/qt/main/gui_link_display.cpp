#include "qt/main/gui_link_display.h"

#include "qt/kit/gui_thread.h"

namespace quillet {

void GuiLinkDisplay::ShowPortField(const std::string& text) {
  RunOnGuiThread(context_, detached_, [&] { actions_.port_field(text); });
}

void GuiLinkDisplay::ShowProgrammerType(const std::string& word) {
  RunOnGuiThread(context_, detached_, [&] { actions_.programmer_type(word); });
}

void GuiLinkDisplay::CancelProgram() {
  RunOnGuiThread(context_, detached_, [&] { actions_.cancel(); });
}

}  // namespace quillet
