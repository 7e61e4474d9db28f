#pragma once
// The ISP by COM Port settings of a front end that the workbench carries to Update Chip, and what
// the production loop leaves there for it.
#include <cstdint>
#include <string>

namespace quillet {

// What a front end sets for ISP by COM Port before Update Chip, and what the production loop leaves.
struct ComIspRun {
  // Where the port of each detected chip is remembered (GUI_ComPortISP.LOG beside the settings
  // file); empty: nowhere.
  std::string port_file;
  // The production loop ends after this many chips (passed or failed); 0: until it is stopped.
  // The loop is stopped by clearing the job's ProductionMode (the P.M. box, Exit, a CLI's signal),
  // from any thread: a chip in hand is finished first.
  uint32_t chips = 0;

  enum class End { None, Stopped, ChipCount, CounterLimit, PortFailed, RecordsFailed };
  // Filled by the production loop.
  uint32_t passed = 0;
  uint32_t failed = 0;
  End end = End::None;
};

}  // namespace quillet
