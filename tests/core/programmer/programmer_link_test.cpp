// The Programmer link against simulated Programmers and Gang controllers: the port scan, searches,
// version queries, firmware checks and updates, and devices that misbehave on the wire. Each scenario's
// exchange on every line, reports, display fields and end state are in tests/data/golden/link/.
#include "core/programmer/programmer_link.h"
#include "core/programmer/programmer_port.h"

#include <gtest/gtest.h>

#include "sim/firmware_image.h"
#include "sim/gang_model.h"
#include "sim/programmer_model.h"
#include "support/golden.h"
#include "support/link_transcript.h"

namespace quillet {
namespace {

using Rig = test_support::TranscriptRig;
using V = std::vector<uint8_t>;
using K = sim::FaultKind;

// A line's device: a Programmer answering `type` to 0xC0, or one of these.
constexpr uint8_t kSilent = 0x00, kReplies = 0x01, kGang = 0x02;
struct Line {
  uint8_t type;
  uint16_t version = 0x0710;
  std::vector<sim::Fault> faults = {};
  V reply = {0xA1};  // kReplies: what it answers to every byte, after `greeting` at power-up
  V greeting = {};
};

// clang-format off
enum class Op { Search, SearchWithoutIspFile, InfoSearch, GangSearch, Version, CheckFirmware, CheckGang,
                Update, UpdateWithoutVariant, GangUpdate, FwUpdate, FindByType, FindByVersion, FindThenOpen };
// clang-format on

struct Scenario {
  const char* name;
  Op op;
  std::vector<Line> lines;
  uint32_t part = 110;
  const char* remembered = "sim:1";
  V (*file)() = nullptr;  // the firmware file of the update, instead of the rig's
};

void Serve(Rig& rig, const Line& line) {
  const sim::FaultPlan faults{line.faults};
  if (line.type == kSilent) rig.Serve(std::make_unique<sim::SilentDevice>(), faults);
  if (line.type == kReplies)
    rig.Serve(std::make_unique<test_support::ReplyDevice>(line.greeting, line.reply), faults);
  if (line.type == kGang) rig.Serve(std::make_unique<sim::GangModel>(line.version), faults);
  if (line.type > kGang) rig.Serve(std::make_unique<sim::ProgrammerModel>(line.type, line.version), faults);
}

int Play(Rig& rig, const Scenario& s) {
  const bool gang = s.op == Op::GangSearch || s.op == Op::GangUpdate || s.op == Op::CheckGang;
  if (gang) rig.job.ProgrammerMode = kModeGang;
  DeriveModeFlags(rig.job);
  rig.job.PartCode = s.part;
  rig.Remember(s.remembered);
  for (const Line& line : s.lines) Serve(rig, line);
  if (s.file)
    EXPECT_TRUE(
        sim::WriteBytes(rig.FirmwarePath(gang ? kGangFirmwareFile : "v0710_MainMCU_ICP.DAT"), s.file()));
  if (s.op >= Op::Version && s.op <= Op::GangUpdate) {
    rig.port.OpenPort("sim:1", 115200);
    rig.link.Variant = FirmwareVariant::Icp;
  }
  if (s.op == Op::UpdateWithoutVariant) rig.link.Variant.reset();
  rig.link.InfoOnlySearch = s.op == Op::InfoSearch;
  if (s.op == Op::SearchWithoutIspFile) std::filesystem::remove(rig.FirmwarePath("v0710_MainMCU_ISP.DAT"));
  // clang-format off
  switch (s.op) {
    case Op::Search: case Op::SearchWithoutIspFile: case Op::InfoSearch: return rig.link.SearchProgrammer();
    case Op::GangSearch: return rig.link.SearchGangProgrammer();
    case Op::Version: return rig.link.QueryProgrammerVersion();
    case Op::CheckFirmware: return rig.link.CheckProgrammerFirmware();
    case Op::CheckGang: return rig.link.CheckGangFirmware();
    case Op::Update: case Op::UpdateWithoutVariant: return rig.link.UpdateProgrammerFirmware();
    case Op::GangUpdate: return rig.link.UpdateGangFirmware();
    case Op::FwUpdate: rig.link.OnFwUpdate(); return rig.link.ForceFirmwareUpdate;
    case Op::FindByType: return FindProgrammerPort(rig.port, rig.job.ProgrammerPortName, ProbeKind::Type);
    case Op::FindByVersion: return FindProgrammerPort(rig.port, rig.job.ProgrammerPortName, ProbeKind::Version);
    case Op::FindThenOpen:
      return FindProgrammerPort(rig.port, rig.job.ProgrammerPortName, ProbeKind::Type) * 10 +
             OpenProgrammerPort(rig.port, rig.job.ProgrammerPortName);
  }
  // clang-format on
  return -1;
}

// Firmware files for updates: 39 full blocks and one of 16 bytes; offsets 3..255, 2051..2303 and
// 10243..10495 stored complemented; files of a fill byte.
V Image10000() {
  return sim::ScrambledFile(sim::MakeFirmwareImage({0xAB, 0x0710}, 10000));
}
V Zeros10600() {
  return V(10600, 0x00);
}
template <std::size_t size>
V Filled() {
  return V(size, 0x5C);
}

// Byte counts of faults in an update of the rig's 600-byte file: to the device 0xC5 is 1, the header
// 2..6, the blocks 7..262, 263..518, 519..606; to the host the acknowledges of 0xC5 and the header are
// 1 and 2, of the blocks 3..5, of their checks 6..8, then come the sum bytes 9..11. Each fault is
// followed by a search that finds a sound device on the next line.
// clang-format off
const Scenario kScenarios[] = {
    {"search_remembered", Op::Search, {{0xAB}}},
    {"search_scans", Op::Search, {{kSilent}, {0xAB}}, 110, "/dev/quillet-none"},
    {"search_finds_no_gang_in_single_mode", Op::Search, {{kGang}}},
    {"type_gang_asks_for_gang_mode", Op::Search, {{0xAF}}},
    {"type_unknown", Op::Search, {{0xA1}}},
    {"type_c0_is_icp_tessel", Op::Search, {{0xC0}}, 136},
    {"type_c1_is_icp_tessel", Op::Search, {{0xC1}}, 136},
    {"halvard_refuses_isp_part", Op::Search, {{0xAE}}, 2},
    {"halvard_refuses_velmari_part", Op::Search, {{0xAE}}, 200},
    {"icp_refuses_kestra_part", Op::Search, {{0xAB}}, 131},
    {"icp_switches_to_isp", Op::Search, {{0xAB}}, 2},
    {"isp_switches_to_icp_tessel", Op::Search, {{0xAA}}, 136},
    {"marlin_part_keeps_halvard_marlin", Op::Search, {{0xB1}}, 132},
    {"info_only_search_skips_the_part_check", Op::InfoSearch, {{0xA5}}},
    {"search_missing_firmware_file_cancels", Op::SearchWithoutIspFile, {{0xAB}}, 2},
    {"gang_search", Op::GangSearch, {{kGang}}},
    {"gang_search_scans", Op::GangSearch, {{kReplies}, {kGang}}, 110, ""},
    {"gang_search_refuses_a_single_programmer", Op::GangSearch, {{0xAB}}},
    {"gang_search_nothing_answers", Op::GangSearch, {{kSilent}}, 110, ""},
    {"check_firmware_current", Op::CheckFirmware, {{0xAB}}},
    {"check_firmware_updates_the_same_variant", Op::CheckFirmware, {{0xAB, 0x0700}}},
    {"check_firmware_update_fails", Op::CheckFirmware, {{0xAB, 0x0700, {{K::WrongAck, 2}}}}},
    {"check_gang_firmware_old_controller", Op::CheckGang, {{kGang, 0x0118}}},
    {"check_gang_firmware_current", Op::CheckGang, {{kGang, 0x0710}}},
    {"check_gang_firmware_updates", Op::CheckGang, {{kGang, 0x0700}}},
    {"update_ten_thousand_bytes", Op::Update, {{0xAB, 0x0700}}, 110, "", Image10000},
    {"update_three_ranges_complemented", Op::Update, {{0xAB, 0x0700}}, 110, "", Zeros10600},
    {"update_one_byte", Op::Update, {{0xAB, 0x0700}}, 110, "", Filled<1>},
    {"update_256_bytes", Op::Update, {{0xAB, 0x0700}}, 110, "", Filled<256>},
    {"update_257_bytes", Op::Update, {{0xAB, 0x0700}}, 110, "", Filled<257>},
    {"update_full_buffer", Op::Update, {{0xAB, 0x0700}}, 110, "", Filled<kFirmwareBufferSize>},
    {"update_larger_than_the_buffer", Op::Update, {{0xAB, 0x0700}}, 110, "", Filled<kFirmwareBufferSize + 1>},
    {"update_empty_file", Op::Update, {{0xAB, 0x0700}}, 110, "", Filled<0>},
    {"update_without_a_variant_has_no_file", Op::UpdateWithoutVariant, {{0xAB, 0x0700}}},
    {"fwupdate_sends_the_same_variant_again", Op::FwUpdate, {{0xAB}}},
    {"fwupdate_refused_shows_no_pass", Op::FwUpdate, {{0xA5}}},
    {"gang_update_pads_and_marks_block_eight", Op::GangUpdate, {{kGang, 0x0700}}, 110, "", Filled<1000>},
    // The port scan's probe: a type or version query; a found port stays open at two stop bits.
    {"find_by_type_passes_a1_over", Op::FindByType, {{kReplies, 0, {}, {0xA1}}}, 110, ""},
    {"find_by_type_takes_af", Op::FindByType, {{kReplies, 0, {}, {0xAF}}}, 110, ""},
    {"find_by_type_takes_b5", Op::FindByType, {{kReplies, 0, {}, {0xB5}}}, 110, ""},
    {"find_by_type_passes_c1_over", Op::FindByType, {{kReplies, 0, {}, {0xC1}}}, 110, ""},
    {"find_by_version_takes_a5_alone", Op::FindByVersion, {{kReplies, 0, {}, {0xA5}}}, 110, ""},
    {"find_by_version_takes_a5_and_version", Op::FindByVersion, {{kReplies, 0, {}, {0xA5, 0x07, 0x10}}}, 110, ""},
    {"find_by_version_passes_af_over", Op::FindByVersion, {{kReplies, 0, {}, {0xAF, 0x07, 0x10}}}, 110, ""},
    {"find_fails_and_closes_keeping_the_remembered_port", Op::FindByVersion, {{kSilent}}, 110, "sim:9"},
    // A silent port costs the 10 ms drain read and the 11 ms probe read; opening it again: one stop bit.
    {"find_skips_silent_ports_then_opens", Op::FindThenOpen, {{kSilent}, {kReplies}, {0xAB}}, 110, ""},
    // 400 bytes at power-up take about 35 ms on the wire; the drain waits until the line is silent.
    {"find_drains_a_chatty_port", Op::FindByType, {{kReplies, 0, {}, {0xAB}, V(400, 0x55)}}, 110, ""},
    {"fault_search_nothing_answers", Op::Search, {{0xAB, 0x0700, {{K::SilentAfter, 0}}}}},
    {"fault_search_garbage_type_code", Op::Search, {{0xAB, 0x0700, {{K::CorruptToHost, 4}}}}},
    {"fault_search_too_many_bytes", Op::Search, {{0xAB, 0x0700, {{K::ExtraToHost, 1}}}}},
    // The first connection reports the missing type code; the scan then finds the Programmer.
    {"fault_search_too_few_bytes", Op::Search, {{0xAB, 0x0700, {{K::DropToHost, 4}}}}},
    {"fault_search_wrong_ack_falls_back_to_the_scan", Op::Search, {{0xAB, 0x0700, {{K::WrongAck, 1}}}}},
    {"fault_search_line_cut", Op::Search, {{0xAB, 0x0700, {{K::DisconnectAfter, 1}}}}},
    {"fault_version_wrong_ack", Op::Version, {{0xAB, 0x0700, {{K::WrongAck, 1}}}}},
    {"fault_version_silent", Op::Version, {{0xAB, 0x0700, {{K::SilentAfter, 1}}}}},
    {"fault_version_too_few_bytes", Op::Version, {{0xAB, 0x0700, {{K::DropToHost, 3}}}}},
    {"fault_update_no_ack_for_the_transfer", Op::Update, {{0xAB, 0x0700, {{K::DropToDevice, 1}}}}},
    {"fault_update_wrong_header_ack", Op::Update, {{0xAB, 0x0700, {{K::WrongAck, 2}}}}},
    {"fault_update_byte_lost_in_a_block", Op::Update, {{0xAB, 0x0700, {{K::DropToDevice, 300}}}}},
    {"fault_update_wrong_check_ack", Op::Update, {{0xAB, 0x0700, {{K::WrongAck, 7}}}}},
    {"fault_update_sum_corrupted", Op::Update, {{0xAB, 0x0700, {{K::CorruptToHost, 10}}}}},
    {"fault_update_sum_too_short", Op::Update, {{0xAB, 0x0700, {{K::DropToHost, 11}}}}},
    {"fault_update_line_cut_in_the_header", Op::Update, {{0xAB, 0x0700, {{K::DisconnectAfter, 3}}}}},
    {"fault_update_line_cut_in_a_block", Op::Update, {{0xAB, 0x0700, {{K::DisconnectAfter, 100}}}}},
    // In gang mode the connection asks for the type at once and reports its missing answer.
    {"fault_gang_search_nothing_answers", Op::GangSearch, {{kGang, 0x0700, {{K::SilentAfter, 0}}}}},
    {"fault_gang_update_wrong_ack", Op::GangUpdate, {{kGang, 0x0700, {{K::WrongAck, 1}}}}},
    {"fault_gang_update_silent", Op::GangUpdate, {{kGang, 0x0700, {{K::SilentAfter, 1}}}}},
    // A marker other than 0x5A after block 7 spoils the transfer: no more acknowledges.
    {"fault_gang_update_marker_corrupted", Op::GangUpdate, {{kGang, 0x0700, {{K::CorruptToDevice, 2050}}}}},
    {"fault_gang_update_line_cut", Op::GangUpdate, {{kGang, 0x0700, {{K::DisconnectAfter, 1000}}}}},
};
// clang-format on

TEST(ProgrammerLink, ScenariosGoAsTheirTranscripts) {
  for (const Scenario& s : kScenarios) {
    SCOPED_TRACE(s.name);
    Rig rig;
    const int result = Play(rig, s);
    if (!s.lines[0].faults.empty()) {
      Serve(rig, {s.lines[0].type == kGang ? kGang : uint8_t{0xAB}});
      rig.Remember("sim:2");
      s.lines[0].type == kGang ? rig.link.SearchGangProgrammer() : rig.link.SearchProgrammer();
    }
    EXPECT_TRUE(test_support::MatchesGolden(std::string("link/") + s.name + ".txt", rig.Transcript(result)));
  }
}

TEST(ProgrammerLink, SearchStatusNamesTheGangSocket) {
  EXPECT_EQ(SearchStatusText(false, 3), "Search Programmer...");
  EXPECT_EQ(SearchStatusText(true, 1), "Search Programmer <1 of 4>...");
  EXPECT_EQ(SearchStatusText(true, 4), "Search Programmer <4 of 4>...");
  EXPECT_EQ(SearchStatusText(true, 0), std::nullopt);
  EXPECT_EQ(SearchStatusText(true, 5), std::nullopt);
}

VersionFlags Flags(const char* bits) {
  const auto b = [&](int i) { return bits[i] == '1'; };
  return {b(0), b(1), b(2), b(3), b(4), b(5), b(6)};
}

// Flags in the order below 0490, 0501, 0505, 0524, 0601, 0614 and the gang's 0119.
TEST(ProgrammerLink, VersionQueriesSetEachFlagBelowItsThreshold) {
  const std::pair<uint16_t, const char*> cases[] = {
      {0x0489, "1111111"}, {0x0490, "0111111"}, {0x0500, "0111111"}, {0x0501, "0011111"},
      {0x0505, "0001111"}, {0x0523, "0001111"}, {0x0524, "0000111"}, {0x0601, "0000011"},
      {0x0613, "0000011"}, {0x0614, "0000001"}, {0x0710, "0000001"}};
  for (const auto& [version, flags] : cases) {
    Rig rig;
    Serve(rig, {0xAB, version});
    ASSERT_EQ(rig.port.OpenPort("sim:1", 115200), 1);
    rig.link.Flags = Flags("1111111");
    EXPECT_EQ(rig.link.QueryProgrammerVersion(), 1);
    EXPECT_EQ(rig.link.ProgrammerFirmwareVersion, version);
    EXPECT_EQ(rig.link.Flags, Flags(flags)) << std::hex << version;
  }
  // The gang controller's query sets only the two gang flags.
  for (const auto& [version, flags] :
       {std::pair{0x0118, "1111111"}, {0x0119, "1111110"}, {0x0600, "1111110"}, {0x0601, "1111010"}}) {
    Rig rig;
    Serve(rig, {kGang, static_cast<uint16_t>(version)});
    ASSERT_EQ(rig.port.OpenPort("sim:1", 115200), 1);
    rig.link.Flags = Flags("1111010");
    EXPECT_EQ(rig.link.QueryGangVersion(), 1);
    EXPECT_EQ(rig.link.Flags, Flags(flags)) << std::hex << version;
  }
  // A failed query keeps the old version and flags.
  Rig rig;
  Serve(rig, {kSilent});
  ASSERT_EQ(rig.port.OpenPort("sim:1", 115200), 1);
  rig.link.ProgrammerFirmwareVersion = 0x0614;
  rig.link.Flags = Flags("1000000");
  EXPECT_EQ(rig.link.QueryProgrammerVersion(), 0);
  EXPECT_EQ(rig.link.ProgrammerFirmwareVersion, 0x0614);
  EXPECT_EQ(rig.link.Flags, Flags("1000000"));
}

// An update with `file` as the firmware file of an ICP Programmer (or the Gang controller).
int Update(Rig& rig, const V& file, bool gang = false) {
  Serve(rig, {gang ? kGang : uint8_t{0xAB}, 0x0700});
  rig.port.OpenPort("sim:1", 115200);
  rig.link.Variant = FirmwareVariant::Icp;
  EXPECT_TRUE(sim::WriteBytes(rig.FirmwarePath(gang ? kGangFirmwareFile : "v0710_MainMCU_ICP.DAT"), file));
  return gang ? rig.link.UpdateGangFirmware() : rig.link.UpdateProgrammerFirmware();
}

std::vector<Micros> SentTimes(const Rig& rig) {
  std::vector<Micros> sent;
  for (const auto& event : rig.WireEvents(0)) {
    if (event.direction == WireDirection::ToDevice) sent.push_back(event.time);
  }
  return sent;
}

TEST(FirmwareUpdate, HeaderBytesAndBlocksArePacedAndTheEndWaitsTwoSeconds) {
  Rig rig;
  ASSERT_EQ(Update(rig, V(600, 0x33)), 1);
  const auto sent = SentTimes(rig);
  for (int i = 2; i <= 5; ++i) EXPECT_GE(sent[i] - sent[i - 1], Millis(1)) << i;  // header bytes 1..5
  EXPECT_GE(sent[6] - sent[5], Millis(500));                                      // first block
  EXPECT_GE(rig.clock.NowMicros() - sent.back(), Millis(2000));

  Rig gang;
  ASSERT_EQ(Update(gang, V(1000, 0x11), true), 1);
  const auto gang_sent = SentTimes(gang);
  EXPECT_GE(gang_sent[2050] - gang_sent[2049], Millis(251));  // the marker, then block 8
  EXPECT_GE(gang.clock.NowMicros() - gang_sent.back(), Millis(2000));
}

TEST(FirmwareUpdate, RestoringStopsAtTheEndOfTheFile) {
  const std::pair<std::size_t, std::vector<std::size_t>> cases[] = {
      {3, {}},
      {4, {3, 3}},
      {2051, {3, 255}},
      {2052, {3, 255, 2051, 2051}},
      {10244, {3, 255, 2051, 2303, 10243, 10243}}};
  for (const auto& [length, runs] : cases) {
    V data(kFirmwareBufferSize, 0x00), expected(kFirmwareBufferSize, 0x00);
    RestoreScrambledRanges(data, length);
    for (std::size_t i = 0; i < runs.size(); i += 2)
      std::fill(&expected[runs[i]], &expected[runs[i + 1]] + 1, 0xFF);
    EXPECT_EQ(data, expected) << length;
  }
}

// Sizes around the block and range edges stay inside the buffer (the sanitizer build checks).
TEST(FirmwareUpdate, AnyFileSizeStaysInsideTheBuffer) {
  uint32_t state = 12345;
  for (std::size_t size : {0,    1,    2,    3,    4,     5,     255,   256,   257,   2051,  2052,
                           2303, 2304, 4096, 4097, 10243, 10495, 10496, 14335, 14336, 14337, 30000}) {
    V content(size);
    for (auto& byte : content) byte = static_cast<uint8_t>((state = state * 1103515245u + 12345u) >> 16);
    const bool fits = size <= kFirmwareBufferSize;
    Rig single, gang;
    EXPECT_EQ(Update(single, content), fits && size > 0 ? 1 : 0) << size;
    EXPECT_EQ(Update(gang, content, true), fits ? 1 : 0) << size;
  }
}

}  // namespace
}  // namespace quillet
