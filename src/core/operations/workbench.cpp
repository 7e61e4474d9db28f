#include "core/operations/workbench.h"

#include "core/job/setup_part.h"
#include "core/storage/project_commands.h"

namespace quillet {
namespace {

constexpr std::string_view kPlaceholderName = "-";

// The type whose list holds `code` when the user named no type.
uint8_t ListTypeOf(uint32_t code, uint8_t current_type) {
  if (code >= kIcpCodesFirst) return kTypeIcp;
  if (code >= kComOnlyFirst && code <= kComOnlyLast) return kTypeComIsp;
  return current_type == kTypeComIsp ? kTypeComIsp : kTypeIsp;
}

}  // namespace

Workbench::Workbench(Clock& clock, Reporter& reporter, OperationDisplay& display, std::string firmware_folder,
                     PortSources port_sources)
    : clock_(clock),
      reporter_(reporter),
      display_(display),
      ports_(std::move(port_sources)),
      port_(ports_, clock_),
      link_(port_, clock_, reporter_, display_, job_, catalogue_, std::move(firmware_folder)) {
  catalogue_.SaveComOnlyNames();
}

int Workbench::ChoosePart(std::string_view name, std::optional<uint8_t> type) {
  if (name == kPlaceholderName) return 0;
  catalogue_.RestoreComOnlyNames();
  std::optional<uint32_t> code;
  if (type) {
    code = FindProjectPart(catalogue_, name, *type);
  } else {
    code = catalogue_.FindPartCode(CurrentPartName(name), 0, kPartCount - 1);
    if (code) type = ListTypeOf(*code, job_.Type());
  }
  if (!code || catalogue_.PartName(*code) == kPlaceholderName) {
    if (job_.Type() != kTypeComIsp) catalogue_.HideComOnlyNames();
    return 0;
  }
  if (*type != kTypeComIsp) catalogue_.HideComOnlyNames();
  const bool gang = job_.GangMode && *type != kTypeComIsp;
  job_.ProgrammerMode = static_cast<uint8_t>(*type | (gang ? kModeGang : 0));
  job_.PartCode = *code;
  SetupPart(job_, catalogue_);
  return 1;
}

}  // namespace quillet
