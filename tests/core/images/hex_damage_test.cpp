// Damaged records that the conversion lets pass are counted with the line of the first; the HEX
// files the firmware tools write count none.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/images/hex_damage.h"
#include "core/images/image_loader.h"
#include "core/report/recording_reporter.h"
#include "support/fake_image_window.h"
#include "support/test_files.h"

namespace quillet {
namespace {

std::vector<uint8_t> HexFile(const std::string& name) {
  return test_support::ReadBytes(std::string(QUILLET_TEST_DATA) + "/hex/" + name);
}

struct Damaged {
  const char* file;
  HexFault fault;
  const char* message;
  const char* detail;
};

TEST(HexDamage, EachKindIsCountedAtItsLine) {
  for (const Damaged& d : {
           Damaged{"checksum.hex", HexFault::kChecksum, "2 HEX records are damaged, the first at line 3 !",
                   "line 3: the checksum is 0x69, the record needs 0x68"},
           Damaged{"byte_count.hex", HexFault::kByteCount, "1 HEX record is damaged, at line 3 !",
                   "line 3: the byte count says 17, the line holds 16 bytes"},
           Damaged{"odd_digits.hex", HexFault::kDigits, "1 HEX record is damaged, at line 4 !",
                   "line 4: the record has 41 digits, an odd number"},
           Damaged{"no_digit.hex", HexFault::kDigits, "1 HEX record is damaged, at line 2 !",
                   "line 2: 'G' is no hexadecimal digit"},
           Damaged{"record_type.hex", HexFault::kRecordType, "1 HEX record is damaged, at line 3 !",
                   "line 3: record type 10 is unknown"},
       }) {
    SCOPED_TRACE(d.file);
    const HexScan scan = ScanHexText(HexFile(std::string("damaged/") + d.file));
    EXPECT_EQ(scan.first_fault, d.fault);
    EXPECT_EQ(HexDamageMessage(scan), d.message);
    EXPECT_EQ(HexDamageDetail(scan), d.detail);
  }
}

TEST(HexDamage, ToolOutputIsWholeAndItsLowestAddressKnown) {
  for (const auto& [file, lowest] : std::vector<std::pair<const char*, uint32_t>>{
           {"gap_m0.hex", 0}, {"pulse51.ihx", 0}, {"srec_linear.hex", 0}, {"from_0100.hex", 0x100}}) {
    SCOPED_TRACE(file);
    const HexScan scan = ScanHexText(HexFile(file));
    EXPECT_FALSE(scan.Damaged()) << HexDamageDetail(scan);
    EXPECT_EQ(scan.lowest_address, lowest);
  }
}

TEST(HexDamage, RecordsAfterTheEndRecordAreNotRead) {
  const std::string text = ":0100000011EE\n:00000001FF\n:01000000112233\n";
  const HexScan scan = ScanHexText({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
  EXPECT_FALSE(scan.Damaged());
}

// Load File warns of a damaged HEX image at once, and an operation refuses to start with it.
TEST(HexDamage, LoadFileWarnsAndOperationsRefuse) {
  VirtualClock clock;
  RecordingReporter reporter(clock);
  JobSettings job;
  auto images = std::make_unique<ImageBuffers>();
  test_support::FakeImageWindow window;
  window.chosenPath = std::string(QUILLET_TEST_DATA) + "/hex/damaged/checksum.hex";
  OnLoadFile(*images, job, window, reporter);
  EXPECT_EQ(reporter.Texts(ReportEvent::Kind::Warning),
            std::vector<std::string>{"2 HEX records are damaged, the first at line 3 !"});
  EXPECT_EQ(CheckSelectedImagesIntact(*images, job, reporter), 0);
  EXPECT_EQ(reporter.Texts(ReportEvent::Kind::Fail),
            std::vector<std::string>{"2 HEX records are damaged, the first at line 3 !"});
  job.ApromSelected = false;  // not written: no refusal
  EXPECT_EQ(CheckSelectedImagesIntact(*images, job, reporter), 1);
}

}  // namespace
}  // namespace quillet
