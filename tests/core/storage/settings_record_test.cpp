#include "core/storage/settings_record.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "core/report/recording_reporter.h"
#include "support/temp_dir.h"

namespace quillet {
namespace {

std::vector<uint8_t> Record(std::initializer_list<std::pair<std::size_t, uint8_t>> bytes,
                            std::size_t size = kSettingsRecordSize) {
  std::vector<uint8_t> file(size, 0);
  for (auto [at, value] : bytes) file[at] = value;
  return file;
}

TEST(SettingsRecord, FirstRunWritesTheDefaultRecordAndPortName) {
  JobSettings job;
  ApplyFirstRunDefaults(job);
  const auto bytes = EncodeSettingsRecord(job);
  ASSERT_EQ(bytes.size(), 256u + std::string("/dev/ttyS0").size());
  std::vector<uint8_t> expected(256, 0);
  expected[1] = 2;                 // part code 2
  expected[23] = 0x01;             // S/N increment 1, last BCD digit
  expected[40] = 0xFF;             // Normal Protocol is stored as 0xFF
  for (char c : std::string("/dev/ttyS0")) expected.push_back(static_cast<uint8_t>(c));
  EXPECT_EQ(bytes, expected);
}

TEST(SettingsRecord, EveryFieldLandsAtItsOffset) {
  JobSettings job;
  job.ProgrammerMode = 0x41;
  job.PartCode = 0x04B3;  // 1203
  job.UsageLimit = {0x12, 0x34};
  job.SnProgrammingEnabled = true;
  job.SnAddress = 0x0001FFF8;
  job.SnIncrement = {0, 25};
  job.SnValue = {12345678, 90123456};
  job.ChipCounterEnabled = true;
  job.CountDown = true;
  job.ChipCounter = 999999;
  job.FastProtocol = true;
  job.SetPortName("/dev/ttyUSB0");
  const auto b = EncodeSettingsRecord(job);
  const std::vector<uint8_t> head(b.begin(), b.begin() + 41);
  const std::vector<uint8_t> expected = {
      0x41, 0xB3, 0x04, 0, 0, 0, 0, 0,                 // mode, part code, zeros
      0x12, 0x34, 0xFF, 0xF8, 0xFF, 0x01, 0x00, 0x00,  // usage, S/N on, S/N address
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x25,  // increment 25
      0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x34, 0x56,  // S/N value
      0xFF, 0xFF, 0x3F, 0x42, 0x0F, 0x00, 0x00, 0x00,  // counter on, down, 999999
      0x00};                                           // Fast Protocol is stored as 0x00
  EXPECT_EQ(head, expected);
  EXPECT_TRUE(std::all_of(b.begin() + 41, b.begin() + 256, [](uint8_t v) { return v == 0; }));
  EXPECT_EQ(std::string(b.begin() + 256, b.end()), "/dev/ttyUSB0");

  JobSettings back;
  RestoreSettingsRecord(b, back);
  EXPECT_EQ(EncodeSettingsRecord(back), b);
}

struct RestoreCase {
  const char* name;
  std::vector<uint8_t> file;
  uint8_t mode;
  uint32_t part;
  UsageLimitBytes usage;
  bool fast;
  std::string port;
};

class RestoreTest : public ::testing::TestWithParam<RestoreCase> {};

TEST_P(RestoreTest, RestoresAsStartUpDoes) {
  const RestoreCase& c = GetParam();
  JobSettings job;
  job.SetPortName("/dev/keep");
  RestoreSettingsRecord(c.file, job);
  EXPECT_EQ(job.ProgrammerMode, c.mode);
  EXPECT_EQ(job.PartCode, c.part);
  EXPECT_EQ(job.UsageLimit, c.usage);
  EXPECT_EQ(job.FastProtocol, c.fast);
  EXPECT_EQ(job.PortName(), c.port);
}

std::vector<uint8_t> WithName(std::vector<uint8_t> file, const std::string& name) {
  file.insert(file.end(), name.begin(), name.end());
  return file;
}

INSTANTIATE_TEST_SUITE_P(
    Files, RestoreTest,
    ::testing::Values(
        // Initial values: mode 0, part 2, usage 0/0, Normal Protocol, the port kept.
        RestoreCase{"empty", {}, 0, 2, {0, 0}, false, "/dev/keep"},
        RestoreCase{"three_bytes", {0x01, 0x70, 0x00}, 1, 112, {0, 0}, false, "/dev/keep"},
        RestoreCase{"two_bytes_part_cut", {0x02, 0x05}, 2, 2, {0, 0}, false, "/dev/keep"},
        RestoreCase{"usage_zero_reads_as_ff", Record({{9, 0}}, 40), 0, 0, {0xFF, 0xFF}, false, "/dev/keep"},
        RestoreCase{"usage_kept", Record({{8, 0x02}, {9, 0x10}}, 10), 0, 0, {0x02, 0x10}, false, "/dev/keep"},
        RestoreCase{"byte_40_zero_is_fast", Record({}, 41), 0, 0, {0xFF, 0xFF}, true, "/dev/keep"},
        RestoreCase{"byte_40_ff_is_normal", Record({{40, 0xFF}}, 255), 0, 0, {0xFF, 0xFF}, false, "/dev/keep"},
        RestoreCase{"exactly_256_keeps_name", Record({{0, 0x82}}), 0x82, 0, {0xFF, 0xFF}, true, "/dev/keep"},
        RestoreCase{"name_follows", WithName(Record({}), "/dev/ttyACM3"), 0, 0, {0xFF, 0xFF}, true, "/dev/ttyACM3"},
        RestoreCase{"name_of_15", WithName(Record({}), "/dev/ttyUSB1234"), 0, 0, {0xFF, 0xFF}, true,
                    "/dev/ttyUSB1234"},
        RestoreCase{"name_of_16_not_stored", WithName(Record({}), "/dev/ttyUSB12345"), 0, 0, {0xFF, 0xFF}, true, ""},
        RestoreCase{"name_too_long", WithName(Record({}), std::string(44, 'x')), 0, 0, {0xFF, 0xFF}, true, ""},
        RestoreCase{"damaged_mode_and_part", Record({{0, 0x37}, {1, 0xFF}, {2, 0xFF}}), 0, 2, {0xFF, 0xFF},
                    true, "/dev/keep"},
        RestoreCase{"gang_icp", Record({{0, 0x41}, {1, 0x6E}}), 0x41, 110, {0xFF, 0xFF}, true, "/dev/keep"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SettingsRecord, ShortFileKeepsFieldsPastItsEnd) {
  JobSettings job;
  job.SnAddress = 0x1234;
  job.ChipCounter = 77;
  job.SnIncrement = {5, 6};
  RestoreSettingsRecord(Record({{11, 0x08}}, 14), job);  // S/N address would need bytes 11..14
  EXPECT_EQ(job.SnAddress, 0x1234u);
  EXPECT_EQ(job.SnIncrement, (SplitDecimal{5, 6}));
  EXPECT_EQ(job.ChipCounter, 77u);
}

TEST(SettingsRecord, RandomFilesOfEveryLengthRestoreSafely) {
  std::mt19937 random(7);
  for (std::size_t size : {0, 1, 3, 40, 41, 255, 256, 257, 272, 273, 300, 4096}) {
    for (int round = 0; round < 20; ++round) {
      std::vector<uint8_t> file(size);
      for (auto& b : file) b = static_cast<uint8_t>(random());
      JobSettings job;
      RestoreSettingsRecord(file, job);
      EXPECT_LT(job.PartCode, kPartCodeCount);
      EXPECT_LE(job.ProgrammerMode & 0x0F, 2);
      EXPECT_LE(job.PortName().size(), kPortNameSize);
    }
  }
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
  EXPECT_EQ(std::filesystem::file_size(path), 266u);
  JobSettings back;
  EXPECT_TRUE(LoadSettingsFile(path, back));
  EXPECT_EQ(back.ChipCounter, 1234u);
  EXPECT_EQ(back.PortName(), "/dev/ttyS0");
  // Nothing but GUI.LOG is left in the folder: the temporary file was renamed over it.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(SettingsFile, HugeFileIsReadOnlyAsFarAsNeeded) {
  test_support::TempDir dir;
  const std::string path = dir.File("GUI.LOG");
  std::ofstream(path, std::ios::binary) << std::string(1 << 20, '\x01');
  JobSettings job;
  EXPECT_TRUE(LoadSettingsFile(path, job));
  EXPECT_EQ(job.ProgrammerMode, 1);
  EXPECT_EQ(job.PortName(), "");
}

TEST(SettingsFile, UnwritableFolderShowsTheFailWindow) {
  VirtualClock clock;
  RecordingReporter reporter(clock);
  JobSettings job;
  EXPECT_EQ(SaveSettingsFile("/nonexistent-folder/GUI.LOG", job, reporter), 0);
  EXPECT_EQ(reporter.Texts(ReportEvent::Kind::Fail), std::vector<std::string>{"'GUI.LOG' cannot be created !"});
}

}  // namespace
}  // namespace quillet
