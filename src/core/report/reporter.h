#pragma once
// What every operation reports through: the status line, the progress bar, the PASS, FAIL and
// WARNING windows and the "<Debug>" boxes. The GUI implements the primitives by marshalling to the
// user-interface thread (a modal window blocks the calling worker until it closes); the CLI prints;
// tests record. The composed calls (ShowPass, ShowFail, ...) fix the order of effects for all of them.
#include <cstdint>
#include <functional>
#include <string>

#include "core/sys/clock.h"

namespace quillet {

enum class Sound { Default = 0x00, Error = 0x10 };

class Reporter {
 public:
  explicit Reporter(const Clock& clock) : clock_(clock) {}
  virtual ~Reporter() = default;
  Reporter(const Reporter&) = delete;
  Reporter& operator=(const Reporter&) = delete;

  // Primitives.
  virtual void SetStatus(const std::string& text) = 0;
  virtual void SetProgressRange(int lower, int upper) = 0;
  virtual void SetProgressStep(int step) = 0;
  virtual void SetProgressPos(int pos) = 0;
  virtual void StepIt() = 0;
  virtual void PlaySound(Sound sound) = 0;
  // Modal result windows; return when closed. The time stamp is already formatted.
  virtual void PassWindow(const std::string& message, const std::string& time_stamp) = 0;
  virtual void FailWindow(const std::string& message, const std::string& time_stamp) = 0;
  // Message box "WARNING" with an exclamation icon and OK.
  virtual void WarningBox(const std::string& message) = 0;
  // Message box "<Debug>" with OK.
  virtual void DebugBox(const std::string& text) = 0;
  // A plain message box with its own caption ("Programmer Information", "CONFIG Info", ...) and OK.
  virtual void PlainBox(const std::string& caption, const std::string& text) = 0;
  virtual void StartAutoClose() = 0;
  virtual void StopAutoClose() = 0;

  // Progress range 0..100, step 1, position 0; status line "Ready...".
  void ResetStatus();
  // Start of an operation phase: its status text and a progress range of 0..steps.
  void BeginPhase(const std::string& status, int steps);

  void ShowPass(const std::string& message);
  void ShowFail(const std::string& message);
  // A FAIL whose exact message is explained by a detail (the first differing byte, the block that
  // differs): the window shows it below the message, the command line after it.
  void ShowFail(const std::string& message, const std::string& detail);
  void ShowWarning(const std::string& message);

  void DebugText(const std::string& text);
  void DebugText2(const std::string& first, const std::string& second);
  void DebugByte(const std::string& text, uint8_t value);
  void DebugBytes4(const std::string& text, uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3);
  void DebugBytes5(const std::string& text, uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4);

  // The message of the PASS or FAIL window shown last.
  const std::string& ResultMessage() const { return result_message_; }
  // The detail of the FAIL window shown last; empty after a PASS or a FAIL without one.
  const std::string& ResultDetail() const { return result_detail_; }
  // Whether production mode is on when a PASS shows (the PASS window then closes by itself).
  void SetProductionModeQuery(std::function<bool()> query) { production_mode_ = std::move(query); }

 protected:
  const Clock& clock() const { return clock_; }

 private:
  const Clock& clock_;
  std::string result_message_;
  std::string result_detail_;
  std::function<bool()> production_mode_;
};

// "%04d-%02d-%02d_%02d:%02d:%02d", for example 2011-03-07_14:05:09.
std::string FormatTimeStamp(const std::tm& local);

}  // namespace quillet
