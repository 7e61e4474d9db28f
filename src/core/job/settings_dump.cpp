#include "core/job/settings_dump.h"

#include "core/config/config_codec.h"
#include "core/report/reporter.h"

namespace quillet {

void ShowSettingsDump(JobSettings& job, const std::string& part_name, bool is_cortex_m0, Reporter& reporter) {
  job.BuildItemFlags();
  reporter.DebugByte("ProgrammerType (0=ISP; 1=ICP; 2=ISPbyCOM; 4x=GangMode; 8x=ProductionMode) = ",
                     job.ProgrammerMode);
  reporter.DebugText2("CategoryStr= ", job.CategoryStr);
  reporter.DebugText2("PartNo= ", part_name);
  reporter.DebugByte("FLAGs= ", job.ItemFlags);
  // Stored bytes 5..8 hold the low word (CONFIG0, or CONFIG3..0), bytes 1..4 the high one; each box
  // shows its word most significant byte first.
  const auto& c = job.ConfigBytes;
  reporter.DebugBytes4(is_cortex_m0 ? "CONFIG0= " : "CONFIG_3210= ", c[kLowWordByte], c[kLowWordByte + 1],
                       c[kLowWordByte + 2], c[kLowWordByte + 3]);
  reporter.DebugBytes4(is_cortex_m0 ? "CONFIG1= " : "CONFIG_7654= ", c[kHighWordByte], c[kHighWordByte + 1],
                       c[kHighWordByte + 2], c[kHighWordByte + 3]);
}

}  // namespace quillet
