#pragma once
// A Programmer link wired to simulated devices on in-process ports, in virtual time: the program's
// side (SerialPort, ProgrammerLink, a recording reporter and display) and the devices' side (one
// traced, strict SimulatedPort per device, named "sim:1", "sim:2", ... in scan order: a byte the
// program sends inside a prescribed pause is refused).
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "core/catalogue/part_catalogue.h"
#include "core/job/job_settings.h"
#include "core/operations/workbench.h"
#include "core/programmer/programmer_link.h"
#include "core/report/recording_reporter.h"
#include "core/serial/port_system.h"
#include "core/serial/serial_port.h"
#include "core/serial/wire_trace.h"
#include "core/sys/clock.h"
#include "sim/fault_plan.h"
#include "sim/sim_device.h"
#include "sim/virtual_port.h"
#include "support/temp_dir.h"

namespace quillet::test_support {

class RecordingDisplay : public OperationDisplay {
 public:
  void ShowPortField(const std::string& text) override { port_fields.push_back(text); }
  void ShowProgrammerType(const std::string& word) override { types.push_back(word); }
  void ShowSerialNumber(uint32_t high, uint32_t low) override { serial_numbers.emplace_back(high, low); }
  void ShowChipCounter(uint32_t counter) override { counters.push_back(counter); }
  void CancelProgram() override { ++cancels; }
  void ShowReadChipViewer() override { ++viewers; }
  void ShowConfigView(uint32_t part_code, const std::array<uint8_t, 8>& bytes) override {
    config_views.emplace_back(part_code, bytes);
  }
  std::vector<std::string> port_fields;
  std::vector<std::string> types;
  std::vector<std::pair<uint32_t, uint32_t>> serial_numbers;
  std::vector<uint32_t> counters;
  int cancels = 0;
  int viewers = 0;
  std::vector<std::pair<uint32_t, std::array<uint8_t, 8>>> config_views;
};

// Sizes of the invented firmware files the rig writes into its firmware folder.
constexpr std::size_t kRigFirmwareSize = 600;
constexpr uint16_t kRigFirmwareVersion = 0x0710;

class LinkRig {
 public:
  LinkRig();
  // The program's side closes its port before the simulated ports go.
  ~LinkRig();

  // Serves `device` on the next simulated port; returns the device.
  template <typename Device>
  Device& Add(std::unique_ptr<Device> device, sim::FaultPlan faults = {}) {
    Device& added = *device;
    AddDevice(std::move(device), std::move(faults));
    return added;
  }
  // The Programmer was last seen on this port (as GUI.LOG would say).
  void Remember(const std::string& port_name) { job.SetPortName(port_name); }

  // Bytes that went one way on the line of device `index` (0 = the first added).
  std::vector<uint8_t> Wire(std::size_t index, WireDirection direction) const;
  std::vector<WireEvent> WireEvents(std::size_t index) const;
  // Bytes the line of device `index` refused for coming inside a pause.
  uint64_t StrictRefusals(std::size_t index) const;
  std::vector<std::string> Failures() const { return reporter.Texts(ReportEvent::Kind::Fail); }
  std::string FirmwarePath(const std::string& file) const { return firmware_dir.File(file); }

  VirtualClock clock;
  RecordingReporter reporter{clock};
  RecordingDisplay display;
  TempDir firmware_dir;
  Workbench bench{clock, reporter, display, firmware_dir.path().string(), PortSources{false, "", {}}};
  PortSystem& ports = bench.ports();
  JobSettings& job = bench.job();
  PartCatalogue& catalogue = bench.catalogue();
  SerialPort& port = bench.port();
  ProgrammerLink& link = bench.link();

 private:
  void AddDevice(std::unique_ptr<sim::SimDevice> device, sim::FaultPlan faults);

  std::vector<std::unique_ptr<sim::SimDevice>> devices_;
  std::vector<std::unique_ptr<WireTrace>> traces_;
  std::vector<std::unique_ptr<sim::SimulatedPort>> sim_ports_;
};

// A device that sends `greeting` when it powers up and `reply` for every byte it receives.
class ReplyDevice final : public sim::SimDevice {
 public:
  ReplyDevice(std::vector<uint8_t> greeting, std::vector<uint8_t> reply)
      : greeting_(std::move(greeting)), reply_(std::move(reply)) {}
  sim::Task<> Run(sim::DeviceIo& io) override;
  LineSettings Line() const override { return sim::ProgrammerLine(); }

 private:
  std::vector<uint8_t> greeting_;
  std::vector<uint8_t> reply_;
};

// Concatenation of byte lists, for expected wire contents.
std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts);

}  // namespace quillet::test_support
