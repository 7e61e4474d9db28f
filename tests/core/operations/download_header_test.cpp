// The blocks a download sends, against the layout the Programmer reads: the composed blocks as a
// golden hex dump, and table cases for the derived bytes.
#include <gtest/gtest.h>

#include <cstdio>

#include "core/operations/chip_operations.h"
#include "core/operations/download_header.h"
#include "support/golden.h"

namespace quillet {
namespace {

std::string Hex(std::span<const uint8_t> bytes) {
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02X", bytes[i]);
    text += hex;
    text += (i % 16 == 15 || i + 1 == bytes.size()) ? "\n" : " ";
  }
  return text;
}

void Load(ImageBuffer& image, uint32_t size, uint8_t fill, int minute, int second) {
  std::fill_n(image.data.begin(), size, fill);
  image.size = size;
  image.UpdateSums();
  image.UpdateStampSums();
  image.SetStampTime(second, minute);
}

TEST(DownloadBlocks, LayoutOfHeaderGangHeaderAndSnBlock) {
  PartRow part;
  part.PartName = "QT51ZX4-LB12";  // 12 characters: 4 zero bytes in the name block, 13 in the gang header
  part.DeviceCode = 0x3A;
  part.PartParam1 = 0x1C2;
  part.PartParam2 = 0x2D3;
  part.PartParam3 = 0x44;
  part.PartParam4 = 0x55;
  part.PartParam5 = 0x6677;
  part.ConfigByteCount = 4;
  part.PartParam7 = 0x88;
  part.PartParam8 = 0x99;
  part.DataFlashBase = 0x1F000;
  JobSettings job;
  job.PartCode = 0x123;
  job.ApromSelected = job.LdromSelected = job.ConfigSelected = true;
  job.GangMode = job.GangVerifyOnly = true;
  job.ConfigBytes = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};
  job.UsageLimitEnabled = true;
  job.UsageLimit = {0x01, 0x2C};
  job.SnAddress = 0x1FFF8;
  job.SnValue = {12345678, 90123456};
  job.SnIncrement = {0, 250};
  job.BuildItemFlags();
  auto images = std::make_unique<ImageBuffers>();
  Load(images->aprom, 1000, 0xC3, 0x21, 0x3B);
  Load(images->dataFlash, 300, 0x7E, 0x05, 0x06);
  images->dataFlash.ClearStampChecksumLow();      // not selected
  Load(images->ldrom, 0x1000, 0xFF, 0x10, 0x11);  // a sum over 24 bits keeps its low 24
  images->ConfigChecksum = ConfigByteSum(job.ConfigBytes);

  const std::string text = "download header\n" + Hex(BuildDownloadHeader(part, job, *images)) +
                           "part name block\n" + Hex(PartNameBlock(part)) + "gang header\n" +
                           Hex(BuildGangHeader(part, job, *images)) + "S/N block\n" + Hex(BuildSnBlock(job));
  EXPECT_TRUE(test_support::MatchesGolden("operations/download_blocks.txt", text));
}

TEST(DownloadBlocks, DataFlashStartFirstMatchingRuleWins) {
  const ConfigByteArray config{0x10, 0x21, 0x32, 0x43, 0x54, 0x65, 0x76, 0x87};
  enum Flag { A = 1, M0 = 2, B = 4, C = 8, ByConfig = 16 };
  const struct {
    int flags;
    std::array<uint8_t, 2> expected;
  } cases[] = {
      {A | ByConfig, {0x01, 0x00}},
      {A | M0 | ByConfig, {0x01, 0x00}},
      {M0 | ByConfig, {0x21, 0x32}},
      {M0 | B | ByConfig, {0x21, 0x32}},
      {B | ByConfig, {0x00, 0x76}},
      {B | C | ByConfig, {0x00, 0x76}},
      {C, {0x01, 0x02}},
      {B | C, {0x01, 0x02}},
      {A, {0x03, 0xF8}},
      {M0, {0x03, 0xF8}},
      {ByConfig, {0x03, 0xF8}},
  };
  for (const auto& c : cases) {
    PartRow part;
    part.FamilyFlagA = c.flags & A;
    part.IsCortexM0 = c.flags & M0;
    part.FamilyFlagB = c.flags & B;
    part.FamilyFlagC = c.flags & C;
    part.DataFlashByConfig = c.flags & ByConfig;
    part.DataFlashBase = 0x3F800;
    EXPECT_EQ(DataFlashStartBytes(part, config), c.expected) << "flags " << c.flags;
  }
}

TEST(DownloadBlocks, GangHeaderNameStopsAt64Bytes) {
  PartRow part;
  const std::string name(80, 'N');
  part.PartName = name;
  JobSettings job;
  auto images = std::make_unique<ImageBuffers>();
  const std::vector<uint8_t> header = BuildGangHeader(part, job, *images);
  ASSERT_EQ(header.size(), 10u + 64u);
  EXPECT_EQ(header.back(), 0);
}

SplitDecimal Stepped(SplitDecimal value, SplitDecimal step, int times) {
  JobSettings job;
  job.SnValue = value;
  job.SnIncrement = step;
  for (int i = 0; i < times; ++i) StepSerialNumber(job);
  for (int i = 0; i > times; --i) UnstepSerialNumber(job);
  return job.SnValue;
}

TEST(SerialNumber, StepsModulo10To16AndUnstepInvertsIt) {
  const struct {
    SplitDecimal value, step, next;
  } cases[] = {
      {{0, 99999999}, {0, 1}, {1, 0}},
      {{99999999, 99999999}, {0, 1}, {0, 0}},
      {{99999999, 99999950}, {1, 60}, {1, 10}},
      {{5, 99999990}, {99999999, 20}, {5, 10}},
      {{0, 0}, {0, 0}, {0, 0}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Stepped(c.value, c.step, 1), c.next) << c.value.high << "," << c.value.low;
    EXPECT_EQ(Stepped(c.next, c.step, -1), c.value) << c.next.high << "," << c.next.low;
  }
}

TEST(ChipCounter, StepsWithinItsRange) {
  const struct {
    bool enabled, down;
    uint32_t counter, step, after;
  } cases[] = {
      {true, false, 999998, 2, 999999}, {true, true, 1, 1, 0},   {true, true, 2, 4, 0},
      {true, false, 5, 0, 5},           {false, false, 7, 4, 7},
  };
  for (const auto& c : cases) {
    JobSettings job;
    job.ChipCounterEnabled = c.enabled;
    job.CountDown = c.down;
    job.ChipCounter = c.counter;
    StepChipCounter(job, c.step);
    EXPECT_EQ(job.ChipCounter, c.after) << c.counter << (c.down ? " down " : " up ") << c.step;
  }
}

}  // namespace
}  // namespace quillet
