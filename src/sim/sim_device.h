#pragma once
// What a simulated device's firmware sees of its serial line (DeviceIo), and what a simulated
// device is (SimDevice). Device time is the arrival time of the byte being handled, plus whatever
// time the firmware spends working; replies leave at device time.
#include <coroutine>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/serial/serial_device.h"
#include "core/sys/clock.h"
#include "sim/device_task.h"

namespace quillet::sim {

class DeviceIo {
 public:
  virtual ~DeviceIo() = default;

  class ByteAwaiter {
   public:
    explicit ByteAwaiter(DeviceIo& io) : io_(io) {}
    bool await_ready() const noexcept { return !io_.inbox_.empty(); }
    void await_suspend(std::coroutine_handle<> waiting) noexcept { io_.waiting_ = waiting; }
    uint8_t await_resume() { return io_.TakeByte(); }

   private:
    DeviceIo& io_;
  };

  // Waits for a byte at most `timeout` of device time; nothing when the host stays silent that long
  // (a later byte is left for the next wait). A zero time-out waits for ever.
  class TimedByteAwaiter {
   public:
    TimedByteAwaiter(DeviceIo& io, Micros timeout) : io_(io), since_(io.now_), timeout_(timeout) {}
    bool await_ready() const noexcept { return !io_.inbox_.empty(); }
    void await_suspend(std::coroutine_handle<> waiting) noexcept { io_.waiting_ = waiting; }
    std::optional<uint8_t> await_resume();

   private:
    DeviceIo& io_;
    Micros since_;
    Micros timeout_;
  };

  // The next byte from the host.
  ByteAwaiter Byte() { return ByteAwaiter(*this); }
  TimedByteAwaiter ByteWithin(Micros timeout) { return TimedByteAwaiter(*this, timeout); }
  // The next `count` bytes from the host.
  Task<std::vector<uint8_t>> Bytes(std::size_t count);
  // The next `count` bytes, or nothing when the host falls silent for `timeout` before the last.
  Task<std::optional<std::vector<uint8_t>>> BytesWithin(std::size_t count, Micros timeout);

  void Send(uint8_t value) { Emit(value, false); }
  void Send(std::span<const uint8_t> values) {
    for (uint8_t value : values) Emit(value, false);
  }
  // An acknowledge byte (counted separately, so that a fault can replace a given one).
  void SendAck(uint8_t ack) { Emit(ack, true); }
  // The firmware works for `duration` before it reads or sends again.
  void Busy(Micros duration) { now_ += duration; }
  // The firmware restarts: for `duration` it neither works nor listens, and bytes that arrive
  // meanwhile are lost.
  void Restart(Micros duration) {
    now_ += duration;
    deaf_until_ = now_;
  }
  Micros Now() const { return now_; }
  // The protocol has the host keep the line quiet for `gap` after the byte just taken, before it
  // sends the next one. A strict line refuses a byte that starts sooner.
  void RequireQuiet(Micros gap) { quiet_until_ = last_arrival_ + gap; }
  // A remark in the line's trace, at device time.
  virtual void Note(const std::string& text) = 0;

 protected:
  // Hands a byte that arrived at `at` to the firmware, resuming it if it waits for one.
  void Deliver(uint8_t value, Micros at);
  virtual void Emit(uint8_t value, bool ack) = 0;
  Micros QuietUntil() const { return quiet_until_; }
  Micros DeafUntil() const { return deaf_until_; }

 private:
  struct Arrival {
    uint8_t value;
    Micros at;
  };
  uint8_t TakeByte();

  std::deque<Arrival> inbox_;
  std::coroutine_handle<> waiting_;
  Micros now_{0};
  Micros last_arrival_{0};
  Micros quiet_until_{0};
  Micros deaf_until_{0};
};

class SimDevice {
 public:
  virtual ~SimDevice() = default;
  // The firmware: runs for as long as the device has power, reading commands from `io`.
  virtual Task<> Run(DeviceIo& io) = 0;
  // The device's own UART settings; bytes sent at another rate are lost on the way.
  virtual LineSettings Line() const = 0;
  // The host's DTR and RTS as they are from `at` on (raised when the host opens the port, as the
  // system does, and lowered when it closes it). A device wired to them reacts here.
  virtual void OnModemLines(bool /*dtr*/, bool /*rts*/, Micros /*at*/) {}
  // A host byte that arrived at `at` at a rate the device does not listen at, lost on the way.
  virtual void OnLostByte(Micros /*at*/) {}
};

// A device that listens and never answers: a port with something else (or nothing) behind it.
class SilentDevice final : public SimDevice {
 public:
  Task<> Run(DeviceIo& io) override;
  LineSettings Line() const override;
};

// 115200 baud, 8N1, binary: the Programmer's UART.
LineSettings ProgrammerLine();

}  // namespace quillet::sim
