#pragma once
// A Reporter for verbs whose only output on failure is the program's message: every FAIL, WARNING
// and "<Debug>" text goes to stderr as it is worded, one a line; progress is not shown.
#include <iostream>

#include "core/report/reporter.h"

namespace quillet::cli {

class MessageReporter final : public Reporter {
 public:
  using Reporter::Reporter;
  void SetStatus(const std::string&) override {}
  void SetProgressRange(int, int) override {}
  void SetProgressStep(int) override {}
  void SetProgressPos(int) override {}
  void StepIt() override {}
  void PlaySound(Sound) override {}
  void PassWindow(const std::string& message, const std::string&) override { std::cerr << message << "\n"; }
  void FailWindow(const std::string& message, const std::string&) override { Report(message); }
  void WarningBox(const std::string& message) override { Report(message); }
  void DebugBox(const std::string& text) override { Report(text); }
  void StartAutoClose() override {}
  void StopAutoClose() override {}

  // Whether any FAIL, WARNING or "<Debug>" text was shown.
  bool Reported() const { return reported_; }

 private:
  void Report(const std::string& text) {
    reported_ = true;
    std::cerr << text << "\n";
  }
  bool reported_ = false;
};

}  // namespace quillet::cli
