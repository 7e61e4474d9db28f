#include "core/report/recording_reporter.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

using Kind = ReportEvent::Kind;

std::vector<ReportEvent> ResetEvents() {
  return {{Kind::Range, "", 0, 100}, {Kind::Step, "", 1}, {Kind::Pos, "", 0}, {Kind::Status, "Ready..."}};
}

std::vector<ReportEvent> Concat(std::vector<ReportEvent> a, const std::vector<ReportEvent>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(Reporter, PassResetsBeepsAndStampsInThatOrder) {
  VirtualClock clock;
  clock.Advance(std::chrono::seconds(2 * 3600 + 5 * 60 + 9));  // 2011-03-07 14:05:09
  RecordingReporter r(clock);
  r.ShowPass("Update Chip... Pass !");
  EXPECT_EQ(r.Events(), Concat(ResetEvents(), {{Kind::Sound, "", 0x00},
                                               {Kind::Pass, "Update Chip... Pass !", 0, 0, "2011-03-07_14:05:09"}}));
  EXPECT_EQ(r.ResultMessage(), "Update Chip... Pass !");
}

TEST(Reporter, PassStartsAutoCloseOnlyInProductionMode) {
  VirtualClock clock;
  RecordingReporter r(clock);
  bool production = false;
  r.SetProductionModeQuery([&] { return production; });
  r.ShowPass("a");
  production = true;
  r.ShowPass("b");
  int auto_close = 0;
  for (const auto& e : r.Events()) auto_close += e.kind == Kind::AutoCloseOn;
  EXPECT_EQ(auto_close, 1);
  // The timer starts before the window opens, so the window can be closed by it.
  const auto events = r.Events();
  EXPECT_EQ(events[events.size() - 2].kind, Kind::AutoCloseOn);
}

TEST(Reporter, FailUsesErrorSoundAndWarningResetsAfterTheBox) {
  VirtualClock clock;
  RecordingReporter r(clock);
  r.BeginPhase("Erase APROM...", 40);
  r.ShowFail("Erase APROM... Fail !");
  EXPECT_EQ(r.Status(), "Ready...");
  EXPECT_EQ(r.ProgressUpper(), 100);
  r.Clear();
  r.ShowWarning("Chip counter is at its end !");
  EXPECT_EQ(r.Events(), Concat({{Kind::Warning, "Chip counter is at its end !"}}, ResetEvents()));
}

TEST(Reporter, DebugFormats) {
  VirtualClock clock;
  RecordingReporter r(clock);
  r.DebugText("Not Tessel parts !");
  r.DebugText2("CategoryStr= ", "8051 Family");
  r.DebugByte("FLAGs= ", 0x89);
  r.DebugBytes4("CONFIG_3210= ", 0xFF, 0xFF, 0xFF, 0x7F);
  r.DebugBytes5("TRIM= ", 0x01, 0x0A, 0xB0, 0xFF, 0x00);
  r.DebugText(std::string(400, 'x'));  // the box text is cut to 255 characters
  const auto texts = r.Texts(Kind::Debug);
  ASSERT_EQ(texts.size(), 6u);
  EXPECT_EQ(texts[0], "Not Tessel parts !");
  EXPECT_EQ(texts[1], "CategoryStr= 8051 Family");
  EXPECT_EQ(texts[2], "FLAGs= 0x89");
  EXPECT_EQ(texts[3], "CONFIG_3210= 0xFF 0xFF 0xFF 0x7F");
  EXPECT_EQ(texts[4], "TRIM= 0x01 0x0A 0xB0 0xFF 0x00");
  EXPECT_EQ(texts[5].size(), 255u);
}

TEST(Reporter, TimeStampHasLeadingZerosAndUnderscore) {
  std::tm t{};
  t.tm_year = 2011 - 1900;
  t.tm_mon = 2;
  t.tm_mday = 7;
  t.tm_hour = 4;
  t.tm_min = 5;
  t.tm_sec = 9;
  EXPECT_EQ(FormatTimeStamp(t), "2011-03-07_04:05:09");
}

TEST(Reporter, StepItWrapsLikeAProgressBar) {
  VirtualClock clock;
  RecordingReporter r(clock);
  r.BeginPhase("Download Programmer (for APROM)...", 3);
  for (int i = 0; i < 3; ++i) r.StepIt();
  EXPECT_EQ(r.ProgressPos(), 3);
  r.StepIt();
  EXPECT_EQ(r.ProgressPos(), 1);
}

}  // namespace
}  // namespace quillet
