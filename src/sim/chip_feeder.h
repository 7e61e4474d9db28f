#pragma once
// The chips in the sockets. A chip has flash areas (APROM, DataFlash, LDROM), eight CONFIG bytes
// (CONFIG0 first, blank 0xFF), and may carry flaws that the Programmer runs into. The feeder seats
// a chip per socket (0 = the single Programmer, 1..4 the gang's), records every chip a Programmer
// has programmed (pass or fail) and seats a fresh one after it, up to a number of chips (0: no
// end). A socket's flaws apply to every chip seated there, as a worn socket would; a socket with
// "missing" never holds one. With a dump folder every record goes to chips.csv at once, and the
// chip's contents to chipK-aprom.bin, chipK-dataflash.bin, chipK-ldrom.bin and chipK-config.bin.
#include <array>
#include <cstdint>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/device_tables.h"

namespace quillet::sim {

enum class ChipFlaw : uint8_t {
  Missing,       // the socket is empty
  WrongPart,     // another part: its device ID does not match
  Locked,        // code protection enabled (CONFIG0 lock bit clear)
  DataFlashOff,  // DataFlash disabled in the chip's CONFIG (ISP cannot program it)
  FailAprom,     // the area does not verify after programming
  FailDataFlash,
  FailLdrom,
  FailConfig,
};

struct ChipSpec {
  uint16_t flaws = 0;
  bool Has(ChipFlaw flaw) const { return (flaws & Bit(flaw)) != 0; }
  void Add(ChipFlaw flaw) { flaws = static_cast<uint16_t>(flaws | Bit(flaw)); }
  static uint16_t Bit(ChipFlaw flaw) { return static_cast<uint16_t>(1u << static_cast<unsigned>(flaw)); }
};

// "S:flaw" as on the command line: socket 0..4 and a flaw name.
struct SocketFlaw {
  uint8_t socket;
  ChipFlaw flaw;
};
std::optional<SocketFlaw> ParseSocketFlaw(std::string_view text);
std::string ChipFlawNames();

struct Chip {
  ChipSpec spec;
  std::optional<uint16_t> part;  // the part it is; unset: whatever part the host names
  // The flash as found in the socket, flat from address 0 (DataFlash lies where its start puts it);
  // blank (0xFF) past its end. An area programmed here reads back from `areas` instead.
  std::vector<uint8_t> flash;
  std::array<std::vector<uint8_t>, 3>
      areas;  // as programmed (LDROM: also as found); empty when never written
  std::array<uint8_t, 8> config{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  std::array<uint8_t, 5> trim{0x3A, 0x51, 0x07, 0xC4, 0x2E};
  std::optional<uint8_t> read_status;  // the status a read reports in place of the chip's own
  bool Locked() const { return (config[0] & kConfig0LockBit) == 0; }
};

struct ProgrammedChip {
  uint32_t seq;
  uint8_t socket;
  bool passed;
  std::string sn;  // the 16 digits written, or "" without S/N
  Chip chip;
};

class ChipFeeder {
 public:
  // `chips`: how many chips there are to program; 0 for no end.
  explicit ChipFeeder(uint32_t chips = 0) : limit_(chips) {}
  void AddFlaw(uint8_t socket, ChipFlaw flaw) { blanks_[socket].spec.Add(flaw); }
  // What every fresh chip seated in `socket` is like (part, contents, CONFIG, TRIM, flaws).
  Chip& Blank(uint8_t socket) { return blanks_[socket]; }
  // Writes chips.csv's header into `folder`; 0 when it cannot be created.
  int SetDumpFolder(const std::string& folder);
  // Records keep the chips' contents unless told not to (long runs that dump to files).
  void KeepContents(bool keep) { keep_contents_ = keep; }

  // The chip seated in `socket`, or nothing (socket empty, or every chip handed out).
  Chip* Seat(uint8_t socket);
  // The Programmer of `socket` is done with its chip: recorded, and the seat freed.
  void Done(uint8_t socket, bool passed, std::string sn);
  const std::vector<ProgrammedChip>& programmed() const { return programmed_; }

 private:
  void Dump(const ProgrammedChip& record);

  uint32_t limit_;
  uint32_t handed_ = 0;
  uint32_t seq_ = 0;
  bool keep_contents_ = true;
  std::map<uint8_t, Chip> blanks_;
  std::map<uint8_t, Chip> seats_;
  std::vector<ProgrammedChip> programmed_;
  std::string folder_;
  std::ofstream csv_;
};

}  // namespace quillet::sim
