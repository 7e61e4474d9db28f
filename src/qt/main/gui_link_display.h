#pragma once
// The main window as the Programmer link's display: the port field, the "Prog. Type" field and the
// cancel path. The link calls it from an operation's worker; each call runs on the user-interface
// thread while the worker waits. After Detach (the window has closed while an operation still runs)
// every call returns at once.
#include <QObject>
#include <atomic>
#include <functional>
#include <string>

#include "core/programmer/programmer_link.h"

namespace quillet {

class GuiLinkDisplay : public LinkDisplay {
 public:
  struct Actions {
    std::function<void(const std::string&)> port_field;
    std::function<void(const std::string&)> programmer_type;
    std::function<void()> cancel;
  };
  // Constructed on the user-interface thread.
  explicit GuiLinkDisplay(Actions actions) : actions_(std::move(actions)) {}

  void ShowPortField(const std::string& text) override;
  void ShowProgrammerType(const std::string& word) override;
  void CancelProgram() override;

  void Detach() { detached_ = true; }

 private:
  QObject context_;  // lives on the user-interface thread
  Actions actions_;
  std::atomic<bool> detached_ = false;
};

}  // namespace quillet
