#pragma once
// Faults a simulated line can inject on request, each at a byte count (1 = the first byte).
// Written as text "kind:n", for example "drop-to-device:5" or "wrong-ack:2".
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::sim {

enum class FaultKind : uint8_t {
  DropToDevice,     // the n-th byte from the host never reaches the device
  CorruptToDevice,  // the n-th byte from the host reaches the device with every bit flipped
  DropToHost,       // the n-th byte from the device never reaches the host
  CorruptToHost,    // the n-th byte from the device reaches the host with every bit flipped
  ExtraToHost,      // the n-th byte from the device arrives twice
  WrongAck,         // the n-th acknowledge the device sends has every bit flipped
  SilentAfter,      // from the n-th byte received on, the device answers nothing (0: from the start)
  DisconnectAfter,  // the line is cut when the device has received n bytes
  // Faults the device models make themselves, counted in protocol events:
  SumError,   // the n-th storage sum a Programmer sends has its top byte one too high
  WrongSync,  // the n-th sync byte of the Gang Programmer is wrong
  BadReport,  // the n-th full storage report has its part code changed
};

struct Fault {
  FaultKind kind;
  uint32_t n;
  bool operator==(const Fault&) const = default;
};

struct FaultPlan {
  std::vector<Fault> faults;
  bool Has(FaultKind kind, uint32_t n) const;
  // The smallest count given for the kind, if any.
  std::optional<uint32_t> First(FaultKind kind) const;
};

// The device models' share of a plan: each Next counts one event of its kind and tells whether the
// plan names that one. A Gang Programmer and its sockets share one.
class DeviceFaults {
 public:
  explicit DeviceFaults(FaultPlan plan = {}) : plan_(std::move(plan)) {}
  bool Next(FaultKind kind) { return plan_.Has(kind, ++counts_[static_cast<std::size_t>(kind)]); }

 private:
  FaultPlan plan_;
  std::array<uint32_t, 16> counts_{};
};

std::optional<Fault> ParseFault(std::string_view text);
std::string FaultText(const Fault& fault);
// The names of the kinds, for help texts.
std::string FaultKindNames();

}  // namespace quillet::sim
