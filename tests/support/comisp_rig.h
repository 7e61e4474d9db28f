#pragma once
// The boot-loader link wired to a strict simulated chip on an in-process port, in virtual time, and
// what a scenario did as text for a golden file: the line's trace (bytes one way that follow each
// other without a pause share a line, stamped with the first one's time in ms; a line repeated is
// written once with its count), the reporter's events, the display, the remembered port, the chip.
#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "core/comisp/comisp_link.h"
#include "core/operations/workbench.h"
#include "sim/boot_loader_chip.h"
#include "sim/chip_tray.h"
#include "sim/virtual_port.h"
#include "support/link_transcript.h"

namespace quillet::test_support {

struct ComIspRigSetup {
  sim::BootChipGeometry geometry{0x20000, 0x1000, false, false};
  sim::BootChipOptions options;
  sim::FaultPlan faults;
  int opens_allowed = 0;  // opens of the chip's port that succeed (0: all, -1: none)
  bool port_file_writable = true;
  // Chips in turn from a tray, reset by the operator, in place of the one chip on DTR.
  std::optional<sim::ChipTrayOptions> tray;
};

class ComIspRig {
 public:
  static constexpr const char* kPortName = "sim:chip";

  explicit ComIspRig(const ComIspRigSetup& setup = {})
      : chip_options([o = setup.options]() mutable { return o.strict = true, o; }()),
        chip(setup.geometry, chip_options),
        link(port, clock, reporter, display, job,
             dir.File(setup.port_file_writable ? "" : "none/") + kPortFile) {
    DeriveModeFlags(job);
    trace.OpenFile(dir.File("wire.txt"));
    if (setup.tray) tray = std::make_unique<sim::ChipTray>(setup.geometry, chip_options, *setup.tray);
    sim_port = std::make_unique<sim::SimulatedPort>(bench.ports(), "sim:1",
                                                    tray ? static_cast<sim::SimDevice&>(*tray) : chip, clock,
                                                    setup.faults, &trace);
    bench.ports().virtual_ports().Register(kPortName, [this, allowed = setup.opens_allowed]() {
      ++opens;
      return allowed && opens > allowed ? nullptr : bench.ports().virtual_ports().Open("sim:1");
    });
  }
  ~ComIspRig() {
    port.ClosePort();
    bench.ports().virtual_ports().Unregister(kPortName);
  }

  // Bytes that follow each other within `run_gap` share a line.
  std::string Transcript(int result, Micros run_gap) {
    sim_port->Settle();
    trace.Flush();
    std::ifstream trace_file(dir.File("wire.txt"));
    std::string line, text = "result " + std::to_string(result) + "\n-- line\n", last_rest;
    long long last_time = -1'000'000, time = 0;
    char last_kind = 0, kind = 0;
    int repeats = 0, used = 0;
    std::vector<std::string> lines;
    while (std::getline(trace_file, line)) {
      if (std::sscanf(line.c_str(), "%lld %c %n", &time, &kind, &used) < 2) continue;
      const bool byte = kind == '>' || kind == '<';
      if (byte && kind == last_kind && time - last_time <= run_gap.count() && lines.back().size() < 110) {
        lines.back() += " " + line.substr(used);
      } else {
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "%10.3f %c ", static_cast<double>(time) / 1000.0, kind);
        lines.push_back(stamp + line.substr(used));
      }
      last_kind = byte ? kind : 0;
      last_time = time;
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::string rest = lines[i].substr(11);
      ++repeats;
      if (i + 1 < lines.size() && lines[i + 1].substr(11) == rest) continue;
      text += lines[i + 1 - repeats] + (repeats > 1 ? " (" + std::to_string(repeats) + " times)\n" : "\n");
      repeats = 0;
    }
    text += "-- reports\n" + ReportText(reporter.Events()) + "-- display\n";
    for (const auto& field : display.port_fields) text += "port field: " + field + "\n";
    std::ifstream remembered(dir.File(kPortFile));
    std::stringstream name;
    name << remembered.rdbuf();
    text += "-- remembered port: " + (remembered ? name.str() : "none") + "\n";
    if (!tray) text += "-- chip: " + ChipText(chip);
    if (tray) {
      for (const auto& taken : tray->chips_taken()) text += "-- chip taken out: " + ChipText(*taken);
      if (tray->chip_in_hand()) text += "-- chip in hand: " + ChipText(*tray->chip_in_hand());
    }
    text += "-- port " + (port.IsOpen() ? "open at " + std::to_string(port.Line().baud_rate) : "closed");
    return text + ", " + std::to_string(clock.Now().count()) + " ms\n";
  }

  static std::string ChipText(const sim::BootLoaderChip& chip) {
    return std::to_string(chip.resets()) + " resets, " + std::to_string(chip.blocks_written()) +
           " written, " + std::to_string(chip.blocks_refused()) + " refused, " +
           (chip.Locked() ? "locked, " : "unlocked, ") +
           (chip.application_running() ? "application" : "boot loader") + "\n";
  }

  VirtualClock clock;
  RecordingReporter reporter{clock};
  RecordingDisplay display;
  TempDir dir;
  Workbench bench{clock, reporter, display, dir.path().string(), PortSources{false, "", {}}};
  JobSettings& job = bench.job();
  SerialPort& port = bench.port();
  WireTrace trace;
  sim::BootChipOptions chip_options;
  sim::BootLoaderChip chip;
  std::unique_ptr<sim::ChipTray> tray;
  std::unique_ptr<sim::SimulatedPort> sim_port;
  ComIspLink link;
  int opens = 0;

 private:
  static constexpr const char* kPortFile = "GUI_ComPortISP.LOG";
};

}  // namespace quillet::test_support
