#pragma once
// Serial ports are named by their device path ("/dev/ttyUSB0"); windows show the name without the
// "/dev/" prefix ("ttyUSB0").
#include <string>
#include <string_view>

namespace quillet {

// The port a first run assumes the Programmer on: the first serial port of the machine.
inline constexpr std::string_view kFirstRunPortName = "/dev/ttyS0";
inline constexpr std::string_view kDevicePrefix = "/dev/";

inline std::string ShortPortName(std::string_view device_path) {
  if (device_path.substr(0, kDevicePrefix.size()) == kDevicePrefix) device_path.remove_prefix(kDevicePrefix.size());
  return std::string(device_path);
}

}  // namespace quillet
