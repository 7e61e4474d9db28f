// The recorder over GUI.LOG and Production.csv: the bytes a run leaves and the state after a kill at
// every write of it (tests/data/golden/production/), unwritable files, and the tally patch.
#include "core/storage/settings_recorder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "core/report/recording_reporter.h"
#include "core/storage/production_log.h"
#include "core/storage/settings_record.h"
#include "support/golden.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace quillet {
namespace {

using V = std::vector<uint8_t>;
using test_support::ReadBytes;
using test_support::WriteBytes;

V BaseRecord() {
  JobSettings job;
  job.ProgrammerMode = 0x41;
  job.SnProgrammingEnabled = job.ChipCounterEnabled = true;
  job.SnAddress = 0x1FFF8;
  job.SnValue = {0, 123};
  job.ChipCounter = 5;
  job.SetPortName("/dev/ttyUSB0");
  return EncodeSettingsRecord(job);
}

struct Chips {
  std::vector<ChipStart> starts;
  ProductionTally reserved;
  std::vector<ChipOutcome> outcomes;
  ProductionTally committed;
  const char* warned;  // per kill point of the step: 'W' when the next start warns
};

std::vector<Chips> Sequence() {
  const SplitDecimal sn123{0, 123}, sn124{0, 124};
  Chips gang{{}, {{0, 128}, 6}, {}, {{0, 128}, 9}, "-----WWWWW-"};
  for (uint8_t socket = 1; socket <= 4; ++socket) {
    const SplitDecimal sn{0, 123u + socket};
    gang.starts.push_back({socket, sn});
    gang.outcomes.push_back(
        {socket, sn, socket == 2 ? ChipResult::Skipped : ChipResult::Passed,
         socket == 2 ? "Failed chips:  #2  " : "All chips are successfully programmed !"});
  }
  gang.outcomes[0].message += "\n\n( #1's S/N='00000000,00000124' at address 0x1FFF8 )";
  return {{{{0, sn123}},
           {{0, 124}, 5},
           {{0, sn123, ChipResult::Passed,
             "Chip is successfully updated !\n\n( S/N='00000000,00000123' at address 0x1FFF8 )"}},
           {{0, 124}, 6},
           "--WW-"},
          // A failed chip's committed S/N is the one it started with: as if cut off before programming.
          {{{0, sn124}},
           {{0, 125}, 6},
           {{0, sn124, ChipResult::Failed, "Update DataFlash error !\nCheck if DataFlash was locked."}},
           {{0, 124}, 6},
           "--W--"},
          gang,
          {{{0, std::nullopt}},
           {{0, 128}, 9},
           {{0, std::nullopt, ChipResult::Passed, "ok"}},
           {{0, 128}, 10},
           "-WWW-"}};
}

struct Rig {
  Rig() { WriteBytes(settings, BaseRecord()); }
  int Run(const Chips& chips) {
    clock.Advance(std::chrono::seconds(7));
    if (!recorder.ChipsStarting(chips.starts, chips.reserved)) return 0;
    clock.Advance(std::chrono::seconds(12));
    return recorder.ChipsFinished(chips.outcomes, chips.committed);
  }

  test_support::TempDir dir;
  std::string settings = dir.File(kSettingsFileName);
  std::string log = dir.File(kProductionLogName);
  VirtualClock clock;
  RecordingReporter reporter{clock};
  std::vector<std::size_t> log_at_encode;  // the log's size each time the settings file is made
  SettingsFileRecorder recorder{settings,
                                [this](const ProductionTally& tally) {
                                  log_at_encode.push_back(ReadBytes(log).size());
                                  return PatchSettingsTally(BaseRecord(), tally);
                                },
                                reporter, &clock};
};

uint64_t Number(SplitDecimal sn) {
  return sn.high * 100000000ull + sn.low;
}

// After each step's kill states (each log line, the settings file) the next start must leave: no S/N
// on two passed chips or handed out after being skipped, no step of a logged PASS lost, a warning
// exactly for chips that may be half-programmed, and nothing open for the start after.
TEST(SettingsRecorder, ARunLeavesExactBytesAndAKillAtAnyWriteAConsistentStart) {
  Rig rig;
  const std::vector<Chips> steps = Sequence();
  std::vector<std::pair<V, V>> states{{ReadBytes(rig.settings), ReadBytes(rig.log)}};  // before each step
  for (const Chips& chips : steps) {
    ASSERT_EQ(rig.Run(chips), 1);
    states.push_back({ReadBytes(rig.settings), ReadBytes(rig.log)});
  }
  EXPECT_TRUE(test_support::MatchesGolden("production/run.csv", states.back().second));
  EXPECT_TRUE(test_support::MatchesGolden("production/after_run.log", states.back().first));
  EXPECT_TRUE(rig.reporter.Events().empty());

  std::string transcript;
  for (std::size_t step = 0; step < steps.size(); ++step) {
    const auto& [settings_before, log_before] = states[step];
    const auto& [settings_after, log_after] = states[step + 1];
    const std::size_t from =
        std::max(log_before.size(), sizeof kProductionLogHeader - 1);  // a new log's header
    std::vector<std::size_t> line_ends{from};
    for (std::size_t i = from; i < log_after.size(); ++i)
      if (log_after[i] == '\n') line_ends.push_back(i + 1);
    const std::size_t n = steps[step].starts.size();
    // The reservation follows every STARTED line, the commit precedes every result line.
    EXPECT_EQ(rig.log_at_encode[2 * step], line_ends[n]);
    EXPECT_EQ(rig.log_at_encode[2 * step + 1], line_ends[n]);
    for (std::size_t kill = 0; kill < 2 * n + 3; ++kill) {
      // After 0..n STARTED lines; after the reservation; after the commit and 0..n result lines.
      WriteBytes(rig.settings, kill <= n       ? settings_before
                               : kill == n + 1 ? PatchSettingsTally(BaseRecord(), steps[step].reserved)
                                               : settings_after);
      const V log(log_after.begin(), log_after.begin() + line_ends[kill <= n       ? kill
                                                                   : kill == n + 1 ? n
                                                                                   : kill - 2]);
      WriteBytes(rig.log, log);
      rig.reporter.Clear();
      const std::string at =
          "step " + std::to_string(step + 1) + " killed after write " + std::to_string(kill);
      EXPECT_EQ(ReportInterruptedUpdate(rig.settings, rig.reporter, &rig.clock),
                steps[step].warned[kill] == 'W')
          << at;
      const V closed = ReadBytes(rig.log);
      transcript += "== " + at + "\n";
      for (const auto& text : rig.reporter.Texts(ReportEvent::Kind::Warning)) transcript += text + "\n--\n";
      transcript += std::string(closed.begin() + log.size(), closed.end());

      JobSettings next;
      LoadSettingsFile(rig.settings, next);
      std::set<uint64_t> passed;
      unsigned passes = 0;
      for (const auto& line : ReadProductionTail(rig.log, 1 << 20)) {
        const bool pass = line.event == LogEvent::Passed;
        passes += pass;
        if (line.sn && (pass || line.event == LogEvent::Skipped)) {
          EXPECT_LT(Number(*line.sn), Number(next.SnValue)) << at;
          EXPECT_TRUE(!pass || passed.insert(Number(*line.sn)).second) << at;
        }
      }
      EXPECT_GE(next.ChipCounter, 5u + passes) << at;
      EXPECT_EQ(ReportInterruptedUpdate(rig.settings, rig.reporter, &rig.clock), 0) << at;
      EXPECT_EQ(ReadBytes(rig.log), closed) << at;
    }
  }
  EXPECT_TRUE(test_support::MatchesGolden("production/kill_points.txt", transcript));
}

TEST(SettingsRecorder, UnwritableFilesStopTheChipWithTheirMessage) {
  const Chips first = Sequence()[0];
  {
    Rig rig;
    std::filesystem::create_directory(rig.log);
    EXPECT_EQ(rig.recorder.ChipsStarting(first.starts, first.reserved), 0);
    EXPECT_EQ(rig.reporter.Texts(ReportEvent::Kind::Warning),
              std::vector<std::string>{"'Production.csv' cannot be written !"});
    EXPECT_EQ(ReadBytes(rig.settings), BaseRecord());
  }
  Rig rig;
  std::filesystem::remove(rig.settings);
  std::filesystem::create_directory(rig.settings);
  EXPECT_EQ(rig.recorder.ChipsStarting(first.starts, first.reserved), 0);
  EXPECT_EQ(rig.recorder.ChipsFinished(first.outcomes, first.committed), 0);
  EXPECT_EQ(rig.reporter.Texts(ReportEvent::Kind::Fail),
            std::vector<std::string>(2, "'GUI.LOG' cannot be created !"));
  std::string results;
  for (const auto& line : ReadProductionTail(rig.log, 4096)) results += FormatProductionLine(line).substr(19);
  EXPECT_EQ(results,
            ",0,0000000000000123,STARTED,\n,0,0000000000000123,FAIL,'GUI.LOG' cannot be created !\n"
            ",0,0000000000000123,SKIPPED,'GUI.LOG' cannot be created !\n");
}

// A patched file keeps its own bytes but the tally, and holds what the window would write after
// starting from it in every byte it did not have.
TEST(SettingsRecorder, PatchChangesOnlyTheTallyOfAnyFile) {
  const V full = BaseRecord();
  V long_name = full;
  long_name.insert(long_name.end(), 40, 'x');
  const ProductionTally tally{{12345678, 87654321}, 654321};
  for (const V& file : {full, long_name, V{}, V(full.begin(), full.begin() + 30)}) {
    const V patched = PatchSettingsTally(file, tally);
    ASSERT_EQ(patched.size(), std::max(file.size(), kSettingsRecordSize));
    JobSettings window;
    RestoreSettingsRecord(file, window);
    window.SnValue = tally.sn;
    window.ChipCounter = tally.counter;
    const V written = EncodeSettingsRecord(window);
    for (std::size_t i = 0; i < patched.size(); ++i) {
      const bool tally_byte = (i >= kSnValueOffset && i < kSnValueOffset + 8) ||
                              (i >= kChipCounterOffset && i < kChipCounterOffset + 4);
      EXPECT_EQ(patched[i], tally_byte || i >= file.size() ? written[i] : file[i])
          << file.size() << " at " << i;
    }
  }
}

}  // namespace
}  // namespace quillet
