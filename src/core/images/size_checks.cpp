#include "core/images/size_checks.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "core/config/config_codec.h"
#include "core/report/reporter.h"

namespace quillet {
namespace {

// The CONFIG values the capacities depend on; they count only while CONFIG is selected.
struct ConfigView {
  ConfigFields fields;
  bool selected;  // ConfigSelected
  bool InForce() const { return selected && fields.DataFlashEnabled(); }
  bool LdromOn() const { return selected && fields.EmberLdromOn(); }
  int64_t Pages() const { return fields.dataflash_pages; }
  int64_t DFBA() const { return fields.dataflash_base; }
};

ConfigView ViewOf(const JobSettings& job) {
  return {DecodeConfig(job.ConfigBytes), job.ConfigSelected};
}

int64_t PartApromSize(const PartRow& part) {
  return int64_t{part.ApromLastAddress} + 1;
}

int64_t NotBelowZero(int64_t value) {
  return std::max<int64_t>(value, 0);
}

constexpr std::array<std::string_view, 3> kSizeSubjects{"Code size for APROM", "Data size for DataFlash",
                                                        "Code size for LDROM"};

int Fail(Reporter& reporter, const std::string& message) {
  reporter.ShowFail(message);
  return 0;
}

int Warn(Reporter& reporter, const std::string& message) {
  reporter.ShowWarning(message);
  return 0;
}

}  // namespace

uint32_t ComputeFlashEnd(const PartRow& part, const JobSettings& job) {
  if (part.CedarPart || part.DuneFjordPart) return part.ApromLastAddress + 1;
  if (part.EmberPart) return ViewOf(job).LdromOn() ? 0x23400 : 0x24400;
  return 0x20000;
}

int64_t ApromCapacity(const PartRow& part, const JobSettings& job, uint32_t flash_end) {
  const ConfigView config = ViewOf(job);
  const int64_t plain = PartApromSize(part);
  if (!part.DataFlashByConfig) return plain;
  if (part.FamilyFlagA) {
    if (!config.InForce()) return plain;
    return NotBelowZero(plain - ((part.FamilyFlagB ? 0x4000 : 0x10000) - config.Pages() * 256));
  }
  if (part.IsCortexM0) {
    int64_t capacity = config.InForce() ? config.DFBA() + plain - flash_end : plain;
    if (part.EmberPart && config.LdromOn()) capacity -= 0x1000;
    return NotBelowZero(capacity);
  }
  if (part.FamilyFlagB && config.InForce())
    return NotBelowZero(int64_t{part.ApromLastAddress} + config.Pages() * 256 - 0x3FFF);
  return plain;
}

DataFlashLimit DataFlashCapacity(const PartRow& part, const JobSettings& job, uint32_t flash_end) {
  const ConfigView config = ViewOf(job);
  const bool shared = part.DataFlashByConfig && (part.FamilyFlagA || part.IsCortexM0 || part.FamilyFlagB);
  if (!shared) return {part.DataFlashSize, {}};
  if (config.selected && !config.fields.DataFlashEnabled()) return {0, "DataFlash is not enabled !"};
  if (!config.selected) {
    if (part.FamilyFlagA) return {part.DataFlashSize, {}};
    return {0, "DataFlash space is not configured !"};
  }
  if (part.IsCortexM0 && !part.FamilyFlagA) return {NotBelowZero(flash_end - config.DFBA()), {}};
  const int64_t top = part.FamilyFlagB ? 0x4000 : 0x10000;
  return {NotBelowZero(top - config.Pages() * 256), {}};
}

std::string SizeMessage(ImageArea area, int64_t limit) {
  const std::string_view subject = kSizeSubjects[static_cast<int>(area)];
  const int length = static_cast<int>(subject.size());
  char text[96];
  if (limit < 1024) {
    std::snprintf(text, sizeof text, "%.*s is too large (> %d Bytes) !", length, subject.data(),
                  static_cast<int>(limit));
  } else if (limit % 1024 == 0) {
    std::snprintf(text, sizeof text, "%.*s is too large (> %d KB) !", length, subject.data(),
                  static_cast<int>(limit / 1024));
  } else if (limit % 512 == 0) {
    std::snprintf(text, sizeof text, "%.*s is too large (> %.1f KB) !", length, subject.data(),
                  limit / 1024.0);
  } else {
    std::snprintf(text, sizeof text, "%.*s is too large (> %.2f KB) !", length, subject.data(),
                  limit / 1024.0);
  }
  return text;
}

int CheckApromSize(const PartRow& part, const JobSettings& job, ImageBuffers& images, Reporter& reporter) {
  if (part.IsCortexM0) images.FlashEnd = ComputeFlashEnd(part, job);
  const int64_t capacity = ApromCapacity(part, job, images.FlashEnd);
  // Both sizes as last address + 1, in 32 bits as the Programmer counts them: an empty image's
  // 0xFFFFFFFF wraps back to size 0.
  const uint32_t together = images.aprom.lastAddress + images.dataFlash.lastAddress + 2;
  if (part.DataFlashByConfig && job.DataFlashSelected && together > PartApromSize(part)) {
    char text[64];
    std::snprintf(text, sizeof text, "Total size is too large (> %d KB) !",
                  static_cast<int>(PartApromSize(part) / 1024));
    return Fail(reporter, text);
  }
  if (images.aprom.size > capacity) return Fail(reporter, SizeMessage(ImageArea::Aprom, capacity));
  return 1;
}

int CheckDataFlashSize(const PartRow& part, const JobSettings& job, ImageBuffers& images,
                       Reporter& reporter) {
  if (part.IsCortexM0) images.FlashEnd = ComputeFlashEnd(part, job);
  const DataFlashLimit limit = DataFlashCapacity(part, job, images.FlashEnd);
  if (!limit.refusal.empty()) return Fail(reporter, std::string(limit.refusal));
  if (images.dataFlash.size > limit.capacity)
    return Fail(reporter, SizeMessage(ImageArea::DataFlash, limit.capacity));
  return 1;
}

int CheckLdromSize(const PartRow& part, const JobSettings& job, const ImageBuffers& images,
                   Reporter& reporter) {
  if (part.EmberPart) {
    if (!job.ConfigSelected) return Fail(reporter, "LDROM space is not configured !");
    if (!ViewOf(job).fields.EmberLdromOn()) return Fail(reporter, "LDROM is not enabled !");
  }
  const int64_t capacity = int64_t{part.LdromLastAddress} + 1;
  if (images.ldrom.size > capacity) return Fail(reporter, SizeMessage(ImageArea::Ldrom, capacity));
  return 1;
}

int CheckSnAddress(const PartRow& part, const JobSettings& job, const ImageBuffers& images,
                   Reporter& reporter) {
  if (job.Type() == kTypeIsp) return 1;
  if (part.IsCortexM0 && job.SnAddress % 4 != 0)
    return Warn(reporter, "Serial Number address must be a multiple of four (4) !");
  const int64_t last_start = ApromCapacity(part, job, images.FlashEnd) - 8;
  if (job.SnAddress > last_start) {
    char text[80];
    std::snprintf(text, sizeof text, "Serial Number address is too large (> 0x%llX) !",
                  static_cast<unsigned long long>(std::max<int64_t>(last_start, 0)));
    return Warn(reporter, text);
  }
  if (job.Type() == kTypeIcp && job.SnAddress < images.aprom.size)
    return Warn(reporter, "Serial Number address must be after the end of APROM code !");
  return 1;
}

int CheckUpdateImages(const PartRow& part, const JobSettings& job, ImageBuffers& images, Reporter& reporter) {
  if (job.ApromSelected && !CheckApromSize(part, job, images, reporter)) return 0;
  if (job.DataFlashSelected && !CheckDataFlashSize(part, job, images, reporter)) return 0;
  if (job.LdromSelected && !CheckLdromSize(part, job, images, reporter)) return 0;
  if (job.SnProgrammingEnabled && !CheckSnAddress(part, job, images, reporter)) return 0;
  return 1;
}

}  // namespace quillet
