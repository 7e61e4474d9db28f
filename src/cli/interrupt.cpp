#include "cli/interrupt.h"

#include <signal.h>
#include <unistd.h>

#include <cstring>

namespace quillet::cli {
namespace {

volatile sig_atomic_t transfer_running = 0;
volatile sig_atomic_t transfer_interrupted = 0;

void Say(const char* text) {
  const ssize_t ignored = ::write(STDERR_FILENO, text, std::strlen(text));
  (void)ignored;
}

// Only async-signal-safe calls here.
void OnSignal(int) {
  if (!transfer_running) {
    Say("\nquillet-cli: interrupted\n");
    ::_exit(1);
  }
  if (!transfer_interrupted) {
    transfer_interrupted = 1;
    Say("\nquillet-cli: the firmware transfer finishes first (about 4 s); Ctrl-C again aborts it\n");
    return;
  }
  Say("\nquillet-cli: firmware transfer aborted; the Programmer waits inside the transfer\n  ");
  Say(kAfterFailedTransfer);
  Say("\n");
  ::_exit(1);
}

}  // namespace

void InstallInterruptHandlers() {
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;  // a read in progress goes on: the transfer is not cut by the first signal
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
}

void SetTransferRunning(bool running) {
  transfer_running = running ? 1 : 0;
  if (!running) transfer_interrupted = 0;
}

}  // namespace quillet::cli
