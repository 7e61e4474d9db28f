#pragma once
// Runs each long operation (Download, Update, Verify, Read, the TRIM read, the COM port scan) on a
// worker thread of its own, at most one at a time. OperationRunning is set from the moment the
// operation is accepted until its body returns, however it returns. Workers are never killed: the
// owner waits for the last one before the program ends.
#include <functional>
#include <thread>

#include "core/sys/shared_value.h"

namespace quillet {

class OperationRunner {
 public:
  OperationRunner() = default;
  ~OperationRunner() { Join(); }
  OperationRunner(const OperationRunner&) = delete;
  OperationRunner& operator=(const OperationRunner&) = delete;

  // Starts `body` on a new worker; returns false, and runs nothing, while an operation runs.
  // Only the user-interface thread starts operations.
  bool Start(std::function<void()> body);

  // OperationRunning.
  const SharedValue<bool>& running() const { return running_; }

  // Waits until the last worker has ended.
  void Join();

 private:
  SharedValue<bool> running_ = false;
  std::thread worker_;
};

}  // namespace quillet
