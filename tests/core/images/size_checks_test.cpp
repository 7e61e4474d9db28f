// What the images may take on each family, the messages that refuse them, and where the serial
// number may go.
#include "core/images/size_checks.h"

#include <gtest/gtest.h>

#include <memory>

#include "core/catalogue/part_catalogue.h"
#include "core/report/recording_reporter.h"

namespace quillet {
namespace {

using S = std::vector<std::string>;

// 8051 parts: K is CONFIG0, P is CONFIG1.
JobSettings Job8051(bool config_selected, uint8_t k = 0xFF, uint8_t p = 0xFF) {
  JobSettings job;
  job.ConfigSelected = config_selected;
  job.ConfigBytes[7] = k;
  job.ConfigBytes[6] = p;
  return job;
}

// Cortex-M0 parts: CONFIG1 then CONFIG0, each most significant byte first.
JobSettings JobCortex(bool config_selected, uint32_t config0 = 0xFFFFFFFF, uint32_t config1 = 0xFFFFFFFF) {
  JobSettings job;
  job.ConfigSelected = config_selected;
  for (int i = 0; i < 4; ++i) {
    job.ConfigBytes[i] = static_cast<uint8_t>(config1 >> (24 - 8 * i));
    job.ConfigBytes[4 + i] = static_cast<uint8_t>(config0 >> (24 - 8 * i));
  }
  return job;
}

class SizeChecksTest : public ::testing::Test {
 protected:
  void SetSizes(uint32_t aprom, uint32_t data, uint32_t ldrom) {
    images->aprom.size = aprom;
    images->dataFlash.size = data;
    images->ldrom.size = ldrom;
    for (ImageArea area : kImageAreas) (*images)[area].lastAddress = (*images)[area].size - 1;
  }
  // The check of one area with an image of `size` bytes and the other areas empty.
  int Check(ImageArea area, const PartRow& part, const JobSettings& job, uint32_t size) {
    SetSizes(area == ImageArea::Aprom ? size : 0, area == ImageArea::DataFlash ? size : 0,
             area == ImageArea::Ldrom ? size : 0);
    if (area == ImageArea::Aprom) return CheckApromSize(part, job, *images, reporter);
    if (area == ImageArea::DataFlash) return CheckDataFlashSize(part, job, *images, reporter);
    return CheckLdromSize(part, job, *images, reporter);
  }
  S Failures() const { return reporter.Texts(ReportEvent::Kind::Fail); }
  S Warnings() const { return reporter.Texts(ReportEvent::Kind::Warning); }

  PartCatalogue catalogue;
  VirtualClock clock;
  RecordingReporter reporter{clock};
  std::unique_ptr<ImageBuffers> images = std::make_unique<ImageBuffers>();
};

// A DataFlash or LDROM capacity below zero stands for a refusal.
constexpr int64_t kOff = -1, kNotConfigured = -2;

TEST_F(SizeChecksTest, CapacitiesOverEveryFamily) {
  const struct {
    const char* what;
    uint32_t code;
    JobSettings job;
    int64_t aprom, data, ldrom;
  } cases[] = {
      {"ISP 8051, 4 KB, nothing else", 0, Job8051(false), 0x1000, 0, 1},
      {"FamilyFlagA with fixed DataFlash", 37, Job8051(true, 0xFE, 0x00), 0x8000, 0x1000, 1},
      {"64 KB shared, CONFIG in force", 38, Job8051(true, 0xFE, 0xF0), 0xF000, 0x1000, 1},
      {"64 KB shared, CONFIG not selected", 38, Job8051(false, 0xFE, 0xF0), 0x10000, 0xFF00, 1},
      {"64 KB shared, DataFlash switched off", 38, Job8051(true, 0xFF, 0xF0), 0x10000, kOff, 1},
      {"16 KB shared, P 0x38", 40, Job8051(true, 0x7C, 0x38), 0x3800, 0x800, 1},
      {"16 KB shared, P 0x01", 40, Job8051(true, 0x7C, 0x01), 0x100, 0x3F00, 1},
      {"16 KB shared, P 0x3E", 40, Job8051(true, 0x7C, 0x3E), 0x3E00, 0x200, 1},
      {"16 KB shared, CONFIG not selected", 40, Job8051(false, 0x7C, 0x38), 0x4000, 0x3F00, 1},
      {"15 KB with fixed 1 KB DataFlash", 46, Job8051(true, 0x7C, 0x38), 0x3C00, 0x400, 1},
      {"ICP 8051", 110, Job8051(true, 0xFD, 0xFF), 0x1000, 0x100, 1},
      {"ICP 8051 with shared DataFlash and LDROM", 136, Job8051(true, 0xFE, 0x3C), 0x3C00, 0x400, 0x800},
      {"ICP shared, CONFIG not selected", 136, Job8051(false), 0x4000, kNotConfigured, 0x800},
      {"ICP shared, DataFlash switched off", 136, Job8051(true, 0xFF, 0x3C), 0x4000, kOff, 0x800},
      {"Arden 32 KB", 200, JobCortex(true, 0xFF9FFFFE), 0x8000, 0x1000, 0x1000},
      {"Arden 128 KB, 4 KB DataFlash", 330, JobCortex(true, 0xFF9FFFFE, 0x1F000), 0x1F000, 0x1000, 0x1000},
      {"Arden 128 KB, base 0x1FE00", 330, JobCortex(true, 0xFF9FFFFE, 0x1FE00), 0x1FE00, 0x200, 0x1000},
      {"Arden 128 KB, base 0x1FF00", 330, JobCortex(true, 0xFF9FFFFE, 0x1FF00), 0x1FF00, 0x100, 0x1000},
      {"Arden 128 KB, DataFlash off", 330, JobCortex(true, 0xFF9FFFFF, 0x1F000), 0x20000, kOff, 0x1000},
      {"Arden shared, CONFIG not selected", 330, JobCortex(false), 0x20000, kNotConfigured, 0x1000},
      {"Birch 8 KB", 800, JobCortex(false), 0x2000, 0x1000, 0x1000},
      {"Cedar 4 KB", 850, JobCortex(true, 0xFFFFFFFE, 0xE00), 0xE00, 0x200, 0x800},
      {"Cedar, DataFlash base past the flash", 850, JobCortex(true, 0xFFFFFFFE, 0x1200), 0x1200, 0, 0x800},
      {"Dune 123 KB", 921, JobCortex(false), 0x1EC00, 0x1000, 0x1000},
      {"Dune 32 KB shared", 900, JobCortex(true, 0xFFFFFFFE, 0x7000), 0x7000, 0x1000, 0x1000},
      {"Ember, LDROM on", 1000, JobCortex(true, 0xFFFFFFFA, 0x22000), 0x21000, 0x1400, 0x1000},
      {"Ember, LDROM off", 1000, JobCortex(true, 0xFFFFFFFE, 0x22000), 0x21000, 0x2400, kOff},
      {"Ember, DataFlash off, LDROM on", 1000, JobCortex(true, 0xFFFFFFFB, 0x22000), 0x22400, kOff, 0x1000},
      {"Ember, no CONFIG", 1000, JobCortex(false, 0xFFFFFFFA), 0x23400, kNotConfigured, kNotConfigured},
      {"Fjord 64 KB", 1100, JobCortex(true, 0xFFFFFFFE, 0xFE00), 0xFE00, 0x200, 0x1000},
      {"unlisted Cortex-M0", 1200, JobCortex(true), 0x8000, 0x1000, 0x1000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const PartRow& part = catalogue.Row(c.code);
    // As large as the capacity passes, one byte more fails with the message of the capacity.
    S expected;
    for (const auto& [area, limit] : {std::pair{ImageArea::Aprom, c.aprom},
                                      {ImageArea::DataFlash, c.data},
                                      {ImageArea::Ldrom, c.ldrom}}) {
      if (limit < 0) {
        EXPECT_EQ(Check(area, part, c.job, 0), 0);
        expected.push_back(std::string(AreaName(area)) +
                           (limit == kOff ? " is not enabled !" : " space is not configured !"));
        continue;
      }
      EXPECT_EQ(Check(area, part, c.job, static_cast<uint32_t>(limit)), 1);
      EXPECT_EQ(Check(area, part, c.job, static_cast<uint32_t>(limit) + 1), 0);
      expected.push_back(SizeMessage(area, limit));
    }
    if (part.IsCortexM0) EXPECT_EQ(images->FlashEnd, ComputeFlashEnd(part, c.job));
    EXPECT_EQ(Failures(), expected);
    reporter.Clear();
  }
}

TEST_F(SizeChecksTest, MessageForms) {
  const std::pair<int64_t, const char*> aprom[] = {
      {15360, "15 KB"},  {15872, "15.5 KB"}, {16128, "15.75 KB"}, {1023, "1023 Bytes"},
      {1025, "1.00 KB"}, {2600, "2.54 KB"},  {0, "0 Bytes"}};
  for (const auto& [limit, text] : aprom) {
    EXPECT_EQ(SizeMessage(ImageArea::Aprom, limit),
              std::string("Code size for APROM is too large (> ") + text + ") !");
  }
  EXPECT_EQ(SizeMessage(ImageArea::DataFlash, 1536), "Data size for DataFlash is too large (> 1.5 KB) !");
  EXPECT_EQ(SizeMessage(ImageArea::Ldrom, 2048), "Code size for LDROM is too large (> 2 KB) !");
}

TEST_F(SizeChecksTest, SharedSpaceLimitsApromPlusDataFlash) {
  const PartRow& part = catalogue.Row(40);  // 16 KB, DataFlash set in CONFIG
  JobSettings job = Job8051(false);
  job.DataFlashSelected = true;
  SetSizes(10 * 1024, 6 * 1024, 0);
  EXPECT_EQ(CheckApromSize(part, job, *images, reporter), 1);
  SetSizes(10 * 1024, 6 * 1024 + 1, 0);
  EXPECT_EQ(CheckApromSize(part, job, *images, reporter), 0);
  SetSizes(16 * 1024, 0, 0);  // an empty DataFlash image adds nothing (its last address wraps)
  EXPECT_EQ(CheckApromSize(part, job, *images, reporter), 1);
  job.DataFlashSelected = false;
  SetSizes(16 * 1024, 6 * 1024, 0);
  EXPECT_EQ(CheckApromSize(part, job, *images, reporter), 1);
  EXPECT_EQ(Failures(), S{"Total size is too large (> 16 KB) !"});
  // A part with a fixed DataFlash has no shared space.
  job.DataFlashSelected = true;
  SetSizes(0x3C00, 0x400, 0);
  EXPECT_EQ(CheckApromSize(catalogue.Row(46), job, *images, reporter), 1);
}

// The serial number's eight bytes must end at or before the last byte APROM may take, and in ICP
// start after the APROM image. Warnings: "> limit" when too large, "4" when not a multiple of four,
// "code" when on the APROM image.
TEST_F(SizeChecksTest, SerialNumberAddressAtTheEdges) {
  const struct {
    const char* what;
    uint32_t code;
    uint8_t type;
    JobSettings job;
    uint32_t address, aprom_size;
    std::string warning;  // empty: passes
  } cases[] = {
      {"ISP passes at once", 200, kTypeIsp, JobCortex(false), 0x7FFFF, 0x100, ""},
      {"32 KB Cortex: last eight bytes", 200, kTypeIcp, JobCortex(false), 0x7FF8, 0x100, ""},
      {"32 KB Cortex: next aligned address", 200, kTypeIcp, JobCortex(false), 0x7FFC, 0x100, "> 0x7FF8"},
      {"32 KB Cortex: not aligned", 200, kTypeIcp, JobCortex(false), 0x1002, 0x100, "4"},
      {"4 KB 8051: last eight bytes", 0, kTypeComIsp, Job8051(false), 0xFF8, 0x100, ""},
      {"4 KB 8051: one byte past", 0, kTypeComIsp, Job8051(false), 0xFF9, 0x100, "> 0xFF8"},
      {"4 KB 8051: one byte before", 0, kTypeComIsp, Job8051(false), 0xFF7, 0x100, ""},
      {"14 KB of shared 16 KB: last eight bytes", 40, kTypeComIsp, Job8051(true, 0x7C, 0x38), 0x37F8, 0, ""},
      {"14 KB of shared 16 KB: one byte past", 40, kTypeComIsp, Job8051(true, 0x7C, 0x38), 0x37F9, 0,
       "> 0x37F8"},
      {"no APROM room at all", 850, kTypeIcp, JobCortex(true, 0xFFFFFFFE, 0), 0, 0, "> 0x0"},
      {"ICP: right after the APROM image", 110, kTypeIcp, Job8051(false), 0x100, 0x100, ""},
      {"ICP: on the APROM image's last byte", 110, kTypeIcp, Job8051(false), 0xFF, 0x100, "code"},
      {"by COM port the image may cover it", 200, kTypeComIsp, JobCortex(false), 0x80, 0x100, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    JobSettings job = c.job;
    job.ProgrammerMode = c.type;
    job.SnAddress = c.address;
    SetSizes(c.aprom_size, 0, 0);
    if (catalogue.Row(c.code).IsCortexM0) images->FlashEnd = ComputeFlashEnd(catalogue.Row(c.code), job);
    reporter.Clear();
    EXPECT_EQ(CheckSnAddress(catalogue.Row(c.code), job, *images, reporter), c.warning.empty() ? 1 : 0);
    const std::string warning = c.warning == "4" ? "Serial Number address must be a multiple of four (4) !"
                                : c.warning == "code"
                                    ? "Serial Number address must be after the end of APROM code !"
                                    : "Serial Number address is too large (" + c.warning + ") !";
    EXPECT_EQ(Warnings(), c.warning.empty() ? S{} : S{warning});
    EXPECT_TRUE(Failures().empty());
  }
}

TEST_F(SizeChecksTest, SerialNumberCheckUsesTheFlashEndLastComputed) {
  JobSettings job = JobCortex(true, 0xFFFFFFFA, 0x00022000);  // Ember with LDROM on: flash end 0x23400
  job.ProgrammerMode = kTypeIcp;
  job.SnAddress = 0x20000;
  images->FlashEnd = 0x24400;
  EXPECT_EQ(CheckSnAddress(catalogue.Row(1000), job, *images, reporter), 0);
  EXPECT_EQ(Warnings(), S{"Serial Number address is too large (> 0x1FFF8) !"});
  EXPECT_EQ(CheckApromSize(catalogue.Row(1000), job, *images, reporter), 1);
  EXPECT_EQ(CheckSnAddress(catalogue.Row(1000), job, *images, reporter), 1);
}

TEST_F(SizeChecksTest, UpdateChecksRunInOrderAndStopAtTheFirstFailure) {
  JobSettings job = Job8051(true, 0xFE, 0x3C);  // APROM 15 KB, DataFlash 1 KB, LDROM 2 KB
  job.ProgrammerMode = kTypeIcp;
  job.ApromSelected = job.DataFlashSelected = job.LdromSelected = job.SnProgrammingEnabled = true;
  job.SnAddress = 0x3000;
  const struct {
    uint32_t aprom, data, ldrom;
    const char* failure;
    const char* warning;
  } cases[] = {
      {0x1000, 0x401, 0x801, "Data size for DataFlash is too large (> 1 KB) !", nullptr},
      {0x1000, 0x400, 0x801, "Code size for LDROM is too large (> 2 KB) !", nullptr},
      {0x3400, 0x400, 0x800, nullptr, "Serial Number address must be after the end of APROM code !"}};
  for (const auto& c : cases) {
    SetSizes(c.aprom, c.data, c.ldrom);
    reporter.Clear();
    EXPECT_EQ(CheckUpdateImages(catalogue.Row(136), job, *images, reporter), 0);
    EXPECT_EQ(Failures(), c.failure ? S{c.failure} : S{});
    EXPECT_EQ(Warnings(), c.warning ? S{c.warning} : S{});
  }
  job.LdromSelected = false;  // an unselected area is not checked
  SetSizes(0x1000, 0x400, 0x10000);
  EXPECT_EQ(CheckUpdateImages(catalogue.Row(136), job, *images, reporter), 1);
}

}  // namespace
}  // namespace quillet
