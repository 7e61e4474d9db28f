#include "support/link_rig.h"

#include "sim/firmware_image.h"

namespace quillet::test_support {

LinkRig::LinkRig() {
  DeriveModeFlags(job);
  sim::WriteFirmwareSet(firmware_dir.path().string(), kRigFirmwareVersion, kRigFirmwareSize, 4096);
}

LinkRig::~LinkRig() {
  port.ClosePort();
  sim_ports_.clear();
}

void LinkRig::AddDevice(std::unique_ptr<sim::SimDevice> device, sim::FaultPlan faults) {
  traces_.push_back(std::make_unique<WireTrace>());
  const std::string name = "sim:" + std::to_string(sim_ports_.size() + 1);
  sim_ports_.push_back(std::make_unique<sim::SimulatedPort>(ports, name, *device, clock, std::move(faults),
                                                            traces_.back().get(), /*strict=*/true));
  devices_.push_back(std::move(device));
}

std::vector<uint8_t> LinkRig::Wire(std::size_t index, WireDirection direction) const {
  sim_ports_[index]->Settle();
  return traces_[index]->Bytes(direction);
}

uint64_t LinkRig::StrictRefusals(std::size_t index) const {
  sim_ports_[index]->Settle();
  return sim_ports_[index]->engine().StrictRefusals();
}

std::vector<WireEvent> LinkRig::WireEvents(std::size_t index) const {
  sim_ports_[index]->Settle();
  return traces_[index]->Events();
}

sim::Task<> ReplyDevice::Run(sim::DeviceIo& io) {
  io.Send(greeting_);
  for (;;) {
    co_await io.Byte();
    io.Send(reply_);
  }
}

std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts) {
  std::vector<uint8_t> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

}  // namespace quillet::test_support
