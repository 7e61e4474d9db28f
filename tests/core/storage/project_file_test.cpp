// Project files: the bytes written (tests/data/golden/project/), what loading restores, and files
// that do not hold what they claim.
#include "core/storage/project_file.h"

#include <gtest/gtest.h>

#include <memory>

#include "support/golden.h"

namespace quillet {
namespace {

using V = std::vector<uint8_t>;

// A job with a distinct value in every stored field.
JobSettings SampleJob() {
  JobSettings job;
  job.ProgrammerMode = 0x41;
  DeriveModeFlags(job);
  job.ConfigSliderPos = 0x0123;
  job.ApromSelected = job.ConfigSelected = job.UsageLimitEnabled = job.SnProgrammingEnabled = true;
  job.ChipCounterEnabled = job.FastProtocol = true;
  job.ConfigBytes = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};
  job.SetPortName("/dev/ttyUSB3");
  job.UsageLimit = {0xEA, 0x60};
  job.SnAddress = 0x0001FFF0;
  job.SnIncrement = {12, 34567890};
  job.SnValue = {87654321, 5};
  job.ChipCounter = 123456;
  job.BuildItemFlags();
  return job;
}

void LoadImage(ImageBuffer& image, std::size_t size, const std::string& name) {
  for (std::size_t i = 0; i < size; ++i) image.data[i] = static_cast<uint8_t>(i * 13 + 5);
  image.size = static_cast<uint32_t>(size);
  image.UpdateSums();
  image.SetStoredName(name);
}

JobSettings Selecting(bool aprom, bool data_flash, bool ldrom) {
  JobSettings job;
  job.ApromSelected = aprom;
  job.DataFlashSelected = data_flash;
  job.LdromSelected = ldrom;
  job.BuildItemFlags();
  return job;
}

class ProjectFileTest : public ::testing::Test {
 protected:
  std::unique_ptr<ImageBuffers> images = std::make_unique<ImageBuffers>();
};

TEST_F(ProjectFileTest, BytesOfEveryHeaderFieldAndOfTheSections) {
  LoadImage(images->aprom, 4, "a.bin");
  EXPECT_TRUE(test_support::MatchesGolden("project/every_field.tpj",
                                          EncodeProject(SampleJob(), "VX1234AB", *images)));
  // Sections follow each other, APROM first; DataFlash is not selected.
  LoadImage(images->aprom, 1000, "a.bin");
  LoadImage(images->ldrom, 2048, "l.bin");
  LoadImage(images->dataFlash, 77, "not stored");
  const V two = EncodeProject(Selecting(true, false, true), "P", *images);
  EXPECT_TRUE(test_support::MatchesGolden("project/two_sections.tpj", two));
  // A selected DataFlash without a file gives an empty section.
  *images = ImageBuffers{};
  EXPECT_TRUE(test_support::MatchesGolden("project/empty_section.tpj",
                                          EncodeProject(Selecting(false, true, false), "P", *images)));

  const auto project = DecodeProject(two);
  ASSERT_TRUE(project.has_value());
  ASSERT_EQ(project->sections.size(), 2u);
  const ProjectSection& ldrom = project->sections[1];
  EXPECT_EQ(project->sections[0].area, ImageArea::Aprom);
  EXPECT_EQ(ldrom.area, ImageArea::Ldrom);
  EXPECT_EQ(ldrom.offset, 256u + 80 + 1000);
  EXPECT_EQ(ldrom.StoredName(), "l.bin");
  EXPECT_EQ(ldrom.size, 2048u);
  EXPECT_EQ(ldrom.checksum, ByteSum(std::span(ldrom.data)));
  EXPECT_EQ(V(ldrom.data.begin(), ldrom.data.end()), V(two.end() - 2048, two.end()));
}

TEST_F(ProjectFileTest, RoundTripRestoresTheSettingsButNotTheRunningValues) {
  const JobSettings saved = SampleJob();
  LoadImage(images->aprom, 10, "a.bin");
  const auto project = DecodeProject(EncodeProject(saved, "VX1234AB", *images));
  ASSERT_TRUE(project.has_value());
  EXPECT_EQ(project->PartName, "VX1234AB");
  EXPECT_EQ(project->SnValue, saved.SnValue);
  EXPECT_EQ(project->ChipCounter, saved.ChipCounter);

  JobSettings job;
  job.SnValue = {1, 2};
  job.ChipCounter = 77;
  job.PartCode = 5;
  RestoreProjectSettings(*project, job);
  JobSettings expected = saved;
  expected.SnValue = {1, 2};
  expected.ChipCounter = 77;
  expected.PartCode = 5;
  expected.SetPortName("");  // a project forgets the port
  EXPECT_TRUE(job.CategoryMode && job.GangMode && job.ApromSelected && job.ConfigSelected);
  EXPECT_FALSE(job.DataFlashSelected || job.LdromSelected);
  EXPECT_EQ(EncodeProject(job, "VX1234AB", *images), EncodeProject(expected, "VX1234AB", *images));
}

TEST_F(ProjectFileTest, RestoreRules) {
  V file(256, 0);
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
  LoadImage(images->aprom, 100, "a.bin");
  LoadImage(images->dataFlash, 50, "d.bin");
  const V good = EncodeProject(Selecting(true, true, false), "P", *images);
  const auto changed = [&](std::size_t at, V bytes) {
    V file = good;
    std::copy(bytes.begin(), bytes.end(), file.begin() + at);
    return file;
  };
  const auto cut = [&](std::size_t size) { return V(good.begin(), good.begin() + size); };
  const std::pair<const char*, V> cases[] = {
      {"empty", {}},
      {"header cut", cut(255)},
      {"format byte", changed(12, {'B'})},
      {"first section header cut", cut(256 + 79)},
      {"first section data cut", cut(256 + 80 + 99)},
      {"second section header cut", cut(256 + 180 + 40)},
      {"second section data cut", cut(good.size() - 1)},
      {"section larger than a buffer", changed(256 + 64, {0x01, 0x00, 0x04, 0x00})},
      {"size near 4 GB", changed(256 + 64, {0xFF, 0xFF, 0xFF, 0xFF})},
      {"claimed LDROM section missing", changed(35, {uint8_t(good[35] | 0x02)})},
  };
  for (const auto& [name, file] : cases) EXPECT_FALSE(DecodeProject(file).has_value()) << name;
  V trailing = good;
  trailing.push_back(0x99);
  EXPECT_TRUE(DecodeProject(trailing).has_value());
}

}  // namespace
}  // namespace quillet
