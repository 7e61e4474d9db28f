#include "core/storage/project_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace quillet {
namespace {

// A job with a distinct value in every stored field.
JobSettings SampleJob() {
  JobSettings job;
  job.ProgrammerMode = 0x41;
  DeriveModeFlags(job);
  job.ConfigSliderPos = 0x0123;
  job.ApromSelected = true;
  job.ConfigSelected = true;
  job.ConfigBytes = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};
  job.SetPortName("/dev/ttyUSB3");
  job.UsageLimit = {0xEA, 0x60};
  job.UsageLimitEnabled = true;
  job.SnProgrammingEnabled = true;
  job.SnAddress = 0x0001FFF0;
  job.SnIncrement = {12, 34567890};
  job.SnValue = {87654321, 5};
  job.ChipCounterEnabled = true;
  job.CountDown = false;
  job.ChipCounter = 123456;
  job.FastProtocol = true;
  job.BuildItemFlags();
  return job;
}

void Put(std::vector<uint8_t>& bytes, std::size_t at, std::vector<uint8_t> values) {
  std::copy(values.begin(), values.end(), bytes.begin() + at);
}

void LoadImage(ImageBuffer& image, std::size_t size, const std::string& name) {
  for (std::size_t i = 0; i < size; ++i) image.data[i] = static_cast<uint8_t>(i * 13 + 5);
  image.size = static_cast<uint32_t>(size);
  image.UpdateSums();
  image.SetStoredName(name);
}

class ProjectFileTest : public ::testing::Test {
 protected:
  std::unique_ptr<ImageBuffers> images = std::make_unique<ImageBuffers>();
};

TEST_F(ProjectFileTest, HeaderBytes) {
  const JobSettings job = SampleJob();
  LoadImage(images->aprom, 4, "a.bin");
  const std::vector<uint8_t> file = EncodeProject(job, "VX1234AB", *images);

  std::vector<uint8_t> expected(256, 0);
  std::memcpy(expected.data(), "Tarvona TPJ A1.0", 16);
  std::memcpy(&expected[16], "VX1234AB", 8);
  Put(expected, 32, {0x41, 0x23, 0x01, 0x89});
  Put(expected, 40, {0x88, 0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11});
  std::memcpy(&expected[48], "/dev/ttyUSB3", 12);
  Put(expected, 64, {0xEA, 0x60, 0xFF});
  Put(expected, 72, {0xFF, 0x00, 0xF0, 0xFF, 0x01, 0x00});
  Put(expected, 80, {0x00, 0x00, 0x00, 0x12, 0x34, 0x56, 0x78, 0x90});
  Put(expected, 88, {0x87, 0x65, 0x43, 0x21, 0x00, 0x00, 0x00, 0x05});
  Put(expected, 96, {0xFF, 0x00, 0x40, 0xE2, 0x01, 0x00});
  Put(expected, 104, {0x00});
  ASSERT_EQ(file.size(), 256u + 80 + 4);
  EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + 256), expected);
}

TEST_F(ProjectFileTest, SectionBytes) {
  JobSettings job;
  job.ApromSelected = true;
  job.BuildItemFlags();
  LoadImage(images->aprom, 3, "code.bin");
  const std::vector<uint8_t> file = EncodeProject(job, "P", *images);
  std::vector<uint8_t> section(80, 0);
  std::memcpy(section.data(), "code.bin", 8);
  Put(section, 64, {3, 0, 0, 0, 5 + 18 + 31, 0, 0, 0});
  section.insert(section.end(), {5, 18, 31});
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 256, file.end()), section);
}

TEST_F(ProjectFileTest, SectionsFollowEachOther) {
  JobSettings job;
  job.ApromSelected = job.LdromSelected = true;
  job.BuildItemFlags();
  LoadImage(images->aprom, 1000, "a.bin");
  LoadImage(images->ldrom, 2048, "l.bin");
  LoadImage(images->dataFlash, 77, "not stored");
  const std::vector<uint8_t> file = EncodeProject(job, "P", *images);
  EXPECT_EQ(file.size(), 256u + 80 + 1000 + 80 + 2048);
  const auto project = DecodeProject(file);
  ASSERT_TRUE(project.has_value());
  ASSERT_EQ(project->sections.size(), 2u);
  EXPECT_EQ(project->sections[0].area, ImageArea::Aprom);
  EXPECT_EQ(project->sections[0].offset, 256u);
  EXPECT_EQ(project->sections[1].area, ImageArea::Ldrom);
  EXPECT_EQ(project->sections[1].offset, 1336u);
  EXPECT_EQ(project->sections[1].StoredName(), "l.bin");
  EXPECT_EQ(project->sections[1].size, 2048u);
  EXPECT_EQ(project->sections[1].checksum, images->ldrom.checksum);
  EXPECT_TRUE(std::equal(project->sections[1].data.begin(), project->sections[1].data.end(),
                         images->ldrom.data.begin()));
}

TEST_F(ProjectFileTest, SelectedDataFlashWithoutAFileGivesAnEmptySection) {
  JobSettings job;
  job.DataFlashSelected = true;
  job.BuildItemFlags();
  const std::vector<uint8_t> file = EncodeProject(job, "P", *images);
  ASSERT_EQ(file.size(), 256u + 80);
  const auto project = DecodeProject(file);
  ASSERT_TRUE(project.has_value());
  ASSERT_EQ(project->sections.size(), 1u);
  EXPECT_EQ(project->sections[0].area, ImageArea::DataFlash);
  EXPECT_EQ(project->sections[0].size, 0u);
}

TEST_F(ProjectFileTest, RoundTripRestoresTheSettingsButNotTheRunningValues) {
  const JobSettings saved = SampleJob();
  LoadImage(images->aprom, 10, "a.bin");
  const std::vector<uint8_t> file = EncodeProject(saved, "VX1234AB", *images);
  const auto project = DecodeProject(file);
  ASSERT_TRUE(project.has_value());
  EXPECT_EQ(project->PartName, "VX1234AB");

  JobSettings job;
  job.SnValue = {1, 2};
  job.ChipCounter = 77;
  job.PartCode = 5;
  job.SetPortName("/dev/ttyS1");
  RestoreProjectSettings(*project, job);
  EXPECT_EQ(job.ProgrammerMode, saved.ProgrammerMode);
  EXPECT_TRUE(job.CategoryMode && job.GangMode);
  EXPECT_EQ(job.ConfigSliderPos, saved.ConfigSliderPos);
  EXPECT_EQ(job.ItemFlags, saved.ItemFlags);
  EXPECT_EQ(job.ConfigBytes, saved.ConfigBytes);
  EXPECT_EQ(job.PortName(), "");
  EXPECT_EQ(job.UsageLimit, saved.UsageLimit);
  EXPECT_TRUE(job.UsageLimitEnabled && job.SnProgrammingEnabled && job.ChipCounterEnabled);
  EXPECT_EQ(job.SnAddress, saved.SnAddress);
  EXPECT_EQ(job.SnIncrement, saved.SnIncrement);
  EXPECT_FALSE(job.CountDown);
  EXPECT_TRUE(job.FastProtocol);
  EXPECT_TRUE(job.ApromSelected && job.ConfigSelected);
  EXPECT_FALSE(job.DataFlashSelected || job.LdromSelected);
  EXPECT_EQ(job.SnValue, (SplitDecimal{1, 2}));
  EXPECT_EQ(job.ChipCounter, 77u);
  EXPECT_EQ(job.PartCode, 5u);
  EXPECT_EQ(project->SnValue, saved.SnValue);
  EXPECT_EQ(project->ChipCounter, saved.ChipCounter);
}

TEST_F(ProjectFileTest, RestoreRules) {
  std::vector<uint8_t> file(256, 0);
  file[12] = 'A';                        // nothing else of the header is checked
  file[35] = 0x40 | 0x10 | 0x20 | 0x01;  // separate erase, UpdateISP download, bit 5, CONFIG; no sections
  file[104] = 0x01;                      // any non-zero byte is Normal Protocol
  file[66] = 0x02;                       // any non-zero byte is set
  const auto project = DecodeProject(file);
  ASSERT_TRUE(project.has_value());
  JobSettings job;
  job.FastProtocol = true;
  RestoreProjectSettings(*project, job);
  EXPECT_EQ(job.UsageLimit, (UsageLimitBytes{0xFF, 0xFF}));
  EXPECT_TRUE(job.UsageLimitEnabled);
  EXPECT_FALSE(job.FastProtocol);
  EXPECT_TRUE(job.SeparateApromErase && job.UpdateIspDownload && job.ConfigSelected);
  EXPECT_FALSE(job.ApromSelected);
  EXPECT_EQ(job.ItemFlags, 0x71);
  EXPECT_EQ(job.Type(), kTypeIsp);
}

TEST_F(ProjectFileTest, RefusesFilesThatDoNotHoldWhatTheyClaim) {
  JobSettings job;
  job.ApromSelected = job.DataFlashSelected = true;
  job.BuildItemFlags();
  LoadImage(images->aprom, 100, "a.bin");
  LoadImage(images->dataFlash, 50, "d.bin");
  const std::vector<uint8_t> good = EncodeProject(job, "P", *images);
  ASSERT_TRUE(DecodeProject(good).has_value());

  const auto cut = [&](std::size_t size) { return std::vector<uint8_t>(good.begin(), good.begin() + size); };
  auto wrong_format = good;
  wrong_format[12] = 'B';
  auto oversized = good;
  Put(oversized, 256 + 64, {0x01, 0x00, 0x04, 0x00});  // 0x40001 bytes
  auto huge = good;
  Put(huge, 256 + 64, {0xFF, 0xFF, 0xFF, 0xFF});
  auto extra_flag = good;
  extra_flag[35] |= 0x02;  // claims an LDROM section the file does not hold

  struct Case {
    const char* name;
    std::vector<uint8_t> file;
  };
  for (const Case& c :
       {Case{"empty", {}}, Case{"header cut", cut(255)}, Case{"format byte", wrong_format},
        Case{"first section header cut", cut(256 + 79)}, Case{"first section data cut", cut(256 + 80 + 99)},
        Case{"second section header cut", cut(256 + 180 + 40)},
        Case{"second section data cut", cut(good.size() - 1)},
        Case{"section larger than a buffer", oversized}, Case{"size near 4 GB", huge},
        Case{"claimed section missing", extra_flag}}) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(DecodeProject(c.file).has_value());
  }
  auto trailing = good;
  trailing.push_back(0x99);
  EXPECT_TRUE(DecodeProject(trailing).has_value());
}

}  // namespace
}  // namespace quillet
