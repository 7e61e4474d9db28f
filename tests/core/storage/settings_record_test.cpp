// GUI.LOG: the bytes written (tests/data/golden/settings/) and what start-up restores from files
// that are short, long or damaged; the packed BCD of its serial numbers.
#include "core/storage/settings_record.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/report/recording_reporter.h"
#include "core/storage/packed_bcd.h"
#include "support/golden.h"
#include "support/temp_dir.h"

namespace quillet {
namespace {

using V = std::vector<uint8_t>;

TEST(SettingsRecord, BytesOfTheFirstRunAndOfEveryFieldSet) {
  JobSettings first;
  ApplyFirstRunDefaults(first);
  EXPECT_TRUE(test_support::MatchesGolden("settings/first_run.log", EncodeSettingsRecord(first)));

  JobSettings job;
  job.ProgrammerMode = 0x41;
  job.PartCode = 1203;
  job.UsageLimit = {0x12, 0x34};
  job.SnProgrammingEnabled = job.ChipCounterEnabled = job.CountDown = job.FastProtocol = true;
  job.SnAddress = 0x0001FFF8;
  job.SnIncrement = {0, 25};
  job.SnValue = {12345678, 90123456};
  job.ChipCounter = 999999;
  job.SetPortName("/dev/ttyUSB0");
  const V bytes = EncodeSettingsRecord(job);
  EXPECT_TRUE(test_support::MatchesGolden("settings/every_field.log", bytes));
  JobSettings back;
  RestoreSettingsRecord(bytes, back);
  EXPECT_EQ(EncodeSettingsRecord(back), bytes);
}

V Record(std::initializer_list<std::pair<std::size_t, uint8_t>> bytes, std::size_t size = kSettingsRecordSize,
         const std::string& name = "") {
  V file(size, 0);
  for (auto [at, value] : bytes) file[at] = value;
  file.insert(file.end(), name.begin(), name.end());
  return file;
}

// What start-up makes of each file, over settings that hold other values in every field; the
// expected lines are in tests/data/golden/settings/restored.txt.
TEST(SettingsRecord, RestoresAsStartUpDoes) {
  const std::pair<const char*, V> files[] = {
      {"empty", {}},
      {"three bytes", {0x01, 0x70, 0x00}},
      {"part code cut", {0x02, 0x05}},
      {"usage 0 reads as FFFF", Record({{9, 0}}, 40)},
      {"usage kept", Record({{8, 0x02}, {9, 0x10}}, 10)},
      {"S/N address cut", Record({{11, 0x08}}, 14)},
      {"byte 40 zero is Fast Protocol", Record({}, 41)},
      {"byte 40 FF is Normal Protocol", Record({{40, 0xFF}}, 255)},
      {"exactly 256 bytes keep the name", Record({{0, 0x82}})},
      {"name follows", Record({}, 256, "/dev/ttyACM3")},
      {"name of 15", Record({}, 256, "/dev/ttyUSB1234")},
      {"name of 16 not stored", Record({}, 256, "/dev/ttyUSB12345")},
      {"name too long", Record({}, 256, std::string(44, 'x'))},
      {"damaged mode and part", Record({{0, 0x37}, {1, 0xFF}, {2, 0xFF}})},
      {"gang ICP", Record({{0, 0x41}, {1, 0x6E}})},
  };
  std::string text;
  for (const auto& [name, file] : files) {
    JobSettings job;
    job.ProgrammerMode = 0x01;
    job.PartCode = 300;
    job.UsageLimit = {1, 2};
    job.FastProtocol = true;
    job.SnAddress = 0x1234;
    job.SnIncrement = {5, 6};
    job.ChipCounter = 77;
    job.SetPortName("/dev/keep");
    RestoreSettingsRecord(file, job);
    char line[200];
    std::snprintf(line, sizeof line,
                  "%s: mode %02X part %u usage %02X%02X fast %d port %s S/N at %X + %u,%u count %u\n", name,
                  int(job.ProgrammerMode), job.PartCode, job.UsageLimit.high, job.UsageLimit.low,
                  job.FastProtocol, job.PortName().c_str(), job.SnAddress, job.SnIncrement.high,
                  job.SnIncrement.low, job.ChipCounter);
    text += line;
  }
  EXPECT_TRUE(test_support::MatchesGolden("settings/restored.txt", text));
}

TEST(SettingsFile, MissingFileGivesFirstRunDefaultsAndSaveReadsBack) {
  test_support::TempDir dir;
  const std::string path = dir.File("GUI.LOG");
  JobSettings job;
  job.SnIncrement = {9, 9};
  EXPECT_FALSE(LoadSettingsFile(path, job));
  EXPECT_EQ(job.PortName(), "/dev/ttyS0");
  EXPECT_EQ(job.SnIncrement, (SplitDecimal{0, 1}));
  VirtualClock clock;
  RecordingReporter reporter(clock);
  job.ChipCounter = 1234;
  ASSERT_EQ(SaveSettingsFile(path, job, reporter), 1);
  EXPECT_EQ(test_support::ReadBytes(path), EncodeSettingsRecord(job));
  JobSettings back;
  EXPECT_TRUE(LoadSettingsFile(path, back));
  EXPECT_EQ(back.ChipCounter, 1234u);
  // Nothing but GUI.LOG is left in the folder: the temporary file was renamed over it.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
  EXPECT_EQ(SaveSettingsFile("/nonexistent-folder/GUI.LOG", job, reporter), 0);
  EXPECT_EQ(reporter.Texts(ReportEvent::Kind::Fail),
            std::vector<std::string>{"'GUI.LOG' cannot be created !"});
}

TEST(SettingsFile, HugeFileIsReadOnlyAsFarAsNeeded) {
  test_support::TempDir dir;
  std::ofstream(dir.File("GUI.LOG"), std::ios::binary) << std::string(1 << 20, '\x01');
  JobSettings job;
  EXPECT_TRUE(LoadSettingsFile(dir.File("GUI.LOG"), job));
  EXPECT_EQ(job.ProgrammerMode, 1);
  EXPECT_EQ(job.PortName(), "");
}

TEST(PackedBcd, BothWaysAndNibblesAboveNineWeighInWithTheirValue) {
  for (const auto& [value, bytes] : {std::pair{SplitDecimal{12345678, 90123456},
                                               PackedBcd{0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x34, 0x56}},
                                     {{0, 1}, {0, 0, 0, 0, 0, 0, 0, 0x01}},
                                     {{99999999, 99999999}, {0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99}},
                                     {{10, 20000000}, {0x00, 0x00, 0x00, 0x10, 0x20, 0x00, 0x00, 0x00}}}) {
    EXPECT_EQ(ToPackedBcd(value), bytes);
    EXPECT_EQ(FromPackedBcd(bytes), value);
  }
  EXPECT_EQ(FromPackedBcd(PackedBcd{0, 0, 0, 0x0A, 0, 0, 0, 0xFF}), (SplitDecimal{10, 165}));
}

}  // namespace
}  // namespace quillet
