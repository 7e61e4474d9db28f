// The Programmer's side of verify, read, TRIM read and information, and the gang's socket routing
// for them, byte for byte against a scripted host in virtual time.
#include <gtest/gtest.h>

#include "sim/chip_options.h"
#include "sim/gang_model.h"
#include "support/scripted_host.h"

namespace quillet::sim {
namespace {

using V = std::vector<uint8_t>;
using test_support::ScriptedHost;

V Pattern(std::size_t size, uint8_t seed) {
  V bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + seed);
  return bytes;
}

V Cat(std::initializer_list<V> parts) {
  V all;
  for (const V& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

const V kFlash = Pattern(0x400, 1);
const V kLdrom = Pattern(0x100, 0xA0);
const V kConfig = {0xF7, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77};  // CONFIG0 lock bit set: unlocked
const V kLockedConfig = {0xF5, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77};

void Fill(Chip& chip, const V& config) {
  chip.flash = kFlash;
  chip.areas[2] = kLdrom;
  std::copy(config.begin(), config.end(), chip.config.begin());
}

// ISP verify of a 300-byte APROM (part code 0, device code 0x40): one 256-byte block and one of 44,
// a result byte for each until the first that differs; then the Programmer takes commands again.
TEST(SimulatedChipReading, IspVerifyComparesEachBlockWithTheChip) {
  struct Case {
    const char* name;
    std::optional<std::size_t> changed;  // image byte that differs from the chip
    uint8_t device_code;
    const V& config;
    V results;
  };
  const Case cases[] = {
      {"last block differs", 299, 0x40, kConfig, {0x00, 0x01}},
      {"first block differs", 0, 0x40, kConfig, {0x01}},
      {"another device", std::nullopt, 0x41, kConfig, {0x01}},
      {"locked", std::nullopt, 0x40, kLockedConfig, {0x01}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ProgrammerModel programmer(0xAA, 0x0710);
    ChipFeeder feeder;
    Fill(feeder.Blank(0), c.config);
    feeder.Blank(0).part = 0;
    programmer.SetFeeder(feeder, 0);
    V image(kFlash.begin(), kFlash.begin() + 300);
    if (c.changed) image[*c.changed] ^= 0x5A;
    ScriptedHost host(programmer);
    host.Command(0xC7);
    host.Paced(V{0x00, c.device_code, 0x00, 0x01, 0x2B, 0x08});
    for (std::size_t block = 0; block < c.results.size(); ++block)
      host.Send(std::span(image).subspan(block * 256, block == 0 ? 256 : 44), Millis(5));
    host.Send({0xC0});
    EXPECT_EQ(host.Received(), Cat({{0xA5, 0xA5}, c.results, {0xAA}}));
    EXPECT_EQ(host.engine().StrictRefusals(), 0u);
  }
}

// ICP read of APROM 0..0x1FF, DataFlash 0x200..0x27F (start 0x000200), LDROM 0..0xFF.
TEST(SimulatedChipReading, IcpReadServesWhatTheRequestAsksFor) {
  const V aprom(kFlash.begin(), kFlash.begin() + 0x200);
  const V dataflash(kFlash.begin() + 0x200, kFlash.begin() + 0x280);
  const V blank_aprom(0x200, 0xFF), blank_ldrom(0x100, 0xFF), blank_config(8, 0xFF);
  struct Case {
    const char* name;
    uint16_t code;  // 200 Cortex-M0, 136 FamilyFlagB, 110 plain 8051
    const V& config;
    std::optional<uint16_t> chip_part;
    bool missing;
    V expected;  // after the acknowledge
  };
  const Case cases[] = {
      {"Cortex-M0", 200, kConfig, 200, false, Cat({kConfig, {0x00}, aprom, dataflash, kLdrom, kConfig})},
      {"FamilyFlagB locked ends", 136, kLockedConfig, {}, false, Cat({kLockedConfig, {0x01}})},
      {"8051 locked reads blank",
       110,
       kLockedConfig,
       {},
       false,
       Cat({{0x01}, blank_aprom, dataflash, blank_ldrom, blank_config})},
      {"another part", 110, kConfig, 111, false, {0x02}},
      {"missing Cortex-M0", 200, kConfig, {}, true, Cat({blank_config, {0x02}})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ProgrammerModel programmer(0xAB, 0x0710);
    ChipFeeder feeder;
    Fill(feeder.Blank(0), c.config);
    feeder.Blank(0).part = c.chip_part;
    if (c.missing) feeder.AddFlaw(0, ChipFlaw::Missing);
    programmer.SetFeeder(feeder, 0);
    ScriptedHost host(programmer);
    host.Command(0xC9);
    host.Paced(V{static_cast<uint8_t>(c.code), static_cast<uint8_t>(c.code >> 8), 2, 2, 0x53, 0x00, 0xFD});
    host.Wait(Millis(5));
    host.Paced(V{0x00, 0x01, 0xFF, 0x00, 0x00, 0x7F, 0x00, 0xFF, 0x00, 0x02});
    host.Wait(Millis(5));
    const uint8_t status = c.expected[c.code == 110 ? 0 : 8];  // after the CONFIG bytes sent first
    host.Paced(V{0x00});
    const bool goes_on = status == 0 || (status == 1 && c.code == 110);
    if (goes_on) host.Paced(V{0xFF, 0xFF});
    host.Wait(Millis(50));
    host.Send({0xC0});
    EXPECT_EQ(host.Received(), Cat({{0xA5}, c.expected, {0xAB}}));
    EXPECT_EQ(host.engine().StrictRefusals(), 0u);
  }
}

// The fields of the information reply by firmware version, for an ICP and an ISP part.
TEST(SimulatedChipReading, InformationFieldsFollowTheFirmwareVersion) {
  ProgrammerStorage storage;
  storage.header[0] = 200;
  storage.header[5] = 0x2B, storage.header[8] = 0x12, storage.header[9] = 0x34;     // APROM
  storage.header[14] = 0x7F, storage.header[17] = 0x56, storage.header[18] = 0x78;  // DataFlash
  storage.header[22] = 0xFF, storage.header[24] = 0x9A, storage.header[25] = 0xBC;  // LDROM
  storage.header[36] = 0x8F;
  storage.names[0][0] = 'a', storage.names[1][0] = 'd', storage.names[2][0] = 'l';
  storage.complete = true;
  storage.uses_left = 0x0102;
  const V aprom = Cat({{'a'}, V(63, 0), {0x00, 0x00, 0x2B, 0x12, 0x34}});
  const V dataflash = Cat({{'d'}, V(63, 0), {0x00, 0x00, 0x7F, 0x56, 0x78}});
  const V ldrom = Cat({{'l'}, V(63, 0), {0x00, 0xFF, 0x9A, 0xBC}});
  const V config_items = Cat({V(8, 0), {0x8F}});
  const V areas = Cat({aprom, dataflash, ldrom, config_items});
  struct Case {
    uint16_t version;
    uint8_t code;
    V expected;
  };
  const Case cases[] = {
      {0x0480, 200,
       Cat({{0x00, 200, 'a'},
            V(127, 0),
            {0x00, 0x00, 0x2B, 0x12, 0x34},
            {'d'},
            V(63, 0),
            {0x00, 0x7F, 0x56, 0x78},
            config_items})},
      {0x0480, 0, Cat({{0x00, 0, 'a'}, V(127, 0), {0x00, 0x00, 0x2B, 0x12, 0x34}})},
      {0x0490, 200, Cat({{0x00, 200}, areas})},
      {0x0501, 200, Cat({{0x00, 200, 0x00}, areas})},
      {0x0505, 200, Cat({{0x00, 200, 0x00}, V(16, 0), areas})},
      {0x0524, 200, Cat({{0x00, 200, 0x00}, V(16, 0), areas, {0x01, 0x02}})},
      {0x0601, 200, Cat({{0x00, 200, 0x00}, V(16, 0), areas, {0x01, 0x02, 0x00}})},
      {0x0614, 200, Cat({{0x00, 200, 0x00}, V(16, 0), areas, {0x01, 0x02, 0x00, 0xFF}, V(19, 0)})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    storage.header[0] = c.code;
    EXPECT_EQ(InformationReply(storage, c.version), c.expected);
  }
  storage.complete = false;
  EXPECT_EQ(InformationReply(storage, 0x0710), V{0xFF});
}

// 0xCE routes socket 3 for one TRIM read; 0xCD's routing ends after a second of silence; 0xCB says
// the gang holds no download.
TEST(SimulatedChipReading, GangRoutesTheChosenSocketForOneExchange) {
  GangModel gang(0x0710, 0xA4);
  ChipFeeder feeder;
  ASSERT_EQ(ApplyChipOption("chip-trim", "3:9,8,7,6,5", feeder), "");
  gang.SetFeeder(feeder);
  ScriptedHost host(gang);
  host.Command(0xCE);
  host.Wait(Millis(30));
  host.Send({0xC0});
  host.Command(0xD0);
  host.Paced(V{136, 0, 2, 2, 0x53, 0x00, 0x00});
  host.Wait(Millis(5));
  host.Paced(V{0x00});
  host.Send({0xC0}, Millis(5));
  host.Command(0xCD);
  host.Wait(Millis(1100));
  host.Send({0xC0}, Millis(5));
  host.Command(0xCB);
  EXPECT_EQ(host.Received(),
            (V{0xAF, 0x03, 0xA4, 0xA5, 0x00, 9, 8, 7, 6, 5, 0xAF, 0xAF, 0x02, 0xAF, 0xAF, 0xFF}));
}

TEST(SimulatedChipReading, ChipOptionsRefuseWhatTheyCannotUse) {
  struct Case {
    const char* name;
    const char* value;
    bool ok;
  };
  const Case cases[] = {
      {"chip-config", "1:1,2,3,4,5,6,7,0xFF", true},
      {"chip-config", "1:1,2,3,4,5,6,7", false},
      {"chip-config", "1:1,2,3,4,5,6,7,8,9", false},
      {"chip-trim", "1:1,2,3,4,0x100", false},
      {"chip-trim", "5:1,2,3,4,5", false},
      {"chip", "2:status=3", true},
      {"chip", "2:status=x", false},
      {"chip", "2:locked", true},
      {"chip", "2:shiny", false},
      {"chip-part", "4:QVAB032LB", true},
      {"chip-part", "4:QZZ", false},
      {"chip-flash", "0:/nonexistent/flash.bin", false},
      {"chip-ldrom", "0", false},
  };
  for (const Case& c : cases) {
    ChipFeeder feeder;
    EXPECT_EQ(ApplyChipOption(c.name, c.value, feeder).empty(), c.ok) << c.name << " " << c.value;
  }
  ChipFeeder feeder;
  ASSERT_EQ(ApplyChipOption("chip-part", "4:QVAB032LB", feeder), "");
  ASSERT_EQ(ApplyChipOption("chip-config", "4:1,2,3,4,5,6,7,0xFF", feeder), "");
  EXPECT_EQ(feeder.Blank(4).part, 200);
  EXPECT_EQ(feeder.Blank(4).config, (std::array<uint8_t, 8>{1, 2, 3, 4, 5, 6, 7, 0xFF}));
}

}  // namespace
}  // namespace quillet::sim
