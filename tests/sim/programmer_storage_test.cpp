// The single Programmer's storage and chip programming, driven by scripted host bytes: a download
// comes back in the report, the usage limit runs out, the chip's phases follow its flaws, and an
// ICP update writes the S/N value at its address.
#include <gtest/gtest.h>

#include <numeric>

#include "sim/programmer_model.h"
#include "support/golden.h"
#include "support/link_transcript.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"

namespace quillet::sim {
namespace {

using V = std::vector<uint8_t>;
using test_support::ScriptedHost;

constexpr uint8_t kIcpAll = 0x8F, kIcpAprom = 0x88, kIspAprom = 0x08, kIspAll = 0x4D;

V Hex(std::string_view text) {
  V bytes;
  for (std::size_t at = 0; at + 1 < text.size(); ++at) {
    if (text[at] == ' ') continue;
    bytes.push_back(static_cast<uint8_t>(std::stoul(std::string(text.substr(at, 2)), nullptr, 16)));
    ++at;
  }
  return bytes;
}

V Pattern(std::size_t size, uint8_t seed) {
  V bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + seed);
  return bytes;
}

// A job: APROM 300 bytes (two blocks), DataFlash 256, LDROM 20; the header says which go.
struct Job {
  uint8_t items = kIcpAll;
  uint16_t usage_limit = 0xFFFF;
  V aprom = Pattern(300, 3), dataflash = Pattern(256, 5), ldrom = Pattern(20, 9);

  // Part 0x0123, device code, the three stamps, CONFIG0..7, items, parameters, usage limit,
  // DataFlash start, parameter, gang verify, DataFlash base flag.
  V Header() const {
    V header =
        Hex("23 01 5A  00 01 2B 00 00 91 0E 0C 22  00 00 FF 00 00 7F 80 0D 01  00 13 00 09 7C 0E 02"
            "  F7 FF FF FF FF FF FF FE  00  11 22 33 44 12 34 08 55  00 00  01 00  66 00 FF");
    header[36] = items;
    header[45] = static_cast<uint8_t>(usage_limit >> 8);
    header[46] = static_cast<uint8_t>(usage_limit);
    return header;
  }
};

V Name(std::string_view text, std::size_t size) {
  V name(size, 0);
  std::copy(text.begin(), text.end(), name.begin());
  return name;
}

uint32_t Sum(const V& bytes) {
  return std::accumulate(bytes.begin(), bytes.end(), uint32_t{0});
}

void Download(ScriptedHost& host, const Job& job) {
  host.Command(0xC2);
  host.Paced(job.Header());
  host.Send(Name("QX-PART-7", 16), Millis(1));
  for (const char* name : {"code.bin", "data.bin", "boot.bin"}) host.Send(Name(name, 64), Millis(1));
  host.Wait(Millis(40));  // the storage clear
  const V* images[] = {&job.aprom, &job.dataflash, &job.ldrom};
  for (int area = 0; area < 3; ++area) {
    if (!(job.items & (0x08 >> area))) continue;
    for (std::size_t at = 0; at < images[area]->size(); at += 256)
      host.Send(std::span(*images[area]).subspan(at, std::min<std::size_t>(256, images[area]->size() - at)));
    host.Send({0x00}, Millis(1));
  }
}

const V kSnBlock = {0x00, 0x01, 0x20, 0x00, 0x00, 0x00, 0x00, 0x12, 0x34, 0x56,
                    0x78, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01};

TEST(ProgrammerStorage, DownloadComesBackInTheReportAndAnIcpUpdateWritesTheSn) {
  ProgrammerModel programmer(0xAB, 0x0710);
  ChipFeeder feeder;
  programmer.SetFeeder(feeder, 0);
  ScriptedHost host(programmer);
  const Job job;
  host.Command(0xD2);
  host.Paced(kSnBlock);
  Download(host, job);
  host.Command(0xC3);
  host.Send({0x00}, Millis(1));  // program
  host.Send({0x00}, Millis(1));  // after the ICP status
  host.Received();
  EXPECT_EQ(host.engine().StrictRefusals(), 0u);
  EXPECT_TRUE(test_support::MatchesGolden("sim/storage_download_report_icp.txt",
                                          test_support::ExchangeText(host.trace().Events())));

  ASSERT_EQ(feeder.programmed().size(), 1u);
  const ProgrammedChip& chip = feeder.programmed()[0];
  EXPECT_TRUE(chip.passed);
  EXPECT_EQ(chip.sn, "0000000012345678");
  V aprom = job.aprom;
  std::copy_n(kSnBlock.begin() + 3, 8, aprom.begin() + 0x120);
  EXPECT_EQ(chip.chip.areas[0], aprom);
  EXPECT_EQ(chip.chip.areas[1], job.dataflash);
  EXPECT_EQ(chip.chip.areas[2], job.ldrom);
  EXPECT_EQ(chip.chip.config, (std::array<uint8_t, 8>{0xF7, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE}));
}

TEST(ProgrammerStorage, TheSumTellsTheStoredBytesAndTheHostsStopLeavesNoDownload) {
  ProgrammerModel programmer(0xAB, 0x0710);
  programmer.SetFaults(std::make_shared<DeviceFaults>(FaultPlan{{{FaultKind::SumError, 1}}}));
  ScriptedHost host(programmer);
  Job job;
  job.items = kIcpAprom;
  host.Command(0xC2);
  host.Paced(job.Header());
  host.Send(Name("QX-PART-7", 16), Millis(1));
  for (int i = 0; i < 3; ++i) host.Send(Name("", 64), Millis(1));
  host.Send(std::span(job.aprom).first(256));
  host.Send(std::span(job.aprom).subspan(256));
  host.Send({0xFF}, Millis(1));
  host.Command(0xC3);
  const V got = host.Received();
  const uint32_t sum = Sum(job.aprom) + 0x01000000;  // the fault's top byte
  const V tail = {0xA5,
                  0xA5,
                  0xA5,
                  static_cast<uint8_t>(sum >> 24),
                  static_cast<uint8_t>(sum >> 16),
                  static_cast<uint8_t>(sum >> 8),
                  static_cast<uint8_t>(sum),
                  0xA5,
                  0xFF};
  ASSERT_GE(got.size(), tail.size());
  EXPECT_EQ(V(got.end() - static_cast<std::ptrdiff_t>(tail.size()), got.end()), tail);
  EXPECT_FALSE(programmer.storage().complete);
}

// A download by a host of its own.
void Downloaded(ProgrammerModel& programmer, const Job& job) {
  ScriptedHost host(programmer);
  Download(host, job);
  host.Received();
}

// 0xC3, 0x00 to program, and 0x00 after an ICP status or an ISP code-protection warning: all the
// Programmer sends.
V Update(ProgrammerModel& programmer) {
  ScriptedHost host(programmer);
  host.Command(0xC3);
  host.Send({0x00}, Millis(1));
  host.Send({0x00}, Millis(1));
  return host.Received();
}

// Each programmed chip spends a use; a spent storage reports 0xFF alone. Kept across a save and
// load as the --storage file keeps it.
TEST(ProgrammerStorage, UsageLimitRunsOut) {
  struct Case {
    uint16_t limit;
    V statuses;
  };
  for (const Case& c : {Case{2, {0x00, 0x00, 0xFF}}, Case{0xFFFF, {0x00, 0x00, 0x00}}}) {
    ProgrammerModel programmer(0xAB, 0x0710);
    Job job;
    job.usage_limit = c.limit;
    job.items = kIcpAprom;
    Downloaded(programmer, job);
    test_support::TempDir dir;
    const std::string file = dir.File("storage.bin");
    V statuses;
    for (int update = 0; update < 3; ++update) {
      ProgrammerModel restarted(0xAB, 0x0710);
      ASSERT_TRUE(programmer.storage().Save(file));
      ASSERT_TRUE(restarted.storage().Load(file));
      statuses.push_back(Update(restarted).at(1));
      programmer.storage() = restarted.storage();
    }
    EXPECT_EQ(statuses, c.statuses) << "limit " << c.limit;
  }
}

// The phases after the report for chips with flaws: ICP with APROM (two blocks), DataFlash,
// LDROM and CONFIG; ISP with APROM erased on its own, DataFlash and CONFIG; ISP with APROM alone.
TEST(ProgrammerStorage, ChipPhasesFollowTheChip) {
  struct Case {
    uint8_t items;
    std::optional<ChipFlaw> flaw;
    const char* phases;
  };
  const Case cases[] = {
      {kIcpAll, std::nullopt, "00 00 00 00 00 00 00 00 00 00"},
      {kIcpAll, ChipFlaw::Missing, "02"},
      {kIcpAll, ChipFlaw::WrongPart, "02"},
      {kIcpAll, ChipFlaw::Locked, "01 00 00 00 00 00 00 00 00 00"},
      {kIcpAll, ChipFlaw::FailAprom, "00 00 00 01"},
      {kIcpAll, ChipFlaw::FailLdrom, "00 00 00 00 00 00 00 00 01"},
      {kIcpAll, ChipFlaw::FailConfig, "00 00 00 00 00 00 00 00 00 01"},
      {kIspAll, std::nullopt, "00 00 01 A5 A5 A5 A5 A5 00 00 01 A5 A5 A5 00"},
      {kIspAll, ChipFlaw::Locked, "FF 01 A5 00 01 A5 A5 A5 A5 A5 00 00 01 A5 A5 A5 00"},
      {kIspAll, ChipFlaw::DataFlashOff, "00 00 01 A5 A5 A5 A5 A5 00 01"},
      {kIspAll, ChipFlaw::FailConfig, "00 01"},
      {kIspAprom, ChipFlaw::Missing, "A5 A5 A5 A5 01"},
  };
  constexpr std::ptrdiff_t kReportEnd = 2 + 2 + 1 + 2 * (9 + 64) + 7 + 64 + 8 + 1;
  for (const Case& c : cases) {
    ProgrammerModel programmer(0xAB, 0x0710);
    ChipFeeder feeder;
    if (c.flaw) feeder.AddFlaw(0, *c.flaw);
    programmer.SetFeeder(feeder, 0);
    Job job;
    job.items = c.items;
    Downloaded(programmer, job);
    const V got = Update(programmer);
    ASSERT_GE(got.size(), std::size_t{kReportEnd});
    EXPECT_EQ(V(got.begin() + kReportEnd, got.end()), Hex(c.phases))
        << "items " << int{c.items} << " flaw " << (c.flaw ? int(*c.flaw) : -1);
  }
}

}  // namespace
}  // namespace quillet::sim
