#pragma once
// The program-wide objects every operation works on, one set for the window and one for each CLI
// run: the job settings, the part catalogue, the three image buffers, the serial ports and the one
// open port, and the Programmer link, over the clock, reporter and display that the front end
// supplies. Operations take a Workbench and nothing of a window.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/catalogue/part_catalogue.h"
#include "core/images/image_buffer.h"
#include "core/images/read_results.h"
#include "core/job/job_settings.h"
#include "core/operations/comisp_run.h"
#include "core/programmer/programmer_link.h"
#include "core/report/operation_display.h"
#include "core/report/reporter.h"
#include "core/serial/port_system.h"
#include "core/serial/serial_port.h"
#include "core/storage/production_recorder.h"
#include "core/sys/clock.h"

namespace quillet {

class Workbench {
 public:
  // `firmware_folder` is where the Programmer's firmware files are looked up.
  Workbench(Clock& clock, Reporter& reporter, OperationDisplay& display, std::string firmware_folder,
            PortSources port_sources = PortSourcesFromEnvironment());
  Workbench(const Workbench&) = delete;
  Workbench& operator=(const Workbench&) = delete;

  // Chooses a part by name as the window's type radios and part lists leave it: `type` (kTypeIsp,
  // kTypeIcp, kTypeComIsp) when given, which must list the part; otherwise the type of the part's
  // list (ICP from code 110, ISP by COM Port for the parts only it lists, ISP for the others,
  // keeping ISP by COM Port when the settings already have it). Gang stays for ISP and ICP;
  // production mode is left. Names in the older "(I)" form are found; "-" names no part. The
  // catalogue's names follow the type and SetupPart runs. 0 when no such part is listed.
  int ChoosePart(std::string_view name, std::optional<uint8_t> type);

  Clock& clock() { return clock_; }
  Reporter& reporter() { return reporter_; }
  OperationDisplay& display() { return display_; }
  JobSettings& job() { return job_; }
  PartCatalogue& catalogue() { return catalogue_; }
  ImageBuffers& images() { return *images_; }
  // What the last Verify Chip, Read Chip or information report read back.
  ReadResults& read() { return read_; }
  // The gang socket (0..3) that Verify Chip, Read Chip and the TRIM read address; #1 at start-up.
  int& SocketChoice() { return socket_choice_; }
  PortSystem& ports() { return ports_; }
  SerialPort& port() { return port_; }
  ProgrammerLink& link() { return link_; }
  // Where updates write down each chip; records nothing until a front end sets its own.
  ProductionRecorder& recorder() { return *recorder_; }
  void SetRecorder(ProductionRecorder& recorder) { recorder_ = &recorder; }
  // ISP by COM Port: where the port is remembered, how many chips the production loop takes, and
  // how the last loop ended.
  ComIspRun& comisp() { return comisp_; }

 private:
  Clock& clock_;
  Reporter& reporter_;
  OperationDisplay& display_;
  JobSettings job_;
  PartCatalogue catalogue_;
  std::unique_ptr<ImageBuffers> images_ = std::make_unique<ImageBuffers>();  // 768 KB: not on the stack
  ReadResults read_;
  int socket_choice_ = 0;
  PortSystem ports_;
  SerialPort port_;
  ProgrammerLink link_;
  NullProductionRecorder no_records_;
  ProductionRecorder* recorder_ = &no_records_;
  ComIspRun comisp_;
};

}  // namespace quillet
