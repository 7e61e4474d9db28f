#include "core/job/job_settings.h"

#include <algorithm>
#include <cstdio>

namespace quillet {

void JobSettings::BuildItemFlags() {
  uint8_t flags = ItemFlags & 0x20;
  if (CategoryMode) flags |= 0x80;
  if (SeparateApromErase) flags |= 0x40;
  if (UpdateIspDownload) flags |= 0x10;
  if (ApromSelected) flags |= 0x08;
  if (DataFlashSelected) flags |= 0x04;
  if (LdromSelected) flags |= 0x02;
  if (ConfigSelected) flags |= 0x01;
  ItemFlags = flags;
}

std::string JobSettings::PortName() const {
  return PortNameText(ProgrammerPortName);
}

void JobSettings::SetPortName(std::string_view name) {
  ProgrammerPortName = MakePortNameField(name);
}

void DeriveModeFlags(JobSettings& job) {
  const uint8_t mode = job.ProgrammerMode;
  job.ComPortMode = (mode & 0x0F) == kTypeComIsp;
  job.CategoryMode = (mode & 0x0F) == kTypeIcp;
  job.GangMode = (mode & 0xF0) == kModeGang;
  job.ProductionMode = (mode & 0xF0) == kModeProduction;
}

unsigned UsageLimitForDisplay(UsageLimitBytes limit) {
  if (limit.high == 0xFF && limit.low == 0xFF) return 60000;
  return limit.high * 256u + limit.low;
}

std::string FormatSnValue(SplitDecimal value) {
  char text[32];
  std::snprintf(text, sizeof text, "%08u,%08u", value.high, value.low);
  return text;
}

std::string FormatChipCounter(uint32_t counter) {
  char text[32];
  std::snprintf(text, sizeof text, "%03u,%03u", counter / 1000, counter % 1000);
  return text;
}

}  // namespace quillet
