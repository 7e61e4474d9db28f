// The job settings: the item flags and display forms (the mode flags show in the main window's
// transcripts), each part's CONFIG defaults and editor (in tests/data/golden/setup_part.txt), and the
// settings dump of the hidden test button.
#include <gtest/gtest.h>

#include "core/job/job_settings.h"
#include "core/job/settings_dump.h"
#include "core/job/setup_part.h"
#include "core/report/recording_reporter.h"
#include "support/golden.h"

namespace quillet {
namespace {

TEST(JobSettings, BuildItemFlagsMirrorsTheFlagsAndKeepsBit5) {
  JobSettings job;
  job.CategoryMode = job.ApromSelected = job.ConfigSelected = true;
  job.BuildItemFlags();
  EXPECT_EQ(job.ItemFlags, 0x89);
  job.ItemFlags = 0xFF;  // as a loaded project left it
  job.CategoryMode = job.ApromSelected = job.ConfigSelected = false;
  job.SeparateApromErase = job.UpdateIspDownload = job.DataFlashSelected = job.LdromSelected = true;
  job.BuildItemFlags();
  EXPECT_EQ(job.ItemFlags, 0x40 | 0x20 | 0x10 | 0x04 | 0x02);
}

TEST(JobSettings, DisplayForms) {
  EXPECT_EQ(UsageLimitForDisplay({0xFF, 0xFF}), 60000u);
  EXPECT_EQ(UsageLimitForDisplay({0xEA, 0x60}), 60000u);
  EXPECT_EQ(UsageLimitForDisplay({0xFF, 0xFE}), 65534u);
  EXPECT_EQ(FormatSnValue({12, 34}), "00000012,00000034");
  EXPECT_EQ(FormatSnValue({99999999, 99999999}), "99999999,99999999");
  EXPECT_EQ(FormatChipCounter(1234), "001,234");
  EXPECT_EQ(FormatChipCounter(999999), "999,999");
}

// Each line: mode and code, then the CONFIG bytes in storage order, the slider position (7 is left
// untouched), SeparateApromErase (set up from false and from true) and the CONFIG editor.
TEST(SetupPart, DefaultConfigAndEditorPerFamily) {
  const PartCatalogue catalogue;
  const std::pair<uint8_t, uint32_t> parts[] = {
      {0x00, 2},   {0x00, 38},   {0x80, 36},   {0x00, 39},   {0x02, 40},   {0x41, 40},  {0x00, 47},
      {0x00, 50},  {0x01, 136},  {0x01, 110},  {0x01, 114},  {0x00, 111},  {0x01, 131}, {0x01, 132},
      {0x01, 200}, {0x01, 330},  {0x41, 810},  {0x01, 1208}, {0x01, 1214}, {0x01, 850}, {0x01, 921},
      {0x01, 900}, {0x01, 1100}, {0x01, 1000}, {0x00, 700},  {0x01, 5000}};
  std::string text;
  for (const auto& [mode, code] : parts) {
    JobSettings job;
    job.ProgrammerMode = mode;
    job.PartCode = code;
    job.ConfigBytes.fill(0x12);
    job.ConfigSliderPos = 7;
    JobSettings other = job;  // starting from either value of SeparateApromErase
    other.SeparateApromErase = true;
    SetupPart(job, catalogue);
    SetupPart(other, catalogue);
    char line[120];
    std::snprintf(
        line, sizeof line,
        "%02X %4u: %02X %02X %02X %02X %02X %02X %02X %02X, slider %u, separate erase %d%d, editor %d\n",
        mode, code, job.ConfigBytes[0], job.ConfigBytes[1], job.ConfigBytes[2], job.ConfigBytes[3],
        job.ConfigBytes[4], job.ConfigBytes[5], job.ConfigBytes[6], job.ConfigBytes[7], job.ConfigSliderPos,
        job.SeparateApromErase, other.SeparateApromErase,
        static_cast<int>(ChooseConfigDialog(catalogue.Row(code))));
    text += line;
  }
  EXPECT_TRUE(test_support::MatchesGolden("setup_part.txt", text));
}

TEST(ChooseConfigDialog, FirstMatchWins) {
  PartRow row;
  row.FamilyFlagB = row.FamilyFlagC = true;
  EXPECT_EQ(ChooseConfigDialog(row), ConfigDialog::k8051);
  row.IsCortexM0 = true;
  EXPECT_EQ(ChooseConfigDialog(row), ConfigDialog::kCortex);
  row.CedarPart = row.DuneFjordPart = true;
  EXPECT_EQ(ChooseConfigDialog(row), ConfigDialog::kCedar);
  row.EmberPart = true;
  EXPECT_EQ(ChooseConfigDialog(row), ConfigDialog::kEmber);
  row.FamilyFlagA = true;
  EXPECT_EQ(ChooseConfigDialog(row), ConfigDialog::k8051);
}

TEST(SettingsDump, EightOFiftyOneShowsConfig3210AndCortexConfig0ThenConfig1) {
  VirtualClock clock;
  RecordingReporter r(clock);
  JobSettings job;
  job.ProgrammerMode = 0x41;
  job.CategoryMode = job.ApromSelected = job.ConfigSelected = true;
  job.CategoryStr = "8051 Family";
  job.ConfigBytes = {0x00, 0x01, 0xFE, 0x00, 0xFF, 0x9F, 0xFF, 0x7F};
  ShowSettingsDump(job, "QX1A20", false, r);
  ShowSettingsDump(job, "VA064", true, r);
  const std::vector<std::string> texts = r.Texts(ReportEvent::Kind::Debug);
  ASSERT_EQ(texts.size(), 12u);
  EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + 6),
            (std::vector<std::string>{
                "ProgrammerType (0=ISP; 1=ICP; 2=ISPbyCOM; 4x=GangMode; 8x=ProductionMode) = 0x41",
                "CategoryStr= 8051 Family", "PartNo= QX1A20", "FLAGs= 0x89",
                "CONFIG_3210= 0xFF 0x9F 0xFF 0x7F", "CONFIG_7654= 0x00 0x01 0xFE 0x00"}));
  EXPECT_EQ(texts[10], "CONFIG0= 0xFF 0x9F 0xFF 0x7F");
  EXPECT_EQ(texts[11], "CONFIG1= 0x00 0x01 0xFE 0x00");
}

}  // namespace
}  // namespace quillet
