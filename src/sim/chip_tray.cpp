#include "sim/chip_tray.h"

#include "sim/boot_loader_tables.h"
#include "sim/firmware_image.h"

namespace quillet::sim {
namespace {

// After the chip's answer to a probe, the host's next probe may already be on the line: it arrives
// at the new rate, lost, and says nothing of a host that probes again.
constexpr Micros kProbeInFlight = Millis(20);

}  // namespace

ChipTray::ChipTray(const BootChipGeometry& geometry, const BootChipOptions& chip_options,
                   const ChipTrayOptions& options)
    : geometry_(geometry),
      chip_options_(chip_options),
      options_(options),
      chip_(std::make_unique<BootLoaderChip>(geometry, chip_options)) {}

LineSettings ChipTray::Line() const {
  if (chip_ && armed_) return chip_->Line();
  LineSettings line;
  line.baud_rate = kBootProbeBaud;
  line.binary = true;
  return line;
}

Task<> ChipTray::Run(DeviceIo& io) {
  for (;;) {
    const uint8_t byte = co_await io.Byte();
    const Micros at = io.Now();
    ResetIfDue(at);
    if (byte == kBootProbe && !ProbeInFlight(at) && (!armed_ || !chip_ || chip_->IgnoresProbe(at)))
      Notice(at);
    if (!armed_ || !chip_) continue;
    const bool running = chip_->application_running();
    const int handshakes = chip_->handshakes();
    chip_->Take(byte, at, io);
    if (chip_->handshakes() != handshakes) answered_at_ = at;
    // The host ended the exchange: what the chip holds now is final.
    if (!running && chip_->application_running() && chip_->handshakes() > 0) Dump(*chip_, taken_count_ + 1);
  }
}

void ChipTray::OnLostByte(Micros at) {
  ResetIfDue(at);
  // A byte sent before the chip went back to the probing rate is no sign of probing.
  if (ProbeInFlight(at)) return;
  // A chip left inside an exchange at its agreed rate hears no probe either.
  if (!armed_ || !chip_ || chip_->IgnoresProbe(at) || chip_->Line().baud_rate != kBootProbeBaud) Notice(at);
}

bool ChipTray::ProbeInFlight(Micros at) const {
  return answered_at_ && at - *answered_at_ < kProbeInFlight;
}

void ChipTray::Notice(Micros at) {
  if (!reset_due_) reset_due_ = at + options_.reset_after;
}

void ChipTray::ResetIfDue(Micros at) {
  if (!reset_due_ || at < *reset_due_) return;
  const Micros when = *reset_due_;
  reset_due_.reset();
  if (chip_ && armed_ && chip_->handshakes() > 0) {
    Dump(*chip_, ++taken_count_);
    if (options_.keep_chips) taken_.push_back(std::move(chip_));
    chip_.reset();
    if (options_.chips == 0 || taken_count_ < options_.chips)
      chip_ = std::make_unique<BootLoaderChip>(geometry_, chip_options_);
  }
  if (!chip_) return;
  chip_->Reset(when);
  armed_ = true;
}

int ChipTray::DumpChipInHand() const {
  if (!chip_ || chip_->handshakes() == 0) return 1;
  return Dump(*chip_, taken_count_ + 1);
}

int ChipTray::Dump(const BootLoaderChip& chip, uint32_t number) const {
  if (options_.dump_folder.empty()) return 1;
  const std::string stem = options_.dump_folder + "/chip" + std::to_string(number) + "-";
  const std::array<uint8_t, 8>& config = chip.Config();
  return WriteBytes(stem + "aprom.bin", chip.Aprom()) &&
         WriteBytes(stem + "dataflash.bin", chip.DataFlash()) &&
         WriteBytes(stem + "config.bin", std::vector<uint8_t>(config.begin(), config.end()));
}

}  // namespace quillet::sim
