#pragma once
// Ctrl-C (SIGINT) and SIGTERM during a Programmer verb. Outside a firmware transfer the verb ends at
// once. Inside one, the first signal only says that the transfer finishes first (cut off, the
// Programmer would wait inside it), and a second aborts it and says what to do next.
namespace quillet::cli {

void InstallInterruptHandlers();
void SetTransferRunning(bool running);

// What to do after a firmware transfer was cut off or failed.
inline constexpr char kAfterFailedTransfer[] = "power-cycle the Programmer, then run quillet-cli fwupdate";

}  // namespace quillet::cli
