#pragma once
// Coroutines for simulated device firmware. A device's firmware is written as straight-line code
// ("read the command, send the acknowledge, read five header bytes, ...") that suspends whenever it
// waits for a byte from the host; the simulator resumes it as each byte arrives. Everything runs on
// the thread that feeds the bytes, so a simulation in virtual time is deterministic.
#include <coroutine>
#include <exception>
#include <optional>
#include <type_traits>
#include <utility>

namespace quillet::sim {

template <typename T>
class Task;

namespace detail {

struct PromiseBase {
  std::coroutine_handle<> continuation;

  std::suspend_always initial_suspend() noexcept { return {}; }
  struct FinalAwaiter {
    bool await_ready() noexcept { return false; }
    template <typename Promise>
    std::coroutine_handle<> await_suspend(std::coroutine_handle<Promise> done) noexcept {
      const auto next = done.promise().continuation;
      return next ? next : std::noop_coroutine();
    }
    void await_resume() noexcept {}
  };
  FinalAwaiter final_suspend() noexcept { return {}; }
  void unhandled_exception() noexcept { std::terminate(); }
};

template <typename T>
struct Promise : PromiseBase {
  std::optional<T> value;
  void return_value(T result) { value = std::move(result); }
};

template <>
struct Promise<void> : PromiseBase {
  void return_void() noexcept {}
};

}  // namespace detail

// A lazily started coroutine that returns T to the coroutine awaiting it.
template <typename T = void>
class [[nodiscard]] Task {
 public:
  struct promise_type : detail::Promise<T> {
    Task get_return_object() { return Task(std::coroutine_handle<promise_type>::from_promise(*this)); }
  };

  Task(Task&& other) noexcept : handle_(std::exchange(other.handle_, {})) {}
  Task& operator=(Task&& other) noexcept {
    if (this != &other) {
      if (handle_) handle_.destroy();
      handle_ = std::exchange(other.handle_, {});
    }
    return *this;
  }
  Task(const Task&) = delete;
  Task& operator=(const Task&) = delete;
  ~Task() {
    if (handle_) handle_.destroy();
  }

  bool await_ready() const noexcept { return false; }
  std::coroutine_handle<> await_suspend(std::coroutine_handle<> awaiting) noexcept {
    handle_.promise().continuation = awaiting;
    return handle_;
  }
  T await_resume() {
    if constexpr (!std::is_void_v<T>) return std::move(*handle_.promise().value);
  }

  // For the outermost task, which nothing awaits: runs it up to its first wait.
  void Start() { handle_.resume(); }
  bool Done() const { return !handle_ || handle_.done(); }

 private:
  explicit Task(std::coroutine_handle<promise_type> handle) : handle_(handle) {}
  std::coroutine_handle<promise_type> handle_;
};

}  // namespace quillet::sim
