#pragma once
// The program's one Programmer link, set up once by the main window and used by every operation
// it starts: the serial port over the machine's ports (and those the environment adds), the link
// with the window as its display. Firmware files are looked up in the program's own folder.
#include <string>

#include "qt/main/gui_link_display.h"
#include "core/report/reporter.h"
#include "core/catalogue/part_catalogue.h"
#include "core/job/job_settings.h"
#include "core/programmer/programmer_link.h"
#include "core/serial/serial_port.h"
#include "core/sys/clock.h"
#include "core/serial/port_system.h"

namespace quillet {

class MainLinkSession {
 public:
  MainLinkSession(Clock& clock, Reporter& reporter, GuiLinkDisplay::Actions display, JobSettings& job,
                  const PartCatalogue& catalogue, std::string firmware_folder)
      : display_(std::move(display)),
        port_(ports_, clock),
        link_(port_, clock, reporter, display_, job, catalogue, std::move(firmware_folder)) {}

  PortSystem& ports() { return ports_; }
  SerialPort& port() { return port_; }
  ProgrammerLink& link() { return link_; }
  GuiLinkDisplay& display() { return display_; }

 private:
  PortSystem ports_{PortSourcesFromEnvironment()};
  GuiLinkDisplay display_;
  SerialPort port_;
  ProgrammerLink link_;
};

}  // namespace quillet
