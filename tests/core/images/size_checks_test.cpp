#include "core/images/size_checks.h"

#include <gtest/gtest.h>

#include <memory>

#include "core/report/recording_reporter.h"
#include "core/catalogue/part_catalogue.h"

namespace quillet {
namespace {

using Kind = ReportEvent::Kind;

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

struct CapacityCase {
  const char* what;
  uint32_t code;
  JobSettings job;
  int64_t aprom;
  std::string aprom_message;
  int64_t data;  // unused when data_message is a refusal
  std::string data_message;
  int64_t ldrom;
  std::string ldrom_message;
};

const std::string kNotEnabled = "DataFlash is not enabled !";
const std::string kNotConfigured = "DataFlash space is not configured !";

std::vector<CapacityCase> CapacityCases() {
  const std::string ap = "Code size for APROM is too large (> ";
  const std::string df = "Data size for DataFlash is too large (> ";
  const std::string ld = "Code size for LDROM is too large (> ";
  return {
      {"ISP 8051, 4 KB, nothing else", 0, Job8051(false), 0x1000, ap + "4 KB) !", 0, df + "0 Bytes) !", 1,
       ld + "1 Bytes) !"},
      {"FamilyFlagA with fixed DataFlash", 37, Job8051(true, 0xFE, 0x00), 0x8000, ap + "32 KB) !", 0x1000,
       df + "4 KB) !", 1, ld + "1 Bytes) !"},
      {"64 KB shared, CONFIG in force", 38, Job8051(true, 0xFE, 0xF0), 0xF000, ap + "60 KB) !", 0x1000,
       df + "4 KB) !", 1, ld + "1 Bytes) !"},
      {"64 KB shared, CONFIG not selected", 38, Job8051(false, 0xFE, 0xF0), 0x10000, ap + "64 KB) !", 0xFF00,
       df + "63.75 KB) !", 1, ld + "1 Bytes) !"},
      {"64 KB shared, DataFlash switched off", 38, Job8051(true, 0xFF, 0xF0), 0x10000, ap + "64 KB) !", 0,
       kNotEnabled, 1, ld + "1 Bytes) !"},
      {"16 KB shared, P 0x38", 40, Job8051(true, 0x7C, 0x38), 0x3800, ap + "14 KB) !", 0x800, df + "2 KB) !",
       1, ld + "1 Bytes) !"},
      {"16 KB shared, P 0x01", 40, Job8051(true, 0x7C, 0x01), 0x100, ap + "256 Bytes) !", 0x3F00,
       df + "15.75 KB) !", 1, ld + "1 Bytes) !"},
      {"16 KB shared, P 0x3E", 40, Job8051(true, 0x7C, 0x3E), 0x3E00, ap + "15.5 KB) !", 0x200,
       df + "512 Bytes) !", 1, ld + "1 Bytes) !"},
      {"16 KB shared, CONFIG not selected", 40, Job8051(false, 0x7C, 0x38), 0x4000, ap + "16 KB) !", 0x3F00,
       df + "15.75 KB) !", 1, ld + "1 Bytes) !"},
      {"15 KB with fixed 1 KB DataFlash", 46, Job8051(true, 0x7C, 0x38), 0x3C00, ap + "15 KB) !", 0x400,
       df + "1 KB) !", 1, ld + "1 Bytes) !"},
      {"ICP 8051", 110, Job8051(true, 0xFD, 0xFF), 0x1000, ap + "4 KB) !", 0x100, df + "256 Bytes) !", 1,
       ld + "1 Bytes) !"},
      {"ICP 8051 with shared DataFlash and LDROM", 136, Job8051(true, 0xFE, 0x3C), 0x3C00, ap + "15 KB) !",
       0x400, df + "1 KB) !", 0x800, ld + "2 KB) !"},
      {"ICP shared, CONFIG not selected", 136, Job8051(false), 0x4000, ap + "16 KB) !", 0, kNotConfigured,
       0x800, ld + "2 KB) !"},
      {"ICP shared, DataFlash switched off", 136, Job8051(true, 0xFF, 0x3C), 0x4000, ap + "16 KB) !", 0,
       kNotEnabled, 0x800, ld + "2 KB) !"},
      {"Arden 32 KB", 200, JobCortex(true, 0xFF9FFFFE), 0x8000, ap + "32 KB) !", 0x1000, df + "4 KB) !",
       0x1000, ld + "4 KB) !"},
      {"Arden 128 KB shared, 4 KB DataFlash", 330, JobCortex(true, 0xFF9FFFFE, 0x0001F000), 0x1F000,
       ap + "124 KB) !", 0x1000, df + "4 KB) !", 0x1000, ld + "4 KB) !"},
      {"Arden 128 KB shared, base 0x1FE00", 330, JobCortex(true, 0xFF9FFFFE, 0x0001FE00), 0x1FE00,
       ap + "127.5 KB) !", 0x200, df + "512 Bytes) !", 0x1000, ld + "4 KB) !"},
      {"Arden 128 KB shared, base 0x1FF00", 330, JobCortex(true, 0xFF9FFFFE, 0x0001FF00), 0x1FF00,
       ap + "127.75 KB) !", 0x100, df + "256 Bytes) !", 0x1000, ld + "4 KB) !"},
      {"Arden shared, DataFlash switched off", 330, JobCortex(true, 0xFF9FFFFF, 0x0001F000), 0x20000,
       ap + "128 KB) !", 0, kNotEnabled, 0x1000, ld + "4 KB) !"},
      {"Arden shared, CONFIG not selected", 330, JobCortex(false), 0x20000, ap + "128 KB) !", 0,
       kNotConfigured, 0x1000, ld + "4 KB) !"},
      {"Birch 8 KB", 800, JobCortex(false), 0x2000, ap + "8 KB) !", 0x1000, df + "4 KB) !", 0x1000,
       ld + "4 KB) !"},
      {"Cedar 4 KB", 850, JobCortex(true, 0xFFFFFFFE, 0x00000E00), 0xE00, ap + "3.5 KB) !", 0x200,
       df + "512 Bytes) !", 0x800, ld + "2 KB) !"},
      {"Cedar, DataFlash base past the flash", 850, JobCortex(true, 0xFFFFFFFE, 0x00001200), 0x1200,
       ap + "4.5 KB) !", 0, df + "0 Bytes) !", 0x800, ld + "2 KB) !"},
      {"Dune 123 KB", 921, JobCortex(false), 0x1EC00, ap + "123 KB) !", 0x1000, df + "4 KB) !", 0x1000,
       ld + "4 KB) !"},
      {"Dune 32 KB shared", 900, JobCortex(true, 0xFFFFFFFE, 0x00007000), 0x7000, ap + "28 KB) !", 0x1000,
       df + "4 KB) !", 0x1000, ld + "4 KB) !"},
      {"Ember, LDROM on", 1000, JobCortex(true, 0xFFFFFFFA, 0x00022000), 0x21000, ap + "132 KB) !", 0x1400,
       df + "5 KB) !", 0x1000, ld + "4 KB) !"},
      {"Ember, LDROM off", 1000, JobCortex(true, 0xFFFFFFFE, 0x00022000), 0x21000, ap + "132 KB) !", 0x2400,
       df + "9 KB) !", 0, "LDROM is not enabled !"},
      {"Ember, DataFlash off, LDROM on", 1000, JobCortex(true, 0xFFFFFFFB, 0x00022000), 0x22400,
       ap + "137 KB) !", 0, kNotEnabled, 0x1000, ld + "4 KB) !"},
      {"Ember, CONFIG not selected", 1000, JobCortex(false, 0xFFFFFFFA), 0x23400, ap + "141 KB) !", 0,
       kNotConfigured, 0, "LDROM space is not configured !"},
      {"Fjord 64 KB", 1100, JobCortex(true, 0xFFFFFFFE, 0x0000FE00), 0xFE00, ap + "63.5 KB) !", 0x200,
       df + "512 Bytes) !", 0x1000, ld + "4 KB) !"},
      {"unlisted Cortex-M0", 1200, JobCortex(true), 0x8000, ap + "32 KB) !", 0x1000, df + "4 KB) !", 0x1000,
       ld + "4 KB) !"},
  };
}

class SizeChecksTest : public ::testing::Test {
 protected:
  void SetSizes(uint32_t aprom, uint32_t data, uint32_t ldrom) {
    images->aprom.size = aprom;
    images->dataFlash.size = data;
    images->ldrom.size = ldrom;
    for (ImageArea area : kImageAreas) (*images)[area].lastAddress = (*images)[area].size - 1;
  }
  std::vector<std::string> Failures() const { return reporter.Texts(Kind::Fail); }
  std::vector<std::string> Warnings() const { return reporter.Texts(Kind::Warning); }

  PartCatalogue catalogue;
  VirtualClock clock;
  RecordingReporter reporter{clock};
  std::unique_ptr<ImageBuffers> images = std::make_unique<ImageBuffers>();
};

TEST_F(SizeChecksTest, CapacitiesAndMessagesOverEveryFamily) {
  for (const CapacityCase& c : CapacityCases()) {
    SCOPED_TRACE(c.what);
    const PartRow& part = catalogue.Row(c.code);
    const uint32_t flash_end = ComputeFlashEnd(part, c.job);
    EXPECT_EQ(ApromCapacity(part, c.job, flash_end), c.aprom);

    // As large as the capacity passes, one byte more fails with the message.
    SetSizes(static_cast<uint32_t>(c.aprom), 0, 0);
    EXPECT_EQ(CheckApromSize(part, c.job, *images, reporter), 1);
    SetSizes(static_cast<uint32_t>(c.aprom) + 1, 0, 0);
    EXPECT_EQ(CheckApromSize(part, c.job, *images, reporter), 0);
    if (part.IsCortexM0) {
      EXPECT_EQ(images->FlashEnd, flash_end);
    }

    const bool refused = c.data_message == kNotEnabled || c.data_message == kNotConfigured;
    SetSizes(0, static_cast<uint32_t>(c.data), 0);
    EXPECT_EQ(CheckDataFlashSize(part, c.job, *images, reporter), refused ? 0 : 1);
    if (!refused) {
      SetSizes(0, static_cast<uint32_t>(c.data) + 1, 0);
      EXPECT_EQ(CheckDataFlashSize(part, c.job, *images, reporter), 0);
    }

    const bool ldrom_refused = c.ldrom == 0;
    SetSizes(0, 0, static_cast<uint32_t>(c.ldrom));
    EXPECT_EQ(CheckLdromSize(part, c.job, *images, reporter), ldrom_refused ? 0 : 1);
    if (!ldrom_refused) {
      SetSizes(0, 0, static_cast<uint32_t>(c.ldrom) + 1);
      EXPECT_EQ(CheckLdromSize(part, c.job, *images, reporter), 0);
    }
    EXPECT_EQ(Failures(), (std::vector<std::string>{c.aprom_message, c.data_message, c.ldrom_message}));
    reporter.Clear();
  }
}

TEST_F(SizeChecksTest, MessageForms) {
  struct Case {
    ImageArea area;
    int64_t limit;
    const char* text;
  };
  for (const Case& c :
       {Case{ImageArea::Aprom, 15360, "Code size for APROM is too large (> 15 KB) !"},
        Case{ImageArea::Aprom, 15872, "Code size for APROM is too large (> 15.5 KB) !"},
        Case{ImageArea::Aprom, 16128, "Code size for APROM is too large (> 15.75 KB) !"},
        Case{ImageArea::Aprom, 768, "Code size for APROM is too large (> 768 Bytes) !"},
        Case{ImageArea::DataFlash, 1023, "Data size for DataFlash is too large (> 1023 Bytes) !"},
        Case{ImageArea::DataFlash, 1024, "Data size for DataFlash is too large (> 1 KB) !"},
        Case{ImageArea::DataFlash, 1536, "Data size for DataFlash is too large (> 1.5 KB) !"},
        Case{ImageArea::DataFlash, 1025, "Data size for DataFlash is too large (> 1.00 KB) !"},
        Case{ImageArea::Ldrom, 2048, "Code size for LDROM is too large (> 2 KB) !"},
        Case{ImageArea::Ldrom, 2560, "Code size for LDROM is too large (> 2.5 KB) !"},
        Case{ImageArea::Ldrom, 2600, "Code size for LDROM is too large (> 2.54 KB) !"},
        Case{ImageArea::Ldrom, 0, "Code size for LDROM is too large (> 0 Bytes) !"}}) {
    EXPECT_EQ(SizeMessage(c.area, c.limit), c.text);
  }
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
  EXPECT_EQ(Failures(), std::vector<std::string>{"Total size is too large (> 16 KB) !"});

  // A part with a fixed DataFlash has no shared space.
  job.DataFlashSelected = true;
  SetSizes(0x3C00, 0x400, 0);
  EXPECT_EQ(CheckApromSize(catalogue.Row(46), job, *images, reporter), 1);
}

TEST_F(SizeChecksTest, CortexPartWithoutConfigFailsDataFlashEvenWhenEmpty) {
  SetSizes(0, 0, 0);
  EXPECT_EQ(CheckDataFlashSize(catalogue.Row(330), JobCortex(false), *images, reporter), 0);
  EXPECT_EQ(Failures(), std::vector<std::string>{kNotConfigured});
}

TEST_F(SizeChecksTest, SerialNumberAddress) {
  struct Case {
    const char* what;
    uint32_t code;
    uint8_t type;
    uint32_t address;
    uint32_t aprom_size;
    std::string warning;  // empty: passes
  };
  const std::string too_large = "Serial Number address is too large (> 0x7FF8) !";
  const std::string after_code = "Serial Number address must be after the end of APROM code !";
  for (const Case& c : {
           Case{"ISP passes at once", 200, kTypeIsp, 0x7FFFF, 0x100, ""},
           Case{"last room for 8 bytes", 200, kTypeIcp, 0x7FF8, 0x100, ""},
           Case{"past the last room", 200, kTypeIcp, 0x7FFC, 0x100, too_large},
           Case{"not a multiple of four", 200, kTypeIcp, 0x1002, 0x100,
                "Serial Number address must be a multiple of four (4) !"},
           Case{"8051 parts take any alignment", 0, kTypeComIsp, 0x0FF1, 0x100, ""},
           Case{"inside the APROM code in ICP", 200, kTypeIcp, 0x80, 0x100, after_code},
           Case{"right after the APROM code in ICP", 200, kTypeIcp, 0x100, 0x100, ""},
           Case{"inside the APROM code by COM port", 200, kTypeComIsp, 0x80, 0x100, ""},
       }) {
    SCOPED_TRACE(c.what);
    JobSettings job = JobCortex(false);
    job.ProgrammerMode = c.type;
    job.SnAddress = c.address;
    SetSizes(c.aprom_size, 0, 0);
    reporter.Clear();
    EXPECT_EQ(CheckSnAddress(catalogue.Row(c.code), job, *images, reporter), c.warning.empty() ? 1 : 0);
    EXPECT_EQ(Warnings(),
              c.warning.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.warning});
    EXPECT_TRUE(Failures().empty());
  }
}

TEST_F(SizeChecksTest, SerialNumberCheckUsesTheFlashEndLastComputed) {
  JobSettings job = JobCortex(true, 0xFFFFFFFA, 0x00022000);  // Ember with LDROM on: flash end 0x23400
  job.ProgrammerMode = kTypeIcp;
  job.SnAddress = 0x20000;
  images->FlashEnd = 0x24400;
  EXPECT_EQ(CheckSnAddress(catalogue.Row(1000), job, *images, reporter), 0);
  EXPECT_EQ(Warnings(), std::vector<std::string>{"Serial Number address is too large (> 0x1FFF8) !"});
  EXPECT_EQ(CheckApromSize(catalogue.Row(1000), job, *images, reporter), 1);
  EXPECT_EQ(CheckSnAddress(catalogue.Row(1000), job, *images, reporter), 1);
}

TEST_F(SizeChecksTest, UpdateChecksRunInOrderAndStopAtTheFirstFailure) {
  const PartRow& part = catalogue.Row(136);
  JobSettings job = Job8051(true, 0xFE, 0x3C);  // APROM 15 KB, DataFlash 1 KB, LDROM 2 KB
  job.ProgrammerMode = kTypeIcp;
  job.ApromSelected = job.DataFlashSelected = job.LdromSelected = true;
  job.SnProgrammingEnabled = true;
  job.SnAddress = 0x3000;
  SetSizes(0x1000, 0x401, 0x801);
  EXPECT_EQ(CheckUpdateImages(part, job, *images, reporter), 0);
  EXPECT_EQ(Failures(), std::vector<std::string>{"Data size for DataFlash is too large (> 1 KB) !"});
  reporter.Clear();
  SetSizes(0x1000, 0x400, 0x801);
  EXPECT_EQ(CheckUpdateImages(part, job, *images, reporter), 0);
  EXPECT_EQ(Failures(), std::vector<std::string>{"Code size for LDROM is too large (> 2 KB) !"});
  reporter.Clear();
  SetSizes(0x3400, 0x400, 0x800);
  EXPECT_EQ(CheckUpdateImages(part, job, *images, reporter), 0);
  EXPECT_TRUE(Failures().empty());
  EXPECT_EQ(Warnings(),
            std::vector<std::string>{"Serial Number address must be after the end of APROM code !"});
  reporter.Clear();
  job.LdromSelected = false;  // an unselected area is not checked
  SetSizes(0x1000, 0x400, 0x10000);
  EXPECT_EQ(CheckUpdateImages(part, job, *images, reporter), 1);
}

}  // namespace
}  // namespace quillet
