#pragma once
// A window model's state as named lines, and a script's transcript: the whole state after the first
// step, then after each step the lines that changed ("name: value", or "name: -" when gone).
#include <map>
#include <sstream>
#include <string>

#include "dialogs/kit/control_states.h"

namespace quillet::test_support {

using StateLines = std::map<std::string, std::string>;

// One line per control, named by `names` or its template caption: "on"/"off", "checked", "hidden", text.
inline void AddControlLines(StateLines& lines, const DialogTemplate& dialog, const ControlStates& states,
                            const std::map<int, std::string>& names = {}) {
  for (const ControlTemplate& control : dialog.controls) {
    if (control.id == kNoId) continue;
    std::string name = names.count(control.id) ? names.at(control.id) : control.caption;
    for (char& c : name) c = c == '\n' ? ' ' : c;
    while (!name.empty() && (name.back() == '.' || name.back() == ':')) name.pop_back();
    if (name.empty()) name = "#" + std::to_string(control.id);
    const ControlState& s = states.at(control.id);
    std::string text = s.text;
    for (std::size_t at; (at = text.find('\n')) != std::string::npos;) text.replace(at, 1, "\\n");
    lines["control " + name] = std::string(s.enabled ? "on" : "off") + (s.checked ? " checked" : "") +
                               (s.visible ? "" : " hidden") + (text.empty() ? "" : " \"" + text + "\"");
  }
}

class Transcript {
 public:
  // Adds the step's heading and what changed since the last step.
  void Step(const std::string& heading, const StateLines& now) {
    text_ += "== " + heading + "\n";
    for (const auto& [name, value] : now) {
      const auto old = last_.find(name);
      if (old == last_.end() || old->second != value) text_ += name + ": " + value + "\n";
    }
    for (const auto& [name, value] : last_) {
      if (!now.count(name)) text_ += name + ": -\n";
    }
    last_ = now;
  }
  void Note(const std::string& lines) { text_ += lines; }
  const std::string& text() const { return text_; }

 private:
  StateLines last_;
  std::string text_;
};

// Runs a script of steps separated by '|': `step` does one and returns the lines to note about it,
// `state` gives the state after it.
template <typename Step, typename State>
std::string RunScript(const std::string& script, Step step, State state) {
  Transcript transcript;
  std::istringstream in(script);
  for (std::string text; std::getline(in, text, '|');) {
    const auto first = text.find_first_not_of(' ');
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    const std::string notes = step(text);
    transcript.Step(text, state());
    transcript.Note(notes);
  }
  return transcript.text();
}

}  // namespace quillet::test_support
