#include "core/serial/wire_trace.h"

#include <cinttypes>
#include <sstream>

namespace quillet {

WireTrace::~WireTrace() {
  if (file_) std::fclose(file_);
}

bool WireTrace::OpenFile(const std::string& path) {
  std::lock_guard lock(mutex_);
  if (file_) std::fclose(file_);
  file_ = std::fopen(path.c_str(), "w");
  if (!file_) return false;
  std::fputs("# wire trace: time in microseconds, '>' host to device, '<' device to host\n", file_);
  return true;
}

void WireTrace::SetOrigin(Micros origin) {
  std::lock_guard lock(mutex_);
  origin_ = origin;
}

void WireTrace::WriteLine(Micros time, const std::string& rest) {
  if (!file_) return;
  std::fprintf(file_, "%10" PRId64 " %s\n", static_cast<int64_t>((time - origin_).count()), rest.c_str());
}

void WireTrace::Flush() {
  std::lock_guard lock(mutex_);
  if (file_) std::fflush(file_);
}

void WireTrace::Byte(Micros time, WireDirection direction, uint8_t value) {
  std::lock_guard lock(mutex_);
  events_.push_back({time, direction, value});
  if (!file_) return;
  char text[8];
  std::snprintf(text, sizeof text, "%c %02X", direction == WireDirection::ToDevice ? '>' : '<', value);
  WriteLine(time, text);
}

void WireTrace::Note(Micros time, const std::string& text) {
  std::lock_guard lock(mutex_);
  WriteLine(time, "# " + text);
}

std::vector<WireEvent> WireTrace::Events() const {
  std::lock_guard lock(mutex_);
  return events_;
}

std::vector<uint8_t> WireTrace::Bytes(WireDirection direction) const {
  std::lock_guard lock(mutex_);
  std::vector<uint8_t> bytes;
  for (const auto& event : events_) {
    if (event.direction == direction) bytes.push_back(event.value);
  }
  return bytes;
}

void WireTrace::Clear() {
  std::lock_guard lock(mutex_);
  events_.clear();
}

std::vector<WireEvent> ParseWireTrace(std::string_view text) {
  std::vector<WireEvent> events;
  std::istringstream lines{std::string(text)};
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    int64_t time = 0;
    std::string direction;
    unsigned value = 0;
    if (!(fields >> time >> direction >> std::hex >> value) || value > 0xFF) continue;
    if (direction != ">" && direction != "<") continue;
    events.push_back({Micros(time), direction == ">" ? WireDirection::ToDevice : WireDirection::ToHost,
                      static_cast<uint8_t>(value)});
  }
  return events;
}

}  // namespace quillet
