#include "core/report/reporter.h"

#include <cstdio>

namespace quillet {
namespace {

// The "<Debug>" texts are formatted into 256 bytes, as the boxes always were.
constexpr std::size_t kDebugTextSize = 256;

}  // namespace

void Reporter::ResetStatus() {
  SetProgressRange(0, 100);
  SetProgressStep(1);
  SetProgressPos(0);
  SetStatus("Ready...");
}

void Reporter::BeginPhase(const std::string& status, int steps) {
  SetStatus(status);
  SetProgressRange(0, steps);
  SetProgressStep(1);
  SetProgressPos(0);
}

void Reporter::ShowPass(const std::string& message) {
  ResetStatus();
  PlaySound(Sound::Default);
  if (production_mode_ && production_mode_()) StartAutoClose();
  result_message_ = message;
  result_detail_.clear();
  PassWindow(result_message_, FormatTimeStamp(clock_.LocalTime()));
}

void Reporter::ShowFail(const std::string& message) {
  ShowFail(message, "");
}

void Reporter::ShowFail(const std::string& message, const std::string& detail) {
  ResetStatus();
  PlaySound(Sound::Error);
  result_message_ = message;
  result_detail_ = detail;
  FailWindow(result_message_, FormatTimeStamp(clock_.LocalTime()));
}

void Reporter::ShowWarning(const std::string& message) {
  WarningBox(message);
  ResetStatus();
}

void Reporter::DebugText(const std::string& text) {
  DebugText2(text, "");
}

void Reporter::DebugText2(const std::string& first, const std::string& second) {
  char text[kDebugTextSize];
  std::snprintf(text, sizeof text, "%s%s", first.c_str(), second.c_str());
  DebugBox(text);
}

void Reporter::DebugByte(const std::string& text, uint8_t value) {
  char out[kDebugTextSize];
  std::snprintf(out, sizeof out, "%s0x%02X", text.c_str(), value);
  DebugBox(out);
}

void Reporter::DebugBytes4(const std::string& text, uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) {
  char out[kDebugTextSize];
  std::snprintf(out, sizeof out, "%s0x%02X 0x%02X 0x%02X 0x%02X", text.c_str(), b0, b1, b2, b3);
  DebugBox(out);
}

void Reporter::DebugBytes5(const std::string& text, uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3,
                           uint8_t b4) {
  char out[kDebugTextSize];
  std::snprintf(out, sizeof out, "%s0x%02X 0x%02X 0x%02X 0x%02X 0x%02X", text.c_str(), b0, b1, b2, b3, b4);
  DebugBox(out);
}

std::string FormatTimeStamp(const std::tm& local) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d_%02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  return text;
}

}  // namespace quillet
