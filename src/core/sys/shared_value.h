#pragma once
// A value that the user-interface thread and one worker thread both touch (the P.M. flag, the
// busy flag). Unlike std::atomic it copies, so records holding it stay plain value types.
#include <atomic>

namespace quillet {

template <typename T>
class SharedValue {
 public:
  SharedValue(T value = T{}) : value_(value) {}  // NOLINT: implicit like the plain field it replaces
  SharedValue(const SharedValue& other) : value_(other.load()) {}
  SharedValue& operator=(const SharedValue& other) {
    value_.store(other.load());
    return *this;
  }
  SharedValue& operator=(T value) {
    value_.store(value);
    return *this;
  }
  operator T() const { return value_.load(); }  // NOLINT
  T load() const { return value_.load(); }

 private:
  std::atomic<T> value_;
};

}  // namespace quillet
