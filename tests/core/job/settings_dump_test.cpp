#include "core/job/settings_dump.h"

#include <gtest/gtest.h>

#include "core/report/recording_reporter.h"

namespace quillet {
namespace {

TEST(SettingsDump, EightOFiftyOnePartShowsConfig3210AndFlags) {
  VirtualClock clock;
  RecordingReporter r(clock);
  JobSettings job;
  job.ProgrammerMode = 0x41;
  job.CategoryMode = true;
  job.CategoryStr = "8051 Family";
  job.ApromSelected = true;
  job.ConfigSelected = true;
  job.ConfigBytes[7] = 0x7F;  // CONFIG0
  ShowSettingsDump(job, "QX1A20", false, r);
  EXPECT_EQ(r.Texts(ReportEvent::Kind::Debug),
            (std::vector<std::string>{
                "ProgrammerType (0=ISP; 1=ICP; 2=ISPbyCOM; 4x=GangMode; 8x=ProductionMode) = 0x41",
                "CategoryStr= 8051 Family", "PartNo= QX1A20", "FLAGs= 0x89", "CONFIG_3210= 0xFF 0xFF 0xFF 0x7F",
                "CONFIG_7654= 0xFF 0xFF 0xFF 0xFF"}));
}

TEST(SettingsDump, CortexPartShowsConfig0ThenConfig1) {
  VirtualClock clock;
  RecordingReporter r(clock);
  JobSettings job;
  job.ConfigBytes = {0x00, 0x01, 0xFE, 0x00, 0xFF, 0x9F, 0xFF, 0xFF};
  ShowSettingsDump(job, "VA064", true, r);
  const auto texts = r.Texts(ReportEvent::Kind::Debug);
  ASSERT_EQ(texts.size(), 6u);
  EXPECT_EQ(texts[4], "CONFIG0= 0xFF 0x9F 0xFF 0xFF");
  EXPECT_EQ(texts[5], "CONFIG1= 0x00 0x01 0xFE 0x00");
}

}  // namespace
}  // namespace quillet
