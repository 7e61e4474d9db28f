// Verify Chip and Read Chip against the simulated Programmer holding one chip, in virtual time: each
// case's exchange (long runs of chip data as their length and sum), reports, views opened and read
// results go to a golden transcript; a complete read must hold the chip's bytes and 0xFF past them,
// and after a failure the next search must find the Programmer again.
#include <gtest/gtest.h>

#include <cstdio>
#include <numeric>

#include "core/operations/chip_reading.h"
#include "sim/gang_model.h"
#include "sim/programmer_model.h"
#include "support/golden.h"
#include "support/operation_rig.h"

namespace quillet {
namespace {

using test_support::OperationRig;

// Stored CONFIG order, from K (CONFIG0's low byte), an 8051's CONFIG1 and a Cortex-M0's DataFlash base.
std::array<uint8_t, 8> Config(uint8_t k, uint8_t config1 = 0xFF, uint32_t dfba = 0xFFFF00) {
  return {0xFF, static_cast<uint8_t>(dfba >> 16), static_cast<uint8_t>(dfba >> 8), 0xFF, 0x7F, 0xFF, config1,
          k};
}

struct TraceCase {
  const char* name;
  const char* part;
  uint8_t type = kTypeIcp;
  bool verify = false;
  std::array<uint8_t, 8> chip_config = Config(0xFE);
  uint32_t aprom = 0, data_flash = 0, ldrom = 0;  // the job's images (verify)
  bool config = false;
  uint64_t config_xor = 0;        // the job's CONFIG against the chip's, byte i (stored order) at bits 8i
  int changed_at = -1;            // the chip's APROM byte that differs from the image
  std::optional<uint8_t> status;  // the status the read reports in place of the chip's own
  int socket = -1;                // Gang Programmer: the chosen socket 0..3
  sim::FaultPlan faults;
};

const TraceCase kCases[] = {
    {.name = "isp_verify_300", .part = "QLB064D", .type = kTypeIsp, .verify = true, .aprom = 300},
    {.name = "isp_verify_300_second_block_differs",
     .part = "QLB064D",
     .type = kTypeIsp,
     .verify = true,
     .aprom = 300,
     .changed_at = 0x120},
    {.name = "isp_verify_image_too_large", .part = "QLA04D", .type = kTypeIsp, .verify = true, .aprom = 4097},
    {.name = "isp_read_config", .part = "QLB064D", .type = kTypeIsp, .chip_config = Config(0x7F, 0xF0)},
    {.name = "icp_read_cortex_dataflash_at_1e000",
     .part = "QVAL128LC",
     .chip_config = Config(0xFE, 0xFF, 0x1E000)},
    {.name = "icp_read_cortex_dataflash_off",
     .part = "QVAL128LC",
     .chip_config = Config(0xFF, 0xFF, 0x1E000)},
    {.name = "icp_read_ember_ldrom_and_dataflash_off",
     .part = "QEL141A",
     .chip_config = Config(0xFF, 0xFF, 0x24000)},
    {.name = "icp_read_family_b", .part = "QTS16A", .chip_config = Config(0xFE, 0x38)},
    {.name = "icp_read_plain_8051", .part = "QMC04A", .chip_config = Config(0xFE, 0xF0)},
    {.name = "icp_read_config_outside_flash",
     .part = "QVAL128LC",
     .chip_config = Config(0xFE, 0xFF, 0x30000)},
    {.name = "icp_read_locked_cortex",
     .part = "QVC004LB",
     .chip_config = Config(0xFE, 0xFF, 0x800),
     .status = 1},
    {.name = "icp_read_locked_8051", .part = "QMC04A", .chip_config = Config(0xFC)},
    {.name = "icp_read_device_id_error", .part = "QMC04A", .status = 2},
    {.name = "icp_read_other_status", .part = "QMC04A", .status = 7},
    {.name = "icp_read_reply_cut", .part = "QMC04A", .faults = {{{sim::FaultKind::DropToHost, 300}}}},
    {.name = "icp_verify_cedar_pass",
     .part = "QVC004LB",
     .verify = true,
     .chip_config = Config(0xFE, 0xFF, 0x800),
     .aprom = 0x700,
     .data_flash = 0x100,
     .ldrom = 0x800,
     .config = true},
    {.name = "icp_verify_aprom_and_config_differ",
     .part = "QVC004LB",
     .verify = true,
     .chip_config = Config(0xFE, 0xFF, 0x800),
     .aprom = 0x700,
     .data_flash = 0x100,
     .ldrom = 0x800,
     .config = true,
     .config_xor = 0x0100'0000'0000'0001,
     .changed_at = 0x123},
    {.name = "icp_verify_image_past_read",
     .part = "QVC004LB",
     .verify = true,
     .chip_config = Config(0xFE, 0xFF, 0x800),
     .aprom = 0x900},
    {.name = "icp_verify_config_only_family_b",
     .part = "QTS16A",
     .verify = true,
     .chip_config = Config(0xFE, 0x38),
     .config = true,
     .config_xor = 0x0000'0300'0001'0000},
    {.name = "icp_verify_config_only_8051",
     .part = "QMC04A",
     .verify = true,
     .config = true,
     .config_xor = 0x0080'8000'0000'0000},
    {.name = "icp_verify_reply_cut",
     .part = "QMC04A",
     .verify = true,
     .aprom = 0x100,
     .faults = {{{sim::FaultKind::DropToHost, 2000}}}},
    {.name = "gang_read_socket_1", .part = "QMC04A", .socket = 0},
    {.name = "gang_read_socket_2", .part = "QMC04A", .socket = 1},
    {.name = "gang_read_socket_3", .part = "QMC04A", .socket = 2},
    {.name = "gang_read_socket_4", .part = "QMC04A", .socket = 3},
    {.name = "gang_verify_isp_socket_3",
     .part = "QLB064D",
     .type = kTypeIsp,
     .verify = true,
     .aprom = 300,
     .socket = 2},
    {.name = "gang_sync_wrong", .part = "QMC04A", .socket = 2, .faults = {{{sim::FaultKind::WrongSync, 1}}}},
    // The sixth byte from the gang is the sync byte after 0xCF's acknowledge.
    {.name = "gang_sync_missing",
     .part = "QMC04A",
     .socket = 3,
     .faults = {{{sim::FaultKind::DropToHost, 6}}}},
};

// Byte i of a chip's area and of the matching image: (7i + area + 1) mod 256.
std::vector<uint8_t> Pattern(ImageArea area) {
  std::vector<uint8_t> bytes(kImageCapacity);
  for (uint32_t i = 0; i < kImageCapacity; ++i)
    bytes[i] = static_cast<uint8_t>(7 * i + static_cast<int>(area) + 1);
  return bytes;
}

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%02X", value);
  return text;
}

// The exchange with runs of more than 16 bytes from the device as their length and byte sum.
std::string Exchange(const std::vector<WireEvent>& events) {
  std::string text;
  for (std::size_t i = 0; i < events.size();) {
    const bool to_device = events[i].direction == WireDirection::ToDevice;
    std::size_t end = i;
    while (end < events.size() && events[end].direction == events[i].direction) ++end;
    text += to_device ? ">" : "<";
    if (!to_device && end - i > 16) {
      uint32_t sum = 0;
      for (std::size_t j = i; j < end; ++j) sum += events[j].value;
      text += " [" + std::to_string(end - i) + " bytes, sum " + Hex(sum) + "]";
    } else {
      for (std::size_t j = i; j < end; ++j) text += " " + Hex(events[j].value);
    }
    text += "\n";
    i = end;
  }
  return text;
}

std::string Bytes(const std::array<uint8_t, 8>& bytes) {
  std::string text;
  for (uint8_t b : bytes) text += " " + Hex(b);
  return text;
}

TEST(ChipReading, Traces) {
  for (const TraceCase& c : kCases) {
    SCOPED_TRACE(c.name);
    sim::ChipFeeder feeder;  // outlives the devices the rig holds
    OperationRig rig;
    const bool gang = c.socket >= 0;
    rig.job.ProgrammerMode = static_cast<uint8_t>(c.type | (gang ? kModeGang : 0));
    DeriveModeFlags(rig.job);
    ASSERT_EQ(rig.bench.ChoosePart(c.part, c.type), 1);
    const PartRow& part = rig.catalogue.Row(rig.job.PartCode);
    sim::Chip chip;
    chip.areas = {Pattern(ImageArea::Aprom), Pattern(ImageArea::DataFlash), Pattern(ImageArea::Ldrom)};
    std::reverse_copy(c.chip_config.begin(), c.chip_config.end(), chip.config.begin());
    chip.read_status = c.status;
    if (c.changed_at >= 0) chip.areas[0][c.changed_at] ^= 0x5A;
    for (uint8_t seat = 0; seat <= 4; ++seat) feeder.Blank(seat) = chip;
    const auto faults = std::make_shared<sim::DeviceFaults>(c.faults);
    if (gang) {
      auto& device = rig.Serve(std::make_unique<sim::GangModel>(0x0710, rig.SuitableTypeCode()), c.faults);
      device.SetFeeder(feeder);
      device.SetFaults(faults);
      rig.bench.SocketChoice() = c.socket;
    } else {
      auto& device =
          rig.Serve(std::make_unique<sim::ProgrammerModel>(rig.SuitableTypeCode(), 0x0710), c.faults);
      device.SetFeeder(feeder, 0);
      device.SetFaults(faults);
    }
    rig.Remember("sim:1");
    const uint32_t sizes[] = {c.aprom, c.data_flash, c.ldrom};
    for (ImageArea area : kImageAreas) {
      if (const uint32_t size = sizes[static_cast<int>(area)])
        rig.Image(area, size, static_cast<uint8_t>(static_cast<int>(area) + 1));
    }
    rig.job.ConfigSelected = c.config;
    for (int i = 0; i < 8; ++i)
      rig.job.ConfigBytes[i] = c.chip_config[i] ^ static_cast<uint8_t>(c.config_xor >> 8 * i);

    VerifyFindings findings;
    const int result = c.verify ? VerifyChip(rig.bench, &findings) : ReadChip(rig.bench);
    const ReadResults& read = rig.bench.read();
    std::string text = "result " + std::to_string(result) + "\n-- line\n" + Exchange(rig.WireEvents(0)) +
                       "-- reports\n" + test_support::ReportText(rig.reporter.Events());
    if (!rig.reporter.ResultDetail().empty()) text += "-- detail\n" + rig.reporter.ResultDetail() + "\n";
    for (const AreaVerdict& v : findings)
      text += "finding " + v.area + (v.pass ? " pass" : " fail") + " differing " +
              std::to_string(v.differingBytes) + " read " + std::to_string(v.readLength) + " past " +
              std::to_string(v.beyondRead) + "\n";
    text += "-- views: viewer x" + std::to_string(rig.display.viewers) + "\n";
    for (const auto& [code, bytes] : rig.display.config_views)
      text += "config view " + std::to_string(code) + Bytes(bytes) + "\n";
    text += "-- read: A " + Hex(read.ReadApromLast) + ", D " + Hex(read.ReadDataFlashLast) + ", flash end " +
            Hex(read.FlashEnd) + ", DataFlash " + std::to_string(read.DataFlashWasRead) + ", LDROM " +
            std::to_string(read.LdromWasRead) + ", complete " + std::to_string(read.ReadCompleted) +
            "\nread CONFIG" + Bytes(read.ReadConfigBytes) + "\nshown CONFIG" + Bytes(read.ShownConfigBytes) +
            "\n-- " + std::to_string(rig.clock.Now().count()) + " ms\n";
    EXPECT_TRUE(test_support::MatchesGolden("chip_reading/" + std::string(c.name) + ".txt", text));
    EXPECT_EQ(rig.StrictRefusals(0), 0u);
    if (!result) {
      // Left waiting mid-exchange, the Programmer takes commands again after its silence.
      rig.clock.Sleep(Millis(2500));
      EXPECT_EQ(gang ? rig.link.SearchGangProgrammer() : rig.link.SearchProgrammer(), 1);
    }

    if (c.type != kTypeIcp || !read.ReadCompleted) continue;
    const uint32_t lengths[] = {(read.ReadApromLast + 1) / 256 * 256,
                                read.DataFlashWasRead ? (read.ReadDataFlashLast + 1) / 128 * 128 : 0,
                                read.LdromWasRead ? (part.LdromLastAddress + 1) / 256 * 256 : 0};
    for (ImageArea area : kImageAreas) {
      const uint32_t n = lengths[static_cast<int>(area)];
      const ReadBuffer& buffer = read[area];
      // A locked chip reads blank but for its DataFlash.
      const bool blank = chip.Locked() && area != ImageArea::DataFlash;
      const std::vector<uint8_t>& held = chip.areas[static_cast<int>(area)];
      EXPECT_TRUE(blank ? std::all_of(buffer.begin(), buffer.begin() + n, [](uint8_t b) { return b == 0xFF; })
                        : std::equal(buffer.begin(), buffer.begin() + n, held.begin()))
          << AreaName(area);
      EXPECT_TRUE(std::all_of(buffer.begin() + n, buffer.end(), [](uint8_t b) { return b == 0xFF; }))
          << AreaName(area);
    }
  }
}

}  // namespace
}  // namespace quillet
