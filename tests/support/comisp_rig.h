#pragma once
// The boot-loader link wired to a simulated chip on an in-process port, in virtual time, and what a
// scenario did as text for a golden file: the line's trace (runs of bytes one way that follow each
// other without a pause on one line, with the time of their first byte in ms; a run of equal lines
// written once with its count), the reporter's events, the display, the remembered port, the chip.
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "core/comisp/comisp_link.h"
#include "core/operations/workbench.h"
#include "sim/boot_loader_chip.h"
#include "sim/sim_engine.h"
#include "sim/virtual_port.h"
#include "support/link_rig.h"
#include "support/link_transcript.h"
#include "support/temp_dir.h"

namespace quillet::test_support {

struct ComIspRigSetup {
  sim::BootChipGeometry geometry{0x20000, 0x1000, false, false};
  sim::BootChipOptions options{.strict = true};
  sim::FaultPlan faults;
  // Opens of the chip's port that succeed; later ones fail (0: all).
  int opens_allowed = 0;
  bool port_file_writable = true;
};

class ComIspRig {
 public:
  static constexpr const char* kPortName = "sim:chip";

  explicit ComIspRig(const ComIspRigSetup& setup = {})
      : chip(setup.geometry, setup.options),
        link(
            port, clock, reporter, display, job,
            setup.port_file_writable ? dir.File("GUI_ComPortISP.LOG") : dir.File("none/GUI_ComPortISP.LOG")) {
    DeriveModeFlags(job);
    trace.OpenFile(dir.File("wire.txt"));
    sim_port =
        std::make_unique<sim::SimulatedPort>(bench.ports(), "sim:1", chip, clock, setup.faults, &trace);
    bench.ports().virtual_ports().Register(kPortName, [this, allowed = setup.opens_allowed]() {
      ++opens;
      return allowed && opens > allowed ? nullptr : bench.ports().virtual_ports().Open("sim:1");
    });
  }
  ~ComIspRig() {
    port.ClosePort();
    bench.ports().virtual_ports().Unregister(kPortName);
  }

  std::string TraceText() {
    sim_port->Settle();
    trace.Flush();
    std::ifstream file(dir.File("wire.txt"));
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }

  // Bytes that follow each other within `run_gap` share a line.
  std::string Transcript(int result, Micros run_gap) {
    std::vector<std::string> lines;
    std::istringstream trace_lines(TraceText());
    std::string line;
    long long last_time = -1'000'000;
    char last_direction = 0;
    while (std::getline(trace_lines, line)) {
      long long time = 0;
      char kind = 0;
      int used = 0;
      if (std::sscanf(line.c_str(), "%lld %c %n", &time, &kind, &used) < 2) continue;
      const std::string rest = line.substr(used);
      const bool byte = kind == '>' || kind == '<';
      if (byte && kind == last_direction && time - last_time <= run_gap.count() &&
          lines.back().size() < 110) {
        lines.back() += " " + rest;
      } else {
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "%10.3f %c ", static_cast<double>(time) / 1000.0, kind);
        lines.push_back(stamp + rest);
      }
      last_direction = byte ? kind : 0;
      last_time = time;
    }
    std::string text = "result " + std::to_string(result) + "\n-- line\n" + CollapseRepeats(lines);
    text += "-- reports\n" + ReportText(reporter.Events()) + "-- display\n";
    for (const auto& field : display.port_fields) text += "port field: " + field + "\n";
    std::ifstream remembered(dir.File("GUI_ComPortISP.LOG"));
    std::string name((std::istreambuf_iterator<char>(remembered)), std::istreambuf_iterator<char>());
    text += "-- remembered port: " + (remembered ? name : std::string("none")) + "\n";
    char chip_state[160];
    std::snprintf(chip_state, sizeof chip_state,
                  "-- chip: %d resets, %d blocks written, %d refused, %s, %s\n", chip.resets(),
                  chip.blocks_written(), chip.blocks_refused(), chip.Locked() ? "locked" : "unlocked",
                  chip.application_running() ? "application" : "boot loader");
    text += chip_state;
    text += "-- port " +
            std::string(port.IsOpen() ? "open at " + std::to_string(port.Line().baud_rate) : "closed");
    return text + ", " + std::to_string(clock.Now().count()) + " ms\n";
  }

  VirtualClock clock;
  RecordingReporter reporter{clock};
  RecordingDisplay display;
  TempDir dir;
  Workbench bench{clock, reporter, display, dir.path().string(), PortSources{false, "", {}}};
  JobSettings& job = bench.job();
  SerialPort& port = bench.port();
  WireTrace trace;
  sim::BootLoaderChip chip;
  std::unique_ptr<sim::SimulatedPort> sim_port;
  ComIspLink link;
  int opens = 0;

 private:
  // The line "  12.345 > 00" repeated n times after itself becomes "  12.345 > 00 (n times)"
  // (the time is the first one's).
  static std::string CollapseRepeats(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size();) {
      std::size_t j = i + 1;
      while (j < lines.size() && lines[j].size() > 11 && lines[j].substr(11) == lines[i].substr(11)) ++j;
      text += lines[i] + (j - i > 1 ? " (" + std::to_string(j - i) + " times)" : "") + "\n";
      i = j;
    }
    return text;
  }
};

}  // namespace quillet::test_support
