#pragma once
// Reporter for the command line: status texts and PASS/WARNING/<Debug> texts go to stdout, FAIL
// messages to stderr; windows are never modal here. Progress is drawn on a terminal only.
#include <functional>
#include <iosfwd>
#include <string>

#include "core/report/reporter.h"

namespace quillet::cli {

class ConsoleReporter : public Reporter {
 public:
  ConsoleReporter(const Clock& clock, std::ostream& out, std::ostream& err, bool show_progress);

  void SetStatus(const std::string& text) override;
  void SetProgressRange(int lower, int upper) override;
  void SetProgressStep(int step) override { step_ = step; }
  void SetProgressPos(int pos) override;
  void StepIt() override;
  void PlaySound(Sound) override {}
  void PassWindow(const std::string& message, const std::string& time_stamp) override;
  void FailWindow(const std::string& message, const std::string& time_stamp) override;
  void WarningBox(const std::string& message) override;
  void DebugBox(const std::string& text) override;
  void StartAutoClose() override {}
  void StopAutoClose() override {}

  int FailureCount() const { return failures_; }
  bool Failed() const { return failures_ > 0; }
  // The line said after a FAIL message, indented, when `next_step` has one for it.
  void SetNextStep(std::function<std::string(const std::string&)> next_step) {
    next_step_ = std::move(next_step);
  }

 private:
  void DrawProgress();

  std::ostream& out_;
  std::ostream& err_;
  bool show_progress_;
  int failures_ = 0;
  std::function<std::string(const std::string&)> next_step_;
  std::string status_;
  int lower_ = 0, upper_ = 100, step_ = 1, pos_ = 0, last_percent_ = -1;
};

}  // namespace quillet::cli
