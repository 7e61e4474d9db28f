#include "sim/fault_plan.h"

#include <charconv>

namespace quillet::sim {
namespace {

struct KindName {
  FaultKind kind;
  std::string_view name;
};

constexpr KindName kKindNames[] = {
    {FaultKind::DropToDevice, "drop-to-device"}, {FaultKind::CorruptToDevice, "corrupt-to-device"},
    {FaultKind::DropToHost, "drop-to-host"},     {FaultKind::CorruptToHost, "corrupt-to-host"},
    {FaultKind::ExtraToHost, "extra-to-host"},   {FaultKind::WrongAck, "wrong-ack"},
    {FaultKind::SilentAfter, "silent-after"},    {FaultKind::DisconnectAfter, "disconnect-after"},
    {FaultKind::SumError, "sum-error"},          {FaultKind::WrongSync, "wrong-sync"},
    {FaultKind::BadReport, "bad-report"},
};

}  // namespace

bool FaultPlan::Has(FaultKind kind, uint32_t n) const {
  for (const Fault& fault : faults) {
    if (fault.kind == kind && fault.n == n) return true;
  }
  return false;
}

std::optional<uint32_t> FaultPlan::First(FaultKind kind) const {
  std::optional<uint32_t> first;
  for (const Fault& fault : faults) {
    if (fault.kind == kind && (!first || fault.n < *first)) first = fault.n;
  }
  return first;
}

std::optional<Fault> ParseFault(std::string_view text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const std::string_view name = text.substr(0, colon), count = text.substr(colon + 1);
  uint32_t n = 0;
  const auto [end, error] = std::from_chars(count.data(), count.data() + count.size(), n);
  if (error != std::errc() || end != count.data() + count.size() || count.empty()) return std::nullopt;
  for (const KindName& entry : kKindNames) {
    if (entry.name == name) return Fault{entry.kind, n};
  }
  return std::nullopt;
}

std::string FaultText(const Fault& fault) {
  for (const KindName& entry : kKindNames) {
    if (entry.kind == fault.kind) return std::string(entry.name) + ":" + std::to_string(fault.n);
  }
  return "?";
}

std::string FaultKindNames() {
  std::string names;
  for (const KindName& entry : kKindNames) names += (names.empty() ? "" : ", ") + std::string(entry.name);
  return names;
}

}  // namespace quillet::sim
