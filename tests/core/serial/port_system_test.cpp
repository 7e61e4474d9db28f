#include "core/serial/port_system.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/temp_dir.h"

namespace quillet {
namespace {

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

}  // namespace
}  // namespace quillet
