// Programmer Information against a scripted Programmer and the TRIM read against the simulated one,
// in virtual time: the Programmer sends the fields its version has, and the transcript (wire,
// reports, CONFIG views) goes to a golden file. The report's sections by part kind go to one golden table.
#include <gtest/gtest.h>

#include <string_view>

#include "core/operations/programmer_information.h"
#include "core/programmer/firmware_variant.h"
#include "sim/chip_options.h"
#include "sim/gang_model.h"
#include "support/golden.h"
#include "support/operation_rig.h"

namespace quillet {
namespace {

using Bytes = std::vector<uint8_t>;
using test_support::Join;

// A Programmer (behind a Gang Programmer when `gang`) that answers the type and version queries,
// 0xCB and the socket commands 0xCC..0xCF with `gang_reply`, and 0xC6 with `info_reply`.
struct ScriptedProgrammer final : sim::SimDevice {
  uint8_t type_code = 0;
  uint16_t version = 0x0710;
  bool gang = false;
  uint16_t gang_version = 0x0710;
  Bytes gang_reply;
  Bytes info_reply;

  sim::Task<> Run(sim::DeviceIo& io) override {
    bool routed = false;
    for (;;) {
      const uint8_t command = co_await io.Byte();
      routed = routed || !gang;
      switch (command) {
        case kTypeQuery:
          io.Send(routed ? type_code : kGangTypeCode);
          break;
        case kVersionQuery: {
          const uint16_t v = routed ? version : gang_version;
          io.SendAck(routed ? kProgrammerAck : kGangAck);
          io.Send(Bytes{static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)});
          break;
        }
        case kGangInformation:
        case kGangSocketFirst:
        case kGangSocketFirst + 1:
        case kGangSocketFirst + 2:
        case kGangSocketFirst + 3:
          if (routed) break;
          io.SendAck(kGangAck);
          io.Send(gang_reply);
          routed = true;
          break;
        case kInformation:
          io.SendAck(kProgrammerAck);
          io.Send(info_reply);
          break;
        default:
          break;
      }
    }
  }
  LineSettings Line() const override { return sim::ProgrammerLine(); }
};

Bytes Field(std::string_view text, std::size_t size) {
  Bytes bytes(size, 0);
  std::copy_n(text.begin(), std::min(text.size(), size), bytes.begin());
  return bytes;
}

// The storage description a Programmer of `version` sends after 0xC6's acknowledge: status 0, part
// code 200 ("QVAB032LB") with the name of 201, every area, CONFIG 11..88, usage 300 left, verify
// only, S/N 00000012,34567890 step 1 at 0xFF8.
Bytes CurrentReply(uint16_t version) {
  Bytes reply{0x00, 200};
  if (version >= 0x0501) reply.push_back(0x00);
  if (version >= 0x0505) reply = Join({reply, Field("QVAB064LB", 16)});
  reply = Join({reply,
                Field("main.hex", 64),
                {0x00, 0x7F, 0xFF, 0x12, 0x34},
                Field("table.bin", 64),
                {0x01, 0x1F, 0xFF, 0x00, 0x10},
                Field("boot.bin", 64),
                {0x0F, 0xFF, 0xAB, 0xCD},
                {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88},
                {0x0F}});
  if (version >= 0x0524) reply = Join({reply, {0x01, 0x2C}});
  if (version >= 0x0601) reply.push_back(0xFF);
  if (version >= 0x0614)
    reply = Join({reply,
                  {0x00, 0x00, 0x0F, 0xF8},
                  {0x00, 0x00, 0x00, 0x12, 0x34, 0x56, 0x78, 0x90},
                  Bytes(7, 0),
                  {0x01}});
  return reply;
}

// Firmware below 0x0490: code 110 ("QMC04A") with DataFlash, CONFIG and an item byte with only
// bit 1, or code 0 ("QLA04D") with APROM alone.
Bytes OldReply(uint8_t code) {
  Bytes reply = Join({{0x00, code}, Field("old.hex", 128), {0x00, 0x0F, 0xFF, 0x55, 0xAA}});
  if (code < 110) return reply;
  return Join({reply, Field("data.bin", 64), {0x00, 0xFF, 0x01, 0x02}, {1, 2, 3, 4, 5, 6, 7, 8}, {0x02}});
}

// Wire bytes nobody should trust: code 0xFFFF, a part name without its zero byte, a file name that
// is not UTF-8, BCD nibbles above 9.
Bytes UntrustedReply() {
  return Join({{0x00, 0xFF, 0xFF},
               Bytes(16, 'Q'),
               {0xC3, 0x28, 0xFF, 0x00},
               Bytes(60, 0),
               {0xFF, 0xFF, 0xFF, 0x12, 0x34},
               Field("d", 64),
               {0, 0, 0, 0, 0},
               Field("l", 64),
               {0, 0, 0, 0},
               Bytes(8, 0xFF),
               {0xFF},
               {0x00, 0x05},
               {0x00},
               {0x00, 0xFF, 0xFF, 0xFF},
               Bytes(16, 0xFF)});
}

struct InfoCase {
  const char* name;
  uint16_t version;
  Bytes reply;
  bool gang = false;
  Bytes gang_reply = {};
  uint16_t gang_version = 0x0710;
};

std::string Hex(std::span<const uint8_t> bytes) {
  std::string text;
  for (uint8_t byte : bytes) {
    char hex[4];
    std::snprintf(hex, sizeof hex, " %02X", byte);
    text += hex;
  }
  return text;
}

struct Rig : test_support::OperationRig {
  ScriptedProgrammer& device;
  explicit Rig(bool gang, uint8_t type_code) : device(Serve(std::make_unique<ScriptedProgrammer>())) {
    job.ProgrammerMode = gang ? kModeGang : 0;
    DeriveModeFlags(job);
    device.type_code = type_code;
    device.gang = gang;
    Remember("sim:1");
  }
  std::string Text(int result) {
    std::string text = Transcript(result);
    for (const auto& [code, bytes] : display.config_views)
      text += "config view " + std::to_string(code) + ":" + Hex(bytes) + "\n";
    return text + "read part " + std::to_string(bench.read().ReadPartCode) + ", shown CONFIG" +
           Hex(bench.read().ShownConfigBytes) + "\n";
  }
};

class InformationWire : public ::testing::TestWithParam<InfoCase> {};

TEST_P(InformationWire, Exchange) {
  const InfoCase& c = GetParam();
  Rig rig(c.gang, Info(FirmwareVariant::Icp).type_code);
  rig.device.version = c.version;
  rig.device.info_reply = c.reply;
  rig.device.gang_reply = c.gang_reply;
  rig.device.gang_version = c.gang_version;
  const int result = ProgrammerInformation(rig.bench);
  EXPECT_EQ(rig.StrictRefusals(0), 0u);
  EXPECT_FALSE(rig.link.InfoOnlySearch);
  EXPECT_TRUE(
      test_support::MatchesGolden(std::string("operations/info_") + c.name + ".txt", rig.Text(result)));
}

// Each version from which the Programmer sends more: the old form, then the part code's high byte,
// the part name, the usage, the gang verify byte and the S/N block.
INSTANTIATE_TEST_SUITE_P(Versions, InformationWire,
                         ::testing::Values(InfoCase{"v0489_icp", 0x0489, OldReply(110)},
                                           InfoCase{"v0489_isp", 0x0489, OldReply(0)},
                                           InfoCase{"v0490", 0x0490, CurrentReply(0x0490)},
                                           InfoCase{"v0501", 0x0501, CurrentReply(0x0501)},
                                           InfoCase{"v0505", 0x0505, CurrentReply(0x0505)},
                                           InfoCase{"v0524", 0x0524, CurrentReply(0x0524)},
                                           InfoCase{"v0601", 0x0601, CurrentReply(0x0601)},
                                           InfoCase{"v0614", 0x0614, CurrentReply(0x0614)},
                                           InfoCase{"not_downloaded", 0x0710, {0x01}},
                                           InfoCase{"untrusted", 0x0710, UntrustedReply()}),
                         [](const auto& info) { return std::string(info.param.name); });

// Through a Gang Programmer: socket #1's storage after the sync; an empty gang storage (0xFF) and a
// wrong sync byte end it; gang firmware below 0x0119 sends no storage byte.
INSTANTIATE_TEST_SUITE_P(
    Gang, InformationWire,
    ::testing::Values(InfoCase{"gang", 0x0710, CurrentReply(0x0710), true, {0x00, 0x01}},
                      InfoCase{"gang_empty", 0x0710, {}, true, {0xFF}},
                      InfoCase{"gang_sync_error", 0x0710, {}, true, {0x00, 0x02}},
                      InfoCase{"gang_v0118", 0x0710, CurrentReply(0x0710), true, {0x01}, 0x0118}),
    [](const auto& info) { return std::string(info.param.name); });

struct TrimCase {
  const char* name;
  const char* part;
  std::optional<uint8_t> status;  // the status the chip reports in place of its own
  const char* trim;               // the chip's TRIM bytes
  int gang_socket = 0;            // 1..4: through a Gang Programmer to this socket
  sim::FaultPlan faults = {};
};

class TrimWire : public ::testing::TestWithParam<TrimCase> {};

TEST_P(TrimWire, Exchange) {
  const TrimCase& c = GetParam();
  sim::ChipFeeder feeder;
  test_support::OperationRig rig;
  rig.job.ProgrammerMode = c.gang_socket ? kModeGang : 0;
  DeriveModeFlags(rig.job);
  ASSERT_EQ(rig.bench.ChoosePart(c.part, std::nullopt), 1);
  const uint8_t socket = static_cast<uint8_t>(c.gang_socket);
  ASSERT_EQ(sim::ApplyChipOption("chip-trim", std::to_string(socket) + ":" + c.trim, feeder), "");
  feeder.Blank(socket).read_status = c.status;
  const uint8_t type = Info(FirmwareVariant::IcpTessel).type_code;
  if (c.gang_socket) {
    rig.Serve(std::make_unique<sim::GangModel>(0x0710, type), c.faults).SetFeeder(feeder);
    rig.bench.SocketChoice() = c.gang_socket - 1;
  } else {
    rig.Serve(std::make_unique<sim::ProgrammerModel>(type, 0x0710), c.faults).SetFeeder(feeder, 0);
  }
  rig.Remember("sim:1");
  const int result = TrimRead(rig.bench);
  EXPECT_EQ(rig.StrictRefusals(0), 0u);
  EXPECT_TRUE(
      test_support::MatchesGolden(std::string("operations/trim_") + c.name + ".txt", rig.Transcript(result)));
}

// Status 0 is answered and read on; 1 (a locked Tessel chip) and 2 (another chip) are answered and
// end it; any other status is read on without an answer. A part that is no Tessel part sends nothing.
// Through a Gang Programmer the chosen socket is routed first.
INSTANTIATE_TEST_SUITE_P(
    Cases, TrimWire,
    ::testing::Values(TrimCase{"status0", "QTS16A", {}, "1,2,0xAB,0,0xFF"},
                      TrimCase{"status1", "QTS16B", 1, "1,2,3,4,5"},
                      TrimCase{"status2", "QTS16A", 2, "1,2,3,4,5"},
                      TrimCase{"status7", "QTS16F", 7, "0x10,0x20,0x30,0x40,0x50"},
                      // The last three TRIM bytes (the device's 12th to 14th) never arrive.
                      TrimCase{"short",
                               "QTS16A",
                               {},
                               "1,2,3,4,5",
                               0,
                               {{{sim::FaultKind::DropToHost, 12},
                                 {sim::FaultKind::DropToHost, 13},
                                 {sim::FaultKind::DropToHost, 14}}}},
                      TrimCase{"not_tessel", "QMC04A", {}, "1,2,3,4,5"},
                      TrimCase{"gang_socket3", "QTS16A", {}, "1,2,3,4,5", 3}),
    [](const auto& info) { return std::string(info.param.name); });

// The report and what follows it, by part kind, mode and what the Programmer sent.
TEST(InformationReport, SectionsByPartKind) {
  PartCatalogue catalogue;
  const StoredImageInfo aprom{"a.hex", 0x007FFF, 3, 0x12, 0x34};
  const StoredImageInfo data_flash{"d.bin", 0x01FFFF, 3, 0x00, 0x10};
  const StoredImageInfo ldrom{"l.bin", 0x0FFF, 2, 0xAB, 0xCD};
  const StoredSnInfo sn{true, 0xFF8, {12, 34567890}, {0, 1}};
  const auto full = [&](uint32_t code, uint8_t item, std::array<uint8_t, 2> usage, bool verify_only,
                        bool sn_enabled) {
    ProgrammerInfo info;
    info.ReceivedPartCode = info.ReadPartCode = code;
    info.Aprom = aprom;
    info.DataFlash = data_flash;
    info.Ldrom = ldrom;
    info.ShownConfigBytes = std::array<uint8_t, 8>{};
    info.ItemByte = item;
    info.UsageLeft = usage;
    info.GangVerifyOnly = verify_only;
    info.SerialNumber = sn;
    info.SerialNumber->Enabled = sn_enabled;
    return info;
  };
  ProgrammerInfo old_icp = full(110, 0x01, {}, false, false);
  old_icp.OldExchange = true;
  old_icp.UsageLeft.reset();
  ProgrammerInfo old_flag_a = full(36, 0x04, {}, false, false);
  old_flag_a.OldExchange = true;
  old_flag_a.UsageLeft.reset();
  old_flag_a.DataFlash->LastAddress = 0x00FF;
  old_flag_a.DataFlash->address_bytes = 2;
  const struct {
    const char* name;
    ProgrammerInfo info;
    bool gang;
  } cases[] = {
      {"Cortex-M0, all areas, no usage limit", full(200, 0x0F, {0xFF, 0xFF}, true, false), false},
      {"Ember, gang, APROM, usage, S/N", full(1000, 0x08, {0x01, 0x2C}, true, true), true},
      {"8051 ICP, DataFlash and LDROM, verify byte 0", full(110, 0x06, {0x00, 0x00}, false, true), true},
      {"ISP FamilyFlagA, gang", full(37, 0x0C, {0x00, 0x01}, true, true), true},
      {"ISP other, nothing selected", full(0, 0x00, {0xFF, 0xFF}, false, true), false},
      {"code beyond the catalogue", full(0xFFFF, 0x0E, {0xFF, 0xFF}, false, false), false},
      {"old ICP, CONFIG only", old_icp, true},
      {"old FamilyFlagA, DataFlash only", old_flag_a, false},
  };
  std::string text;
  for (const auto& c : cases) {
    text +=
        std::string("== ") + c.name + "\n" + ProgrammerInformationReport(c.info, catalogue, c.gang) + "\n";
    const InformationFollowUp next = ProgrammerInformationFollowUp(c.info, catalogue);
    static const char* const kKinds[] = {"nothing", "CONFIG view", "box"};
    text += std::string("-- then ") + kKinds[static_cast<int>(next.kind)] +
            (next.caption.empty() ? "" : " " + next.caption + ": " + next.text) + "\n";
  }
  EXPECT_TRUE(test_support::MatchesGolden("operations/info_sections.txt", text));
}

}  // namespace
}  // namespace quillet
