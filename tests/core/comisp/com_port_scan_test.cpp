// The COM port search: what GUI_ComPortISP.LOG holds decides the port selected, what the settings
// and the port field take from it, and what is left in the file. No content may select a port it
// does not name exactly, and none may give more than its one message.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>

#include "core/comisp/com_port_memory.h"
#include "core/comisp/com_port_scan.h"
#include "core/report/recording_reporter.h"
#include "core/serial/serial_port.h"
#include "support/idle_port.h"
#include "support/link_rig.h"
#include "support/temp_dir.h"

namespace quillet {
namespace {

using test_support::IdlePort;

// Listed in this order: the first USB serial port is third; the last name has 15 characters.
const std::vector<std::string> kPorts = {"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyACM0", "/dev/ttyUSB2",
                                         "/dev/ttyUSB1234"};
constexpr char kProgrammerPort[] = "/dev/ttyS1";  // what GUI.LOG had

struct Scan {
  ComPortScanResult result;
  std::string port_name;  // ProgrammerPortName afterwards
  std::vector<std::string> port_fields;
  std::vector<std::string> failures;
  std::vector<std::string> sounds;
};

Scan RunScan(const std::string& file_path, const std::vector<std::string>& names = kPorts) {
  VirtualClock clock;
  RecordingReporter reporter(clock);
  test_support::RecordingDisplay display;
  PortSystem ports(PortSources{false, "", {}});
  for (const std::string& name : names)
    ports.virtual_ports().Register(name, [] { return std::make_unique<IdlePort>(); });
  SerialPort port(ports, clock);
  JobSettings job;
  job.SetPortName(kProgrammerPort);
  Scan scan{ComPortScan(port, job, reporter, display, file_path), job.PortName(), display.port_fields,
            reporter.Texts(ReportEvent::Kind::Fail), reporter.Texts(ReportEvent::Kind::Sound)};
  EXPECT_FALSE(port.IsOpen());
  return scan;
}

std::optional<std::string> FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(ComPortScan, FileContentDecidesTheSelectedPort) {
  const struct {
    const char* what;
    std::optional<std::string> content;  // nothing: no file
    int selected;
    std::string port_name;  // ProgrammerPortName afterwards
  } cases[] = {
      {"no file: the first USB port, written down", std::nullopt, 2, kProgrammerPort},
      {"a listed port", "/dev/ttyUSB2", 3, "/dev/ttyUSB2"},
      {"fifteen characters", "/dev/ttyUSB1234", 4, "/dev/ttyUSB1234"},
      {"a line end written by hand", "/dev/ttyS0\r\n", 0, "/dev/ttyS0"},
      {"a port not present", "/dev/ttyUSB9", 0, "/dev/ttyUSB9"},
      {"a short name is no device path", "ttyUSB2", 0, "ttyUSB2"},
      {"names differ in case", "/dev/TTYUSB2", 0, "/dev/TTYUSB2"},
      {"empty", "", 0, ""},
      {"sixteen bytes with the line end", "/dev/ttyUSB1234\n", 0, ""},
      {"a port followed by 300 bytes", "/dev/ttyUSB2" + std::string(300, ' '), 0, ""},
      {"zeros after the name", std::string("/dev/ttyUSB2\0\0", 14), 0, ""},
      {"binary", std::string("\x7F\x45\x4C\x46\x02\x01", 6), 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test_support::TempDir folder;
    const std::string path = ComPortFilePath(folder.File("GUI.LOG"));
    if (c.content) std::ofstream(path, std::ios::binary) << *c.content;
    const Scan scan = RunScan(path);
    EXPECT_EQ(scan.result.ports, kPorts);
    EXPECT_EQ(scan.result.selected, c.selected);
    EXPECT_EQ(scan.result.file_read, c.content.has_value());
    EXPECT_EQ(scan.port_name, c.port_name);
    EXPECT_EQ(scan.port_fields,
              c.content ? std::vector<std::string>{ShortPortName(c.port_name)} : std::vector<std::string>{});
    // A file that is there is left as it is.
    EXPECT_EQ(FileText(path), c.content.value_or("/dev/ttyACM0"));
    EXPECT_TRUE(scan.failures.empty());
    EXPECT_EQ(scan.sounds.size(), 1u);
  }
}

TEST(ComPortScan, FirstRunTakesTheFirstUsbSerialPortElseTheFirstPort) {
  const struct {
    std::vector<std::string> ports;
    int index;
  } cases[] = {{{}, -1},
               {{"/dev/ttyS0", "/dev/ttyS4"}, 0},
               {{"/dev/ttyS0", "/dev/ttyUSB0", "/dev/ttyACM0"}, 1},
               {{"sim:1", "/dev/pts/3", "/dev/ttyACM3"}, 2}};
  for (const auto& c : cases) EXPECT_EQ(FirstRunPortIndex(c.ports), c.index);
}

TEST(ComPortScan, WithoutPortsNothingIsWrittenDown) {
  test_support::TempDir folder;
  const std::string path = ComPortFilePath(folder.File("GUI.LOG"));
  const Scan scan = RunScan(path, {});
  EXPECT_EQ(scan.result.selected, -1);
  EXPECT_FALSE(FileText(path));
  EXPECT_TRUE(scan.failures.empty());
}

TEST(ComPortScan, FileThatCannotBeCreatedIsReportedAndTheListStillFilled) {
  test_support::TempDir folder;
  const std::string path = ComPortFilePath(folder.File("gone/GUI.LOG"));
  const Scan scan = RunScan(path);
  EXPECT_EQ(scan.failures, std::vector<std::string>{"'GUI_ComPortISP.LOG' cannot be created !"});
  EXPECT_EQ(scan.result.selected, 2);
  EXPECT_EQ(scan.result.ports.size(), kPorts.size());
}

TEST(ComPortMemory, ChipPortReplacesTheWholeFileOrIsReported) {
  VirtualClock clock;
  RecordingReporter reporter(clock);
  test_support::TempDir folder;
  const std::string path = ComPortFilePath(folder.File("GUI.LOG"));
  std::ofstream(path) << std::string(300, 'x');
  EXPECT_EQ(RememberChipPort(path, "/dev/ttyUSB0", reporter), 1);
  EXPECT_EQ(FileText(path), "/dev/ttyUSB0");
  EXPECT_EQ(RememberChipPort(folder.File("gone/GUI_ComPortISP.LOG"), "/dev/ttyUSB0", reporter), 0);
  EXPECT_EQ(reporter.Texts(ReportEvent::Kind::Fail),
            std::vector<std::string>{"'GUI_ComPortISP.LOG' cannot be saved !"});
  EXPECT_EQ(ComPortFilePath("GUI.LOG"), "GUI_ComPortISP.LOG");
}

}  // namespace
}  // namespace quillet
