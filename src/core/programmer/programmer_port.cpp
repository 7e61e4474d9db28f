#include "core/programmer/programmer_port.h"

#include "core/programmer/firmware_variant.h"
#include "core/programmer/programmer_commands.h"

namespace quillet {
namespace {

bool Probe(SerialPort& port, ProbeKind probe) {
  uint8_t reply = 0;
  if (!port.WriteByte(probe == ProbeKind::Type ? kTypeQuery : kVersionQuery) || !port.ReadByte(reply))
    return false;
  if (probe == ProbeKind::Type) return IsScanTypeCode(reply);
  uint8_t ignored = 0;
  port.ReadByte(ignored);  // the version bytes are read but not judged here
  port.ReadByte(ignored);
  return reply == kProgrammerAck;
}

}  // namespace

int OpenProgrammerPort(SerialPort& port, const PortNameField& remembered) {
  return port.OpenPort(PortNameText(remembered), kProgrammerBaudRate);
}

int FindProgrammerPort(SerialPort& port, PortNameField& remembered, ProbeKind probe) {
  port.ClosePort();
  for (const std::string& name : port.ScanOrder()) {
    if (!port.OpenUnconfigured(name)) continue;
    if (!port.ConfigurePort(kProgrammerBaudRate, 8, 0, 0, 2) || !port.SetTimeouts(kProbeTimeouts) ||
        !port.DrainInput() || !Probe(port, probe)) {
      port.ClosePort();
      continue;
    }
    remembered = MakePortNameField(name);
    if (!port.SetTimeouts(kStandardTimeouts)) {
      port.ClosePort();
      return 0;
    }
    return 1;
  }
  port.ClosePort();
  return 0;
}

}  // namespace quillet
