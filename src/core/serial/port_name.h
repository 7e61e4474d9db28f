#pragma once
// Serial ports are named by their device path ("/dev/ttyUSB0"); windows show the name without the
// "/dev/" prefix ("ttyUSB0"). Settings keep a port name in a 16-byte field: at most 15 characters
// and the zero after them. A longer name is not stored at all, since a cut name would name
// another device; the next Programmer operation scans instead.
#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace quillet {

constexpr std::size_t kPortNameSize = 16;
constexpr std::size_t kMaxPortNameLength = kPortNameSize - 1;
using PortNameField = std::array<char, kPortNameSize>;

// The port a first run assumes the Programmer on: the first serial port of the machine.
inline constexpr std::string_view kFirstRunPortName = "/dev/ttyS0";
inline constexpr std::string_view kDevicePrefix = "/dev/";

inline std::string ShortPortName(std::string_view device_path) {
  if (device_path.substr(0, kDevicePrefix.size()) == kDevicePrefix)
    device_path.remove_prefix(kDevicePrefix.size());
  return std::string(device_path);
}

// The field for a name: the name and zeros, or all zeros when the name is longer than 15.
inline PortNameField MakePortNameField(std::string_view name) {
  PortNameField field{};
  if (name.size() <= kMaxPortNameLength) std::copy(name.begin(), name.end(), field.begin());
  return field;
}

// The name up to the field's first zero.
inline std::string PortNameText(const PortNameField& field) {
  return std::string(field.begin(), std::find(field.begin(), field.end(), '\0'));
}

// The name a window shows for a stored port: the device path without "/dev/".
inline std::string PortFieldText(const PortNameField& field) {
  return ShortPortName(PortNameText(field));
}

}  // namespace quillet
