#pragma once
// What a Programmer link scenario did, as text for a golden file: the bytes on each simulated line
// (a line per run of bytes going one way, "> C1 C0" to the device, "< A5 07 10 AB" to the host, 32
// bytes at most per line), the reporter's events, the display's fields and where the link ended.
#include <cstdio>
#include <map>
#include <string>
#include <type_traits>
#include <vector>

#include "sim/controller_model.h"
#include "support/link_rig.h"

namespace quillet::test_support {

inline std::string ExchangeText(const std::vector<WireEvent>& events) {
  std::string text;
  int in_line = 0;
  for (std::size_t i = 0; i < events.size(); ++i) {
    const bool to_device = events[i].direction == WireDirection::ToDevice;
    if (i == 0 || events[i].direction != events[i - 1].direction || in_line == 32) {
      text += i == 0 ? "" : "\n";
      text += to_device ? ">" : "<";
      in_line = 0;
    }
    char hex[4];
    std::snprintf(hex, sizeof hex, " %02X", events[i].value);
    text += hex;
    ++in_line;
  }
  return events.empty() ? text : text + "\n";
}

// One line per event; a run of equal lines is written once with its count.
inline std::string ReportText(const std::vector<ReportEvent>& events) {
  static const char* const kKinds[] = {"status", "range",        "step",         "pos",     "stepit",
                                       "sound",  "pass",         "fail",         "warning", "debug",
                                       "box",    "autoclose on", "autoclose off"};
  std::vector<std::string> lines;
  for (const ReportEvent& e : events) {
    std::string line = kKinds[static_cast<int>(e.kind)];
    if (e.kind == ReportEvent::Kind::Range) line += " " + std::to_string(e.a) + ".." + std::to_string(e.b);
    if (e.kind == ReportEvent::Kind::Box) line += " " + e.extra;
    if (e.kind == ReportEvent::Kind::Step || e.kind == ReportEvent::Kind::Pos ||
        e.kind == ReportEvent::Kind::Sound)
      line += " " + std::to_string(e.a);
    if (!e.text.empty()) line += ": " + e.text;
    lines.push_back(line);
  }
  std::string text;
  std::size_t repeats = 1;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i + 1 < lines.size() && lines[i + 1] == lines[i]) {
      ++repeats;
      continue;
    }
    text += lines[i] + (repeats > 1 ? " x" + std::to_string(repeats) : "") + "\n";
    repeats = 1;
  }
  return text;
}

// A LinkRig that keeps track of its devices so that its transcript covers every line, and the
// firmware each simulated Programmer ends up with.
struct TranscriptRig : LinkRig {
  template <typename Device>
  Device& Serve(std::unique_ptr<Device> device, sim::FaultPlan faults = {}) {
    Device& added = Add(std::move(device), std::move(faults));
    if constexpr (std::is_base_of_v<sim::ControllerModel, Device>) controllers_[lines_] = &added;
    ++lines_;
    return added;
  }
  std::string Transcript(int result) {
    std::string text = "result " + std::to_string(result) + "\n";
    for (int i = 0; i < lines_; ++i) {
      text += "-- line sim:" + std::to_string(i + 1) + "\n" + ExchangeText(WireEvents(i));
      if (const sim::ControllerModel* device = controllers_[i]) {
        char state[64];
        std::snprintf(state, sizeof state, "device type %02X v%04X, %d transfers\n", device->type_code(),
                      device->version(), device->transfers());
        text += state;
      }
    }
    // The firmware folder is a fresh temporary one.
    std::string reports = ReportText(reporter.Events());
    const std::string folder = firmware_dir.path().string();
    for (std::size_t at; (at = reports.find(folder)) != std::string::npos;)
      reports.replace(at, folder.size(), "<fw>");
    text += "-- reports\n" + reports + "-- display\n";
    for (const auto& field : display.port_fields) text += "port field: " + field + "\n";
    for (const auto& type : display.types) text += "type: " + type + "\n";
    if (display.cancels) text += "cancelled x" + std::to_string(display.cancels) + "\n";
    text += "-- port " + job.PortName() + (port.IsOpen() ? " open" : " closed");
    if (port.IsOpen()) {
      text += ", " + std::to_string(port.Line().baud_rate) + " baud, " +
              (port.Line().stop_bits == StopBits::Two ? "2" : "1") + " stop bits" +
              (port.Timeouts() == kStandardTimeouts ? "" : ", other time-outs");
    }
    return text + ", " + std::to_string(clock.Now().count()) + " ms\n";
  }

 private:
  int lines_ = 0;
  std::map<int, const sim::ControllerModel*> controllers_;
};

}  // namespace quillet::test_support
