#pragma once
// The serial ports this program can reach, in the order a scan tries them: real serial devices of
// the machine, then the in-process virtual ports of a simulator, then pseudo-terminals named by
// the environment. Names are device paths of at most 15 characters (the 16-byte port-name field
// with its terminating zero); longer names cannot be stored and are left out.
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "core/serial/port_name.h"
#include "core/serial/serial_device.h"

namespace quillet {

constexpr std::size_t kMaxScannedPorts = 256;
// Colon-separated extra device paths (pseudo-terminals) appended to the scan.
inline constexpr char kExtraPortsVariable[] = "QUILLET_EXTRA_PORTS";
// "0" leaves the machine's own serial devices out of the scan (hermetic tests, demos).
inline constexpr char kSystemPortsVariable[] = "QUILLET_SCAN_SYSTEM_PORTS";

// Serial devices with hardware behind them, from a sysfs tty class folder, as device paths:
// ttyUSB first, then ttyACM, then the others by name, each group in number order. A ttyS entry
// whose port type is 0 is a placeholder without a UART and is left out.
std::vector<std::string> ListSystemPorts(const std::string& sysfs_tty_folder = "/sys/class/tty");

// In-process ports. A simulator registers each of its ports with the function that opens it.
class VirtualPorts {
 public:
  using Opener = std::function<std::unique_ptr<SerialDevice>()>;
  void Register(const std::string& name, Opener opener);
  void Unregister(const std::string& name);
  std::vector<std::string> Names() const;
  // nullptr when the name is not a virtual port or it cannot be opened now.
  std::unique_ptr<SerialDevice> Open(const std::string& name) const;
  bool Has(const std::string& name) const;

 private:
  mutable std::mutex mutex_;
  std::vector<std::pair<std::string, Opener>> ports_;
};

struct PortSources {
  bool system_ports = true;
  std::string sysfs_tty_folder = "/sys/class/tty";
  std::vector<std::string> extra_paths;
};

// Sources as the environment sets them (QUILLET_EXTRA_PORTS, QUILLET_SCAN_SYSTEM_PORTS).
PortSources PortSourcesFromEnvironment();

class PortSystem {
 public:
  explicit PortSystem(PortSources sources = {}) : sources_(std::move(sources)) {}

  // At most 256 names in scan order, without duplicates; the n-th is the scan's port n.
  std::vector<std::string> ScanOrder() const;
  // Virtual ports by their name, everything else as a terminal device path.
  std::unique_ptr<SerialDevice> Open(const std::string& name) const;
  VirtualPorts& virtual_ports() { return virtual_ports_; }

 private:
  PortSources sources_;
  VirtualPorts virtual_ports_;
};

}  // namespace quillet
