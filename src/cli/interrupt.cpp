#include "cli/interrupt.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace quillet::cli {
namespace {

// Units nest (a firmware transfer inside the update of a chip): the innermost one speaks.
constexpr int kMaxDepth = 4;
volatile sig_atomic_t unit_running = 0;  // the depth
volatile sig_atomic_t unit_interrupted = 0;
volatile sig_atomic_t stop_requested = 0;
const char* volatile unit_finishing[kMaxDepth] = {};
const char* volatile unit_left[kMaxDepth] = {};
// A store to it is one lock-free atomic store: safe in the handler.
static_assert(std::atomic<bool>::is_always_lock_free);
SharedValue<bool>* volatile cleared_flag = nullptr;

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
  const int top = unit_running - 1;
  if (!unit_interrupted) {
    unit_interrupted = 1;
    stop_requested = 1;
    if (SharedValue<bool>* flag = cleared_flag) *flag = false;
    Say("\nquillet-cli: ");
    Say(unit_finishing[top]);
    Say("; Ctrl-C again aborts it\n");
    return;
  }
  Say("\nquillet-cli: aborted\n");
  if (unit_left[top] != nullptr) {
    Say("  ");
    Say(unit_left[top]);
    Say("\n");
  }
  ::_exit(1);
}

// The texts are in place before the depth says they are there.
void Begin(const char* finishing, const char* left) {
  if (unit_running >= kMaxDepth) return;
  unit_finishing[unit_running] = finishing;
  unit_left[unit_running] = left;
  unit_running = unit_running + 1;
}

// The outermost unit's end forgets a first signal: the verb has had its chance to see it.
void End() {
  if (unit_running > 0) unit_running = unit_running - 1;
  if (unit_running == 0) unit_interrupted = 0;
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

void ClearOnInterrupt(SharedValue<bool>* flag) {
  cleared_flag = flag;
}

bool StopRequested() {
  return stop_requested != 0;
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
