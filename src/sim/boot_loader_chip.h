#pragma once
// A chip that runs its boot loader after a reset: its flash (APROM, and DataFlash either apart or
// carved out of APROM where CONFIG puts it), its CONFIG bytes and their lock. After a reset (DTR
// held raised, then lowered) it listens at 9600 baud for a boot window; it answers the first probe
// with its baud code and switches its UART to that rate. It then takes erase, block and CONFIG
// commands; blocks land one after another from the start of the area last erased. A wrong sum, a
// block before the erase or past the area is answered 0x00 and not written. The end command
// starts the application: the chip hears nothing more until the next reset.
#include <array>
#include <cstdint>
#include <vector>

#include "core/catalogue/part_row.h"
#include "sim/sim_device.h"

namespace quillet::sim {

// The flash of a part as its boot loader sees it.
struct BootChipGeometry {
  uint32_t aprom_size = 0;  // with DataFlash carved out by CONFIG: the space the two share
  uint32_t dataflash_size = 0;
  bool dataflash_by_config = false;
  bool cortex = false;  // DataFlash start in CONFIG1; else CONFIG byte 1 x 256
};
BootChipGeometry GeometryOf(const PartRow& row);

struct BootChipOptions {
  uint8_t baud_code = 0x73;
  // Answers to the first probes, before the baud code (bytes the host is to pass over).
  std::vector<uint8_t> probe_answers;
  Micros erase_time{0};
  Micros program_time{0};  // per block
  Micros config_time{0};
  Micros boot_window{Millis(300)};  // 0: the boot loader listens for ever
  // A host byte that starts inside a pause the protocol prescribes spoils the exchange it belongs
  // to: the block or CONFIG is answered 0x00 and not written.
  bool strict = false;
  // How much sooner a byte may start before it counts as inside a pause: in real time the host's
  // write times are known only as well as the server's wake-ups place them.
  Micros strict_slack{0};
  bool locked = false;  // starts with the lock bit of CONFIG byte 0 clear
  // The chip hears nothing before this moment (the operator powers it on).
  Micros power_on{0};
};

class BootLoaderChip final : public SimDevice {
 public:
  BootLoaderChip(const BootChipGeometry& geometry, const BootChipOptions& options);

  Task<> Run(DeviceIo& io) override;
  LineSettings Line() const override;
  void OnModemLines(bool dtr, bool rts, Micros at) override;

  // A byte from the host that arrived at `at` (Run hands each one here).
  void Take(uint8_t byte, Micros at, DeviceIo& io) { Handle(byte, at, io); }
  // The reset line pulsed at `at`: the boot loader starts again and opens its boot window.
  void Reset(Micros at);
  // Whether a probe arriving at `at` goes unanswered: the boot window is over, or the boot loader
  // (or the application) already runs at the agreed rate.
  bool IgnoresProbe(Micros at) const;

  // Contents as a reader of the chip would dump them.
  std::vector<uint8_t> Aprom() const;
  std::vector<uint8_t> DataFlash() const;
  // CONFIG byte 0 first.
  const std::array<uint8_t, 8>& Config() const { return config_; }
  bool Locked() const;
  int resets() const { return resets_; }
  // Baud codes answered: the times a host found the boot loader.
  int handshakes() const { return handshakes_; }
  int blocks_written() const { return blocks_written_; }
  int blocks_refused() const { return blocks_refused_; }
  bool application_running() const { return state_ == State::Application; }

 private:
  enum class State { BootWindow, Commands, Length, Data, SumHigh, SumLow, ConfigBytes, Application };
  enum class Area { Aprom, DataFlash };
  struct Span {
    std::vector<uint8_t>* memory;
    uint32_t begin;
    uint32_t end;
  };

  void Handle(uint8_t byte, Micros at, DeviceIo& io);
  void Probe(uint8_t byte, Micros at, DeviceIo& io);
  void Command(uint8_t command, DeviceIo& io);
  void Packet(uint8_t byte, DeviceIo& io);
  void ConfigByte(uint8_t byte, DeviceIo& io);
  void FinishPacket(uint16_t sum, DeviceIo& io);
  // Where an area lies now (DataFlash may move with CONFIG).
  Span AreaSpan(Area area);
  uint32_t DataFlashStart() const;
  // A byte that starts before the quiet time of the byte before it has ended.
  bool TooSoon(Micros at) const;
  bool WindowOver(Micros at) const;

  BootChipGeometry geometry_;
  BootChipOptions options_;
  std::vector<uint8_t> flash_;      // APROM, and a DataFlash carved out of it
  std::vector<uint8_t> dataflash_;  // a DataFlash apart
  std::array<uint8_t, 8> config_{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  uint32_t baud_rate_;
  State state_ = State::BootWindow;
  Micros boot_start_;
  std::size_t probes_answered_ = 0;
  bool dtr_ = false;
  Micros dtr_since_{0};
  int resets_ = 0;
  int handshakes_ = 0;
  // The exchange under way.
  Area area_ = Area::Aprom;
  std::array<bool, 2> erased_{};
  std::array<uint32_t, 2> next_{};  // offsets of the next block within the areas
  std::vector<uint8_t> received_;
  std::size_t length_ = 0;
  uint8_t sum_high_ = 0;
  bool spoiled_ = false;
  Micros quiet_until_{0};
  int blocks_written_ = 0;
  int blocks_refused_ = 0;
};

}  // namespace quillet::sim
