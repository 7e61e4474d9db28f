// Programmer firmware files: any file that fits the buffer reaches the simulated Programmer and Gang
// controller whole (the Programmer's with its complemented ranges restored), and any other file is
// refused before a byte is sent.
#include <algorithm>

#include "core/programmer/programmer_link.h"
#include "fuzz_support.h"
#include "sim/firmware_image.h"
#include "sim/gang_model.h"
#include "sim/programmer_model.h"
#include "sim/virtual_port.h"

using namespace quillet;

namespace {

class NoDisplay final : public NullOperationDisplay {
 public:
  void CancelProgram() override { __builtin_trap(); }  // the file is always there
};

// One update of `device` on an open port; returns the link's result.
int Update(sim::SimDevice& device, bool gang) {
  static const PartCatalogue catalogue;
  VirtualClock clock;
  PortSystem ports{PortSources{false, "", {}}};
  sim::SimulatedPort sim_port(ports, "sim:1", device, clock);
  JobSettings job;
  fuzz::CountingReporter reporter(clock);
  NoDisplay display;
  SerialPort port(ports, clock);
  ProgrammerLink link(port, clock, reporter, display, job, catalogue, fuzz::ScratchFolder());
  FUZZ_CHECK(port.OpenPort("sim:1", 115200) == 1);
  link.Variant = FirmwareVariant::Icp;
  const int result = gang ? link.UpdateGangFirmware() : link.UpdateProgrammerFirmware();
  FUZZ_CHECK(reporter.fails == (result == 0 ? 1 : 0));
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::vector<uint8_t> file(data, data + size);
  const bool fits = size <= kFirmwareBufferSize;
  fuzz::WriteScratchFile(std::string(Info(FirmwareVariant::Icp).file), file);
  fuzz::WriteScratchFile(kGangFirmwareFile, file);

  sim::ProgrammerModel programmer(Info(FirmwareVariant::Icp).type_code, 0x0700);
  const int sent = Update(programmer, false);
  FUZZ_CHECK(sent == (fits && size > 0 ? 1 : 0));
  FUZZ_CHECK(programmer.transfers() == sent);
  if (sent) FUZZ_CHECK(sim::ScrambledFile(programmer.last_image()) == file);

  sim::GangModel gang(0x0700);
  const int gang_sent = Update(gang, true);
  FUZZ_CHECK(gang_sent == (fits ? 1 : 0));
  FUZZ_CHECK(gang.transfers() == gang_sent);
  if (gang_sent) {
    std::vector<uint8_t> padded(file.begin(), file.begin() + std::min<std::size_t>(size, 4096));
    padded.resize(4096, 0xFF);
    FUZZ_CHECK(gang.last_image() == padded);
  }
  return 0;
}
