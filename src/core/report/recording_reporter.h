#pragma once
// A Reporter that keeps every call in order, for tests and for scripted runs that inspect what an
// operation said. Modal windows return at once, as if the operator pressed OK.
#include <mutex>
#include <string>
#include <vector>

#include "core/report/reporter.h"

namespace quillet {

struct ReportEvent {
  enum class Kind {
    Status,
    Range,
    Step,
    Pos,
    StepIt,
    Sound,
    Pass,
    Fail,
    Warning,
    Debug,
    Box,
    AutoCloseOn,
    AutoCloseOff
  };
  Kind kind;
  std::string text;  // status, message or debug text; the time stamp for Pass and Fail is in `extra`,
                     // a FAIL's detail in `extra2`, a plain box's caption in `extra`
  int a = 0;
  int b = 0;
  std::string extra;
  std::string extra2;
  bool operator==(const ReportEvent&) const = default;
};

class RecordingReporter : public Reporter {
 public:
  using Reporter::Reporter;

  void SetStatus(const std::string& text) override;
  void SetProgressRange(int lower, int upper) override;
  void SetProgressStep(int step) override;
  void SetProgressPos(int pos) override;
  void StepIt() override;
  void PlaySound(Sound sound) override;
  void PassWindow(const std::string& message, const std::string& time_stamp) override;
  void FailWindow(const std::string& message, const std::string& time_stamp) override;
  void WarningBox(const std::string& message) override;
  void DebugBox(const std::string& text) override;
  void PlainBox(const std::string& caption, const std::string& text) override;
  void StartAutoClose() override;
  void StopAutoClose() override;

  std::vector<ReportEvent> Events() const;
  // The texts of every event of one kind, in order.
  std::vector<std::string> Texts(ReportEvent::Kind kind) const;
  std::string Status() const;
  int ProgressLower() const;
  int ProgressUpper() const;
  int ProgressPos() const;
  void Clear();

 private:
  void Add(ReportEvent event);

  mutable std::mutex mutex_;
  std::vector<ReportEvent> events_;
  std::string status_;
  int lower_ = 0, upper_ = 100, step_ = 1, pos_ = 0;
};

}  // namespace quillet
