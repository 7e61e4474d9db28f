#pragma once
// Where the Programmer is: the port it was last seen on, or the first port of a scan on which a
// Programmer answers the probe. Both return 1 for success and 0 for failure and show no message.
#include <cstdint>

#include "core/serial/port_name.h"
#include "core/serial/serial_port.h"

namespace quillet {

constexpr uint32_t kProgrammerBaudRate = 115200;
// While probing: a silent port costs about 10 ms.
constexpr SerialTimeouts kProbeTimeouts{1, 1, 10, 1, 10};

// What the probe sends: 0xC0 and a type code back, or 0xC1 and 0xA5 plus two bytes.
enum class ProbeKind { Version = 0, Type = 1 };

// The remembered port at 115200 baud, 8N1, standard time-outs.
int OpenProgrammerPort(SerialPort& port, const PortNameField& remembered);

// Probes every port in scan order; on success the port stays open (115200 baud, two stop bits,
// standard time-outs) and its name is remembered.
int FindProgrammerPort(SerialPort& port, PortNameField& remembered, ProbeKind probe);

}  // namespace quillet
