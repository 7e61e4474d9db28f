#pragma once
// The COM port search of ISP by COM Port: lists the ports that can be opened now and preselects the
// one GUI_ComPortISP.LOG remembers. Without the file it preselects the first USB serial port
// (ttyUSB, ttyACM), else the first port, and writes that one down: a chip's boot loader sits behind
// an adapter far more often than on a built-in UART. A file that names no port, or a port that is
// not there, leaves the first port selected. Runs on a worker while OperationRunning is set.
#include <string>
#include <vector>

namespace quillet {

struct JobSettings;
class OperationDisplay;
class Reporter;
class SerialPort;

struct ComPortScanResult {
  std::vector<std::string> ports;  // device paths in scan order, as the port table holds them
  int selected = -1;               // index into ports; -1 when there is none
  bool file_read = false;          // the file was there: ProgrammerPortName holds what it names
  std::string remembered;          // the device path the file names, "" when none
};

// Index of the port a first run selects: the first USB serial port, else 0; -1 for no ports.
int FirstRunPortIndex(const std::vector<std::string>& ports);

// `file_path` is GUI_ComPortISP.LOG. A file that is read puts its name into ProgrammerPortName and
// the port field; one that cannot be created is reported ("'GUI_ComPortISP.LOG' cannot be
// created !") and the list is filled all the same. Ends with the default beep.
ComPortScanResult ComPortScan(SerialPort& port, JobSettings& job, Reporter& reporter,
                              OperationDisplay& display, const std::string& file_path);

}  // namespace quillet
