#include "cli/interrupt.h"

#include <signal.h>
#include <unistd.h>

#include <cstring>

namespace quillet::cli {
namespace {

volatile sig_atomic_t unit_running = 0;
volatile sig_atomic_t unit_interrupted = 0;
const char* volatile unit_finishing = "";
const char* volatile unit_left = nullptr;

void Say(const char* text) {
  const ssize_t ignored = ::write(STDERR_FILENO, text, std::strlen(text));
  (void)ignored;
}

// Only async-signal-safe calls here.
void OnSignal(int) {
  if (!unit_running) {
    Say("\nquillet-cli: interrupted\n");
    ::_exit(1);
  }
  if (!unit_interrupted) {
    unit_interrupted = 1;
    Say("\nquillet-cli: ");
    Say(unit_finishing);
    Say("; Ctrl-C again aborts it\n");
    return;
  }
  Say("\nquillet-cli: aborted\n");
  if (unit_left != nullptr) {
    Say("  ");
    Say(unit_left);
    Say("\n");
  }
  ::_exit(1);
}

void Begin(const char* finishing, const char* left) {
  unit_finishing = finishing;
  unit_left = left;
  unit_interrupted = 0;
  unit_running = 1;
}

void End() {
  unit_running = 0;
  unit_interrupted = 0;
}

}  // namespace

void InstallInterruptHandlers() {
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;  // a read in progress goes on: the unit is not cut by the first signal
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
}

UnitOfWork::UnitOfWork(const char* finishing, const char* left) {
  Begin(finishing, left);
}

UnitOfWork::~UnitOfWork() {
  End();
}

void SetTransferRunning(bool running) {
  if (running) {
    Begin("the firmware transfer finishes first (about 4 s)",
          "the Programmer waits inside the transfer: power-cycle the Programmer, then run quillet-cli "
          "fwupdate");
  } else {
    End();
  }
}

}  // namespace quillet::cli
