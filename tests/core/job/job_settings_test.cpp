#include "core/job/job_settings.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

struct ModeCase {
  uint8_t mode;
  bool com, icp, gang, production;
};

TEST(JobSettings, DerivedFlagsFollowTheNibbles) {
  for (const ModeCase& c :
       {ModeCase{0x00, false, false, false, false}, ModeCase{0x01, false, true, false, false},
        ModeCase{0x02, true, false, false, false}, ModeCase{0x41, false, true, true, false},
        ModeCase{0x40, false, false, true, false}, ModeCase{0x82, true, false, false, true}}) {
    JobSettings job;
    job.ProgrammerMode = c.mode;
    DeriveModeFlags(job);
    EXPECT_EQ(job.ComPortMode, c.com) << int(c.mode);
    EXPECT_EQ(job.CategoryMode, c.icp) << int(c.mode);
    EXPECT_EQ(job.GangMode, c.gang) << int(c.mode);
    EXPECT_EQ(job.ProductionMode, c.production) << int(c.mode);
  }
}

TEST(JobSettings, BuildItemFlagsMirrorsTheFlagsAndKeepsBit5) {
  JobSettings job;
  job.CategoryMode = true;
  job.ApromSelected = true;
  job.ConfigSelected = true;
  job.BuildItemFlags();
  EXPECT_EQ(job.ItemFlags, 0x89);

  job.ItemFlags = 0xFF;  // as a loaded project left it
  job.CategoryMode = false;
  job.SeparateApromErase = true;
  job.UpdateIspDownload = true;
  job.ApromSelected = false;
  job.DataFlashSelected = true;
  job.LdromSelected = true;
  job.ConfigSelected = false;
  job.BuildItemFlags();
  EXPECT_EQ(job.ItemFlags, 0x40 | 0x20 | 0x10 | 0x04 | 0x02);
}

TEST(JobSettings, DisplayForms) {
  EXPECT_EQ(UsageLimitForDisplay({0xFF, 0xFF}), 60000u);
  EXPECT_EQ(UsageLimitForDisplay({0xEA, 0x60}), 60000u);
  EXPECT_EQ(UsageLimitForDisplay({0x01, 0x00}), 256u);
  EXPECT_EQ(UsageLimitForDisplay({0xFF, 0xFE}), 65534u);
  EXPECT_EQ(FormatSnValue({12, 34}), "00000012,00000034");
  EXPECT_EQ(FormatSnValue({99999999, 99999999}), "99999999,99999999");
  EXPECT_EQ(FormatChipCounter(1234), "001,234");
  EXPECT_EQ(FormatChipCounter(0), "000,000");
  EXPECT_EQ(FormatChipCounter(999999), "999,999");
}

}  // namespace
}  // namespace quillet
