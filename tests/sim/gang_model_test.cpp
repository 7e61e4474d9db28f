// The Gang Programmer routes the line to its sockets' Programmers and programs their chips
// together: download, storage query, socket-1 report, S/N blocks and the result byte.
#include <gtest/gtest.h>

#include "sim/gang_model.h"
#include "support/golden.h"
#include "support/link_transcript.h"
#include "support/scripted_host.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace quillet::sim {
namespace {

using V = std::vector<uint8_t>;
using test_support::ScriptedHost;

const V kAprom = {0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE, 0x01, 0x23};

V Header() {
  V header(52, 0x00);
  header[0] = 0x23, header[1] = 0x01, header[5] = 0x09;  // part 0x0123, APROM last address 9
  header[36] = 0x88;                                     // ICP, APROM
  header[45] = header[46] = 0xFF;
  return header;
}

void Download(ScriptedHost& host) {
  host.Wait(Millis(30));  // the sync byte
  host.Send({0xC0});
  host.Command(0xC1);
  host.Command(0xC2);
  host.Paced(Header());
  host.Send(V(16, 0x51), Millis(1));
  for (int i = 0; i < 3; ++i) host.Send(V(64, 0), Millis(1));
  host.Wait(Millis(40));
  host.Send(kAprom);
  host.Send({0x00}, Millis(1));
}

// Socket n's S/N block: address 4, value n.
V SnBlock(uint8_t n) {
  V block(19, 0);
  block[2] = 0x04, block[10] = n;
  return block;
}

// Downloads four sockets, asks for the storage state, routes socket 1's report and the S/N blocks,
// and programs; socket 3's chips fail APROM.
void GangRun(ScriptedHost& host) {
  host.Command(0xCA);
  host.Paced(V{0x66, 0x00, 0x02, 0x35, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 'Q', 'X', '7', 0x00});
  for (int n = 1; n <= 4; ++n) Download(host);
  host.Command(0xD1);
  host.Command(0xCC);
  host.Wait(Millis(30));
  host.Send({0xC0});
  host.Command(0xC3);
  host.Wait(Millis(5));
  host.Send({0xFF}, Millis(1));
  host.Command(0xD2);
  for (uint8_t n = 1; n <= 4; ++n) {
    host.Wait(Millis(30));
    host.Command(0xD2);
    host.Paced(SnBlock(n));
  }
  host.Command(0xC3);
}

TEST(GangModel, RoutesEachSocketAndReportsWhichChipsPassed) {
  GangModel gang(0x0710);
  ChipFeeder feeder;
  feeder.AddFlaw(3, ChipFlaw::FailAprom);
  test_support::TempDir dump;
  ASSERT_TRUE(feeder.SetDumpFolder(dump.path().string()));
  gang.SetFeeder(feeder);
  ScriptedHost host(gang);
  GangRun(host);
  host.Received();
  const std::string csv =
      "seq,socket,passed,sn\n1,1,1,0000000000000001\n2,2,1,0000000000000002\n3,3,0,\n"
      "4,4,1,0000000000000004\n";
  EXPECT_EQ(test_support::ReadBytes(dump.File("chips.csv")), V(csv.begin(), csv.end()));
  EXPECT_EQ(test_support::ReadBytes(dump.File("chip4-aprom.bin")), feeder.programmed()[3].chip.areas[0]);
  EXPECT_EQ(host.engine().StrictRefusals(), 0u);
  EXPECT_TRUE(test_support::MatchesGolden("sim/gang_download_update.txt",
                                          test_support::ExchangeText(host.trace().Events())));
  std::vector<std::tuple<uint8_t, bool, std::string>> chips;
  for (const ProgrammedChip& chip : feeder.programmed())
    chips.emplace_back(chip.socket, chip.passed, chip.sn);
  const std::vector<std::tuple<uint8_t, bool, std::string>> expected = {{1, true, "0000000000000001"},
                                                                        {2, true, "0000000000000002"},
                                                                        {3, false, ""},
                                                                        {4, true, "0000000000000004"}};
  EXPECT_EQ(chips, expected);
  V aprom = kAprom;
  aprom.resize(12);  // lengthened by the S/N at 4..11
  std::copy_n(SnBlock(4).begin() + 3, 8, aprom.begin() + 4);
  EXPECT_EQ(feeder.programmed()[3].chip.areas[0], aprom);
}

// The result byte as the sockets' outcome, replaced, and withheld.
TEST(GangModel, ResultByteCanBeReplacedOrWithheld) {
  struct Case {
    std::optional<std::optional<uint8_t>> result;  // nothing: not overridden
    V tail;
  };
  const Case cases[] = {
      {std::nullopt, {0xAF, 0x2C}},
      {std::optional<uint8_t>(0x3C), {0xAF, 0x3C}},
      {std::optional<uint8_t>(), {0xA5, 0xAF}},  // never sent: the 0xC3 acknowledge is last
  };
  for (const Case& c : cases) {
    GangModel gang(0x0710);
    ChipFeeder feeder;
    feeder.AddFlaw(3, ChipFlaw::FailAprom);
    gang.SetFeeder(feeder);
    if (c.result) gang.SetGangResult(*c.result);
    ScriptedHost host(gang);
    GangRun(host);
    const V got = host.Received();
    EXPECT_EQ(V(got.end() - 2, got.end()), c.tail);
  }
}

TEST(GangModel, AWrongSyncByteEndsTheRouting) {
  GangModel gang(0x0710);
  gang.SetFaults(std::make_shared<DeviceFaults>(FaultPlan{{{FaultKind::WrongSync, 2}}}));
  ScriptedHost host(gang);
  host.Command(0xD2);
  host.Wait(Millis(30));
  host.Command(0xD2);
  host.Paced(SnBlock(1));
  host.Wait(Millis(10));
  host.Send({0xC0});  // the gang itself answers again
  EXPECT_EQ(host.Received(), (V{0xAF, 0x01, 0xA5, 0x12, 0xAF}));
}

}  // namespace
}  // namespace quillet::sim
