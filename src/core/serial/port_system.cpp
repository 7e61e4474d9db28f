#include "core/serial/port_system.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <tuple>

#include "core/serial/termios_device.h"

namespace quillet {
namespace {

namespace fs = std::filesystem;

// Drivers whose ports come first in a scan; the others follow by name.
constexpr std::string_view kPreferredDrivers[] = {"ttyUSB", "ttyACM"};

// Sort key: preferred-driver rank, driver name, port number.
std::tuple<std::size_t, std::string, unsigned long> ScanKey(const std::string& name) {
  std::size_t digits = name.size();
  while (digits > 0 && name[digits - 1] >= '0' && name[digits - 1] <= '9') --digits;
  const std::string driver = name.substr(0, digits);
  const unsigned long number = digits < name.size() ? std::strtoul(name.c_str() + digits, nullptr, 10) : 0;
  const auto preferred = std::find(std::begin(kPreferredDrivers), std::end(kPreferredDrivers), driver);
  return {static_cast<std::size_t>(preferred - std::begin(kPreferredDrivers)), driver, number};
}

bool IsPlaceholderUart(const fs::path& entry) {
  std::ifstream type_file(entry / "type");
  int type = -1;
  return type_file >> type && type == 0;
}

}  // namespace

std::vector<std::string> ListSystemPorts(const std::string& sysfs_tty_folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(sysfs_tty_folder, error)) {
    const std::string name = entry.path().filename().string();
    if (!fs::exists(entry.path() / "device", error) || IsPlaceholderUart(entry.path())) continue;
    names.push_back(name);
  }
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return ScanKey(a) < ScanKey(b); });
  std::vector<std::string> paths;
  for (const auto& name : names) paths.push_back("/dev/" + name);
  return paths;
}

void VirtualPorts::Register(const std::string& name, Opener opener) {
  std::lock_guard lock(mutex_);
  ports_.emplace_back(name, std::move(opener));
}

void VirtualPorts::Unregister(const std::string& name) {
  std::lock_guard lock(mutex_);
  std::erase_if(ports_, [&](const auto& port) { return port.first == name; });
}

std::vector<std::string> VirtualPorts::Names() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> names;
  for (const auto& port : ports_) names.push_back(port.first);
  return names;
}

bool VirtualPorts::Has(const std::string& name) const {
  std::lock_guard lock(mutex_);
  return std::any_of(ports_.begin(), ports_.end(), [&](const auto& port) { return port.first == name; });
}

std::unique_ptr<SerialDevice> VirtualPorts::Open(const std::string& name) const {
  Opener opener;
  {
    std::lock_guard lock(mutex_);
    for (const auto& port : ports_) {
      if (port.first == name) opener = port.second;
    }
  }
  return opener ? opener() : nullptr;
}

PortSources PortSourcesFromEnvironment() {
  PortSources sources;
  if (const char* system = std::getenv(kSystemPortsVariable))
    sources.system_ports = std::string(system) != "0";
  if (const char* extra = std::getenv(kExtraPortsVariable)) {
    const std::string list = extra;
    std::size_t start = 0;
    while (start <= list.size()) {
      const std::size_t end = std::min(list.find(':', start), list.size());
      if (end > start) sources.extra_paths.push_back(list.substr(start, end - start));
      start = end + 1;
    }
  }
  return sources;
}

std::vector<std::string> PortSystem::ScanOrder() const {
  std::vector<std::string> all;
  if (sources_.system_ports) all = ListSystemPorts(sources_.sysfs_tty_folder);
  for (auto& name : virtual_ports_.Names()) all.push_back(std::move(name));
  all.insert(all.end(), sources_.extra_paths.begin(), sources_.extra_paths.end());

  std::vector<std::string> order;
  for (auto& name : all) {
    if (order.size() == kMaxScannedPorts) break;
    if (name.empty() || name.size() > kMaxPortNameLength) continue;
    if (std::find(order.begin(), order.end(), name) != order.end()) continue;
    order.push_back(std::move(name));
  }
  return order;
}

std::unique_ptr<SerialDevice> PortSystem::Open(const std::string& name) const {
  if (name.empty()) return nullptr;
  if (virtual_ports_.Has(name)) return virtual_ports_.Open(name);
  return OpenTermiosDevice(name);
}

}  // namespace quillet
