#pragma once
// A record of every byte on a serial line: when it passed (microseconds), which way, its value.
// The simulator and the program's link layer write the same text format, one line per byte:
//   "<time> > C0" host to device, "<time> < A5" device to host, "<time> # text" for a note
// (port opened, settings changed, fault injected). Times count from the trace's origin.
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/sys/clock.h"

namespace quillet {

enum class WireDirection : uint8_t { ToDevice, ToHost };

struct WireEvent {
  Micros time{0};
  WireDirection direction = WireDirection::ToDevice;
  uint8_t value = 0;
  bool operator==(const WireEvent&) const = default;
};

class WireTrace {
 public:
  WireTrace() = default;
  ~WireTrace();
  WireTrace(const WireTrace&) = delete;
  WireTrace& operator=(const WireTrace&) = delete;

  // Also writes every later line to the file. False when it cannot be created.
  bool OpenFile(const std::string& path);
  // Pushes buffered lines to the file (also done when the trace is destroyed).
  void Flush();
  // Times in the file count from here.
  void SetOrigin(Micros origin);

  void Byte(Micros time, WireDirection direction, uint8_t value);
  void Note(Micros time, const std::string& text);

  std::vector<WireEvent> Events() const;
  // The bytes that went one way, in order.
  std::vector<uint8_t> Bytes(WireDirection direction) const;
  void Clear();

 private:
  void WriteLine(Micros time, const std::string& rest);

  mutable std::mutex mutex_;
  std::vector<WireEvent> events_;
  Micros origin_{0};
  std::FILE* file_ = nullptr;
};

// The byte events of a trace file's text; notes, blank and malformed lines are skipped.
std::vector<WireEvent> ParseWireTrace(std::string_view text);

}  // namespace quillet
