#pragma once
// Ctrl-C (SIGINT) and SIGTERM. Outside a unit of work the verb ends at once. Inside one (a firmware
// transfer, the writing of an output file), the first signal only says that the unit finishes
// first, since cut off it would leave the Programmer waiting inside a transfer or a file half
// written; a second aborts it and says what is left to do.
#include "core/sys/shared_value.h"

namespace quillet::cli {

void InstallInterruptHandlers();

// A unit of work for as long as it lives; units nest, the innermost one speaks. `finishing` is said at the
// first signal ("the firmware transfer finishes first (about 4 s)"), `left` after an abort ("power-cycle the
// Programmer, ..."); both must outlive the unit (string literals).
class UnitOfWork {
 public:
  explicit UnitOfWork(const char* finishing, const char* left = nullptr);
  ~UnitOfWork();
  UnitOfWork(const UnitOfWork&) = delete;
  UnitOfWork& operator=(const UnitOfWork&) = delete;
};

// Whether a first signal came during a unit: a verb that goes on unit after unit (chip after chip)
// stops when the unit in hand has finished.
bool StopRequested();

// A flag the first signal inside a unit clears (a production loop's ProductionMode), besides
// StopRequested; nullptr: none.
void ClearOnInterrupt(SharedValue<bool>* flag);

// The firmware transfer as a unit, begun and ended by the Programmer link's display.
void SetTransferRunning(bool running);

// What to do after a firmware transfer was cut off or failed.
inline constexpr char kAfterFailedTransfer[] = "power-cycle the Programmer, then run quillet-cli fwupdate";

}  // namespace quillet::cli
