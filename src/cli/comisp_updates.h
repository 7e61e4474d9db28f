#pragma once
// quillet-cli update for a job of ISP by COM Port: the chip's own boot loader on a plain serial
// line, no Programmer. One chip, or with --loop the production loop that waits for each chip's boot
// loader in turn (the chip's answer is the operator's signal) until N chips are done, the Chip
// Counter reaches its end, the port fails or a signal stops it after the chip in hand.
#include <string>

#include "cli/chip_ledger.h"
#include "cli/programmer_session.h"

namespace quillet::cli {

struct ComIspUpdateOptions {
  int loop = -1;         // -1: one chip; 0: until stopped; else that many chips
  std::string settings;  // GUI_ComPortISP.LOG lies beside it
  bool port_named = false;
};

// The exit code: 0 when every chip passed (and one did), else 1.
int RunComIspUpdates(const ComIspUpdateOptions& options, ProgrammerSession& session, ChipLedger& ledger);

}  // namespace quillet::cli
