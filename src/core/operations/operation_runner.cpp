#include "core/operations/operation_runner.h"

namespace quillet {

bool OperationRunner::Start(std::function<void()> body) {
  if (running_) return false;
  Join();  // the previous worker has cleared the flag and is ending
  running_ = true;
  worker_ = std::thread([this, body = std::move(body)] {
    body();
    running_ = false;
  });
  return true;
}

void OperationRunner::Join() {
  if (worker_.joinable()) worker_.join();
}

}  // namespace quillet
