#pragma once
// Boot-loader chips handed to a host one after another by an operator, for a line without modem
// lines (a pseudo-terminal carries no DTR). The operator watches the line: when the host probes and
// no boot loader answers (the chip in the socket runs its application, its boot window is over, or
// it still works at the rate of the last exchange), the operator resets the chip `reset_after`
// later, having first swapped a chip that a host has already found for a fresh one. The host's
// DTR is ignored here, as on a pseudo-terminal.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/boot_loader_chip.h"

namespace quillet::sim {

struct ChipTrayOptions {
  Micros reset_after{Millis(300)};
  uint32_t chips = 0;  // chips in the tray; 0: no end
  // Each chip taken out (and the one in hand at the end) is written here as chipK-aprom.bin,
  // chipK-dataflash.bin and chipK-config.bin (CONFIG byte 0 first); empty: nowhere.
  std::string dump_folder;
  bool keep_chips = false;  // keep the chips taken out (tests look at them)
};

class ChipTray final : public SimDevice {
 public:
  ChipTray(const BootChipGeometry& geometry, const BootChipOptions& chip_options,
           const ChipTrayOptions& options);

  Task<> Run(DeviceIo& io) override;
  LineSettings Line() const override;
  void OnLostByte(Micros at) override;

  // The chip in the socket; null once the tray is empty.
  const BootLoaderChip* chip_in_hand() const { return chip_.get(); }
  // The chips taken out so far, when kept.
  const std::vector<std::unique_ptr<BootLoaderChip>>& chips_taken() const { return taken_; }
  uint32_t chips_taken_count() const { return taken_count_; }
  // Writes the chip in hand when a host has found it (at the end of a run); 0 when a file cannot be
  // written.
  int DumpChipInHand() const;

 private:
  // A probe the host sent before it read the chip's answer.
  bool ProbeInFlight(Micros at) const;
  void Notice(Micros at);
  void ResetIfDue(Micros at);
  int Dump(const BootLoaderChip& chip, uint32_t number) const;

  BootChipGeometry geometry_;
  BootChipOptions chip_options_;
  ChipTrayOptions options_;
  std::unique_ptr<BootLoaderChip> chip_;
  bool armed_ = false;  // the chip in hand has been reset by the operator and listens
  std::optional<Micros> reset_due_;
  std::optional<Micros> answered_at_;  // when the chip in hand last answered a probe
  uint32_t taken_count_ = 0;
  std::vector<std::unique_ptr<BootLoaderChip>> taken_;
};

}  // namespace quillet::sim
