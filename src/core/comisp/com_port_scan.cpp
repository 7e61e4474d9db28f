#include "core/comisp/com_port_scan.h"

#include <algorithm>

#include "core/comisp/com_port_memory.h"
#include "core/job/job_settings.h"
#include "core/report/operation_display.h"
#include "core/report/reporter.h"
#include "core/serial/port_name.h"
#include "core/serial/serial_port.h"

namespace quillet {
namespace {

constexpr std::string_view kUsbSerialDrivers[] = {"ttyUSB", "ttyACM"};

bool IsUsbSerial(const std::string& device_path) {
  const std::string name = ShortPortName(device_path);
  return std::any_of(std::begin(kUsbSerialDrivers), std::end(kUsbSerialDrivers),
                     [&](std::string_view driver) { return name.starts_with(driver); });
}

std::vector<std::string> ListedPorts(SerialPort& port) {
  port.ListComPorts();
  std::vector<std::string> ports;
  for (const PortNameField& entry : port.ComPortTable()) {
    if (entry[0] == '\0') break;
    ports.push_back(PortNameText(entry));
  }
  return ports;
}

}  // namespace

int FirstRunPortIndex(const std::vector<std::string>& ports) {
  if (ports.empty()) return -1;
  const auto usb = std::find_if(ports.begin(), ports.end(), IsUsbSerial);
  return usb == ports.end() ? 0 : static_cast<int>(usb - ports.begin());
}

ComPortScanResult ComPortScan(SerialPort& port, JobSettings& job, Reporter& reporter,
                              OperationDisplay& display, const std::string& file_path) {
  ComPortScanResult result;
  const std::optional<std::string> remembered = ReadComPortFile(file_path);
  if (remembered) {
    result.file_read = true;
    result.remembered = *remembered;
    job.SetPortName(*remembered);
    display.ShowPortField(ShortPortName(*remembered));
  }

  result.ports = ListedPorts(port);
  if (remembered) {
    const auto match = std::find(result.ports.begin(), result.ports.end(), *remembered);
    const bool found = !remembered->empty() && match != result.ports.end();
    result.selected =
        found ? static_cast<int>(match - result.ports.begin()) : (result.ports.empty() ? -1 : 0);
  } else {
    result.selected = FirstRunPortIndex(result.ports);
    // With no port there is nothing to remember; the next search decides again.
    if (result.selected >= 0 && !WriteComPortFile(file_path, result.ports[result.selected]))
      reporter.ShowFail("'GUI_ComPortISP.LOG' cannot be created !");
  }
  reporter.PlaySound(Sound::Default);
  return result;
}

}  // namespace quillet
