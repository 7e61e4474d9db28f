// The COM port search: what GUI_ComPortISP.LOG holds decides the port selected, what the settings
// and the port field take from it, and what is left in the file. No content selects a port it does
// not name exactly, and none gives more than its one message.
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

// The first USB serial port is third; the last name has 15 characters.
const std::vector<std::string> kPorts = {"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyACM0", "/dev/ttyUSB2",
                                         "/dev/ttyUSB1234"};

std::optional<std::string> FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(ComPortScan, FileContentDecidesTheSelectedPort) {
  const struct {
    std::optional<std::string> content;  // nothing: no file
    int selected;
    std::string port_name;  // ProgrammerPortName afterwards
  } cases[] = {
      {std::nullopt, 2, "/dev/ttyS1"},  // the first USB port, written down; GUI.LOG's port stays
      {"/dev/ttyUSB2", 3, "/dev/ttyUSB2"},
      {"/dev/ttyUSB1234", 4, "/dev/ttyUSB1234"},
      {"/dev/ttyS0\r\n", 0, "/dev/ttyS0"},  // a line end written by hand
      {"/dev/ttyUSB9", 0, "/dev/ttyUSB9"},  // not present
      {"ttyUSB2", 0, "ttyUSB2"},
      {"/dev/TTYUSB2", 0, "/dev/TTYUSB2"},
      {"", 0, ""},
      {"/dev/ttyUSB1234\n", 0, ""},  // 16 bytes
      {"/dev/ttyUSB2" + std::string(300, ' '), 0, ""},
      {std::string("/dev/ttyUSB2\0\0", 14), 0, ""},
      {std::string("\x7F\x45\x4C\x46\x02\x01", 6), 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.content.value_or("(no file)"));
    test_support::TempDir folder;
    const std::string path = ComPortFilePath(folder.File("GUI.LOG"));
    if (c.content) std::ofstream(path, std::ios::binary) << *c.content;
    VirtualClock clock;
    RecordingReporter reporter(clock);
    test_support::RecordingDisplay display;
    PortSystem ports(PortSources{false, "", {}});
    for (const auto& name : kPorts)
      ports.virtual_ports().Register(name, [] { return std::make_unique<test_support::IdlePort>(); });
    SerialPort port(ports, clock);
    JobSettings job;
    job.SetPortName("/dev/ttyS1");

    const ComPortScanResult result = ComPortScan(port, job, reporter, display, path);
    EXPECT_EQ(result.ports, kPorts);
    EXPECT_EQ(result.selected, c.selected);
    EXPECT_EQ(job.PortName(), c.port_name);
    EXPECT_EQ(display.port_fields.size(), c.content ? 1u : 0u);
    EXPECT_EQ(FileText(path), c.content.value_or("/dev/ttyACM0"));  // a file that is there stays
    EXPECT_EQ(reporter.Texts(ReportEvent::Kind::Fail).size(), 0u);
    EXPECT_EQ(reporter.Texts(ReportEvent::Kind::Sound).size(), 1u);
    EXPECT_FALSE(port.IsOpen());
  }
}

TEST(ComPortScan, FirstRunTakesTheFirstUsbSerialPortElseTheFirstPort) {
  EXPECT_EQ(FirstRunPortIndex({}), -1);
  EXPECT_EQ(FirstRunPortIndex({"/dev/ttyS0", "/dev/ttyS4"}), 0);
  EXPECT_EQ(FirstRunPortIndex({"sim:1", "/dev/pts/3", "/dev/ttyACM3", "/dev/ttyUSB0"}), 2);
}

TEST(ComPortMemory, FilesThatCannotBeWrittenAreReported) {
  VirtualClock clock;
  RecordingReporter reporter(clock);
  test_support::RecordingDisplay display;
  test_support::TempDir folder;
  const std::string gone = folder.File("gone/GUI_ComPortISP.LOG");
  PortSystem ports(PortSources{false, "", {}});
  ports.virtual_ports().Register("/dev/ttyS0", [] { return std::make_unique<test_support::IdlePort>(); });
  SerialPort port(ports, clock);
  JobSettings job;
  EXPECT_EQ(ComPortScan(port, job, reporter, display, gone).selected, 0);
  EXPECT_EQ(RememberChipPort(gone, "/dev/ttyUSB0", reporter), 0);
  EXPECT_EQ(reporter.Texts(ReportEvent::Kind::Fail),
            (std::vector<std::string>{"'GUI_ComPortISP.LOG' cannot be created !",
                                      "'GUI_ComPortISP.LOG' cannot be saved !"}));
  const std::string path = folder.File("GUI_ComPortISP.LOG");
  std::ofstream(path) << std::string(300, 'x');
  EXPECT_EQ(RememberChipPort(path, "/dev/ttyUSB0", reporter), 1);
  EXPECT_EQ(FileText(path), "/dev/ttyUSB0");
}

}  // namespace
}  // namespace quillet
