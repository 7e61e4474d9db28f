// The serial port over simulated lines (time-outs, line settings, ports in use, DTR), the stored
// port name, the ports a scan tries, and the wire trace file. Short reads fail the link scenarios.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/serial/port_system.h"
#include "core/serial/serial_port.h"
#include "core/serial/wire_trace.h"
#include "sim/programmer_model.h"
#include "support/link_rig.h"
#include "support/temp_dir.h"

namespace quillet {
namespace {

using test_support::LinkRig;
using test_support::ReplyDevice;
using V = std::vector<uint8_t>;

std::unique_ptr<sim::ProgrammerModel> Programmer(uint8_t type = 0xAB, uint16_t version = 0x0710) {
  return std::make_unique<sim::ProgrammerModel>(type, version);
}

TEST(SerialPort, IntervalTimeOutEndsAReadWhenTheLineFallsSilent) {
  LinkRig rig;
  rig.Add(std::make_unique<ReplyDevice>(V{}, V{1, 2}));
  ASSERT_EQ(rig.port.OpenPortWithTimeout("sim:1", 115200, 50), 1);
  EXPECT_EQ(rig.port.Timeouts(), (SerialTimeouts{50, 1, 50, 1, 50}));
  rig.port.SetTimeouts(5, 1, 5000, 1, 5000);
  const Millis start = rig.clock.Now();
  rig.port.WriteByte(0);
  uint8_t buffer[8] = {};
  EXPECT_EQ(rig.port.ReadBlock(buffer), 0);
  // Two bytes arrive within a millisecond, then 5 ms of silence end the read long before 5008 ms.
  EXPECT_LT(rig.clock.Now() - start, Millis(10));
}

TEST(SerialPort, OpenConfiguresEightBitsNoParityOneStopBitBinary) {
  LinkRig rig;
  rig.Add(Programmer());
  ASSERT_EQ(rig.port.OpenPort("sim:1", 9600), 1);
  const LineSettings line = rig.port.Line();
  EXPECT_EQ(line.baud_rate, 9600u);
  EXPECT_EQ(line.data_bits, 8);
  EXPECT_EQ(line.parity, Parity::None);
  EXPECT_FALSE(line.parity_check);
  EXPECT_EQ(line.stop_bits, StopBits::One);
  EXPECT_TRUE(line.binary);
  EXPECT_FALSE(line.hardware_flow || line.software_flow);
  EXPECT_EQ(rig.port.Timeouts(), kStandardTimeouts);
  EXPECT_EQ(rig.port.ConfigurePort(115200, 7, 1, 2, 2), 1);
  EXPECT_EQ(rig.port.Line().parity, Parity::Even);
  EXPECT_TRUE(rig.port.Line().parity_check);
  EXPECT_EQ(rig.port.ConfigurePort(115200, 8, 0, 7, 0), 0);  // no such parity kind: the port closes
  EXPECT_FALSE(rig.port.IsOpen());
}

TEST(SerialPort, APortOpenElsewhereCannotBeOpenedAndIsNotListed) {
  LinkRig rig;
  rig.Add(Programmer());
  rig.Add(Programmer());
  auto elsewhere = rig.ports.Open("sim:1");
  ASSERT_NE(elsewhere, nullptr);
  EXPECT_EQ(rig.port.OpenPort("sim:1", 115200), 0);
  EXPECT_EQ(rig.port.ListComPorts(), 1);
  EXPECT_EQ(PortNameText(rig.port.ComPortTable()[0]), "sim:2");
  EXPECT_EQ(rig.port.ComPortTable()[1][0], '\0');
  elsewhere.reset();
  rig.port.ListComPorts();
  EXPECT_EQ(PortNameText(rig.port.ComPortTable()[0]), "sim:1");
  EXPECT_EQ(PortNameText(rig.port.ComPortTable()[1]), "sim:2");
}

// One rule for every stored port name: up to 15 characters and a zero; a longer name is not cut
// into what might be another device's path.
TEST(PortName, FieldHoldsFifteenCharactersOrNothing) {
  EXPECT_EQ(PortNameText(MakePortNameField("/dev/ttyUSB1234")), "/dev/ttyUSB1234");
  EXPECT_EQ(MakePortNameField("/dev/ttyUSB1234")[15], '\0');
  EXPECT_EQ(PortNameText(MakePortNameField("/dev/ttyUSB12345")), "");
  EXPECT_EQ(PortFieldText(MakePortNameField("/dev/ttyACM0")), "ttyACM0");
  EXPECT_EQ(PortFieldText(MakePortNameField("sim:1")), "sim:1");
}

namespace fs = std::filesystem;

// A sysfs tty class folder: entries with a device link (and a UART type for ttyS), and entries
// without hardware.
void MakeEntry(const fs::path& root, const std::string& name, bool device, int type = -1) {
  fs::create_directories(root / name);
  if (device) {
    fs::create_directories(root / "devices" / name);
    fs::create_directory_symlink(root / "devices" / name, root / name / "device");
  }
  if (type >= 0) std::ofstream(root / name / "type") << type << "\n";
}

TEST(PortSystem, SystemPortsComeUsbFirstThenByDriverAndNumber) {
  test_support::TempDir sysfs;
  const fs::path root = sysfs.path();
  MakeEntry(root, "ttyS10", true, 4);
  MakeEntry(root, "ttyS2", true, 4);
  MakeEntry(root, "ttyS0", true, 4);
  MakeEntry(root, "ttyS1", true, 0);  // a placeholder without a UART
  MakeEntry(root, "ttyUSB1", true);
  MakeEntry(root, "ttyUSB0", true);
  MakeEntry(root, "ttyACM0", true);
  MakeEntry(root, "ttyAMA0", true);
  MakeEntry(root, "tty1", false);
  MakeEntry(root, "console", false);
  EXPECT_EQ(ListSystemPorts(root.string()),
            (std::vector<std::string>{"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyACM0", "/dev/ttyAMA0",
                                      "/dev/ttyS0", "/dev/ttyS2", "/dev/ttyS10"}));
  EXPECT_TRUE(ListSystemPorts((root / "missing").string()).empty());
}

TEST(PortSystem, ScanOrderIsSystemThenVirtualThenExtraWithoutDuplicatesOrLongNames) {
  test_support::TempDir sysfs;
  MakeEntry(sysfs.path(), "ttyUSB0", true);
  PortSystem ports(PortSources{
      true, sysfs.path().string(), {"/dev/pts/7", "/dev/ttyUSB0", "/dev/pts/123456789", "/dev/pts/8"}});
  ports.virtual_ports().Register("sim:1", [] { return nullptr; });
  EXPECT_EQ(ports.ScanOrder(),
            (std::vector<std::string>{"/dev/ttyUSB0", "sim:1", "/dev/pts/7", "/dev/pts/8"}));
  ports.virtual_ports().Unregister("sim:1");
  EXPECT_EQ(ports.ScanOrder().size(), 3u);
}

TEST(PortSystem, ScanStopsAtTwoHundredFiftySixPorts) {
  std::vector<std::string> extra;
  for (int i = 0; i < 300; ++i) extra.push_back("/dev/pts/" + std::to_string(i));
  const PortSystem ports(PortSources{false, "", extra});
  const auto order = ports.ScanOrder();
  ASSERT_EQ(order.size(), 256u);
  EXPECT_EQ(order.back(), "/dev/pts/255");
}

TEST(PortSystem, EnvironmentNamesExtraPortsAndCanLeaveTheSystemOut) {
  ::setenv(kExtraPortsVariable, "/dev/pts/3::/dev/pts/4:", 1);
  ::setenv(kSystemPortsVariable, "0", 1);
  const PortSources sources = PortSourcesFromEnvironment();
  ::unsetenv(kExtraPortsVariable);
  ::unsetenv(kSystemPortsVariable);
  EXPECT_EQ(sources.extra_paths, (std::vector<std::string>{"/dev/pts/3", "/dev/pts/4"}));
  EXPECT_FALSE(sources.system_ports);
  EXPECT_TRUE(PortSourcesFromEnvironment().system_ports);
}

TEST(PortSystem, OpensVirtualPortsByNameAndRefusesWhatIsNoTerminal) {
  PortSystem ports(PortSources{false, "", {}});
  int opened = 0;
  ports.virtual_ports().Register("sim:1", [&] {
    ++opened;
    return nullptr;
  });
  ports.Open("sim:1");
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(ports.Open("/dev/null"), nullptr);
  EXPECT_EQ(ports.Open("/dev/quillet-no-such-port"), nullptr);
  EXPECT_EQ(ports.Open(""), nullptr);
}

TEST(WireTrace, WritesOneLinePerByteAndReadsItBack) {
  test_support::TempDir folder;
  const std::string path = folder.File("line.trace");
  {
    WireTrace trace;
    ASSERT_TRUE(trace.OpenFile(path));
    trace.SetOrigin(Micros(1000));
    trace.Byte(Micros(1087), WireDirection::ToDevice, 0xC1);
    trace.Note(Micros(1100), "open /dev/pts/3");
    trace.Byte(Micros(1174), WireDirection::ToHost, 0xA5);
    EXPECT_EQ(trace.Bytes(WireDirection::ToHost), std::vector<uint8_t>{0xA5});
  }
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(),
            "# wire trace: time in microseconds, '>' host to device, '<' device to host\n"
            "        87 > C1\n"
            "       100 # open /dev/pts/3\n"
            "       174 < A5\n");
  EXPECT_EQ(ParseWireTrace(text.str()), (std::vector<WireEvent>{{Micros(87), WireDirection::ToDevice, 0xC1},
                                                                {Micros(174), WireDirection::ToHost, 0xA5}}));
  EXPECT_TRUE(ParseWireTrace("12 > 1FF\n12 = 01\nx > 01\n").empty());
}

// A device that records the modem lines as it sees them.
class LineWatcher final : public sim::SimDevice {
 public:
  sim::Task<> Run(sim::DeviceIo& io) override {
    for (;;) co_await io.Byte();
  }
  LineSettings Line() const override { return sim::ProgrammerLine(); }
  void OnModemLines(bool dtr, bool rts, Micros) override { seen.emplace_back(dtr, rts); }
  std::vector<std::pair<bool, bool>> seen;
};

// The system raises DTR and RTS when it opens a port; configuring lowers both, so a board whose
// reset or boot pin hangs on them is left alone. The lines reach the device and the trace.
TEST(SerialPort, ConfiguringLowersDtrAndRts) {
  LinkRig rig;
  auto& device = rig.Add(std::make_unique<LineWatcher>());
  EXPECT_EQ(rig.port.SetDtr(), 0);  // no port open
  test_support::TempDir folder;
  WireTrace trace;
  ASSERT_TRUE(trace.OpenFile(folder.File("host.trace")));
  rig.port.SetTrace(&trace);
  ASSERT_EQ(rig.port.OpenPort("sim:1", 115200), 1);
  EXPECT_EQ(rig.port.SetDtr(), 1);
  rig.port.ClosePort();
  trace.Flush();
  std::ifstream in(folder.File("host.trace"));
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(),
            "# wire trace: time in microseconds, '>' host to device, '<' device to host\n"
            "         0 # open sim:1\n"
            "         0 # line 115200 8N1\n"
            "         0 # DTR 0\n"
            "         0 # RTS 0\n"
            "         0 # timeouts 1000/1/1000/1/1000\n"
            "         0 # DTR 1\n"
            "         0 # close sim:1\n");
  const std::vector<std::pair<bool, bool>> expected = {
      {true, true}, {false, true}, {false, false}, {true, false}, {false, false}};
  EXPECT_EQ(device.seen, expected);
}

TEST(SerialPort, DrainWaitsUntilTheBytesHaveLeftTheWire) {
  LinkRig rig;
  rig.Add(std::make_unique<sim::ProgrammerModel>(0xAB, 0x0710));
  ASSERT_EQ(rig.port.OpenPort("sim:1", 115200), 1);
  EXPECT_EQ(rig.port.WriteBlock(V(10, 0x00)), 1);
  EXPECT_EQ(rig.clock.NowMicros(), Micros(0));
  EXPECT_EQ(rig.port.Drain(), 1);
  EXPECT_EQ(rig.clock.NowMicros(), Micros(870));  // 10 bits of 8.68 us, rounded up to 87 us a byte
  EXPECT_EQ(rig.port.Drain(), 1);
  EXPECT_EQ(rig.clock.NowMicros(), Micros(870));
}

}  // namespace
}  // namespace quillet
