#pragma once
// The one message form of every verb. Results on stdout: "PASS <stamp>: <text>". Failures on stderr:
// "FAIL <stamp>: <text>", warnings "WARNING: <text>", each with at most one detail line indented by
// two spaces (the file and the system's reason, the line of a HEX file, or what to do next). Status
// texts and a progress bar only on a terminal, except the notices that ask the operator to act or
// wait ("!!! ..."), which always show. -q leaves out the PASS line; --json leaves it to the verb.
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "core/report/reporter.h"

namespace quillet::cli {

struct OutputOptions {
  bool quiet = false;
  bool json = false;
};

class ConsoleReporter : public Reporter {
 public:
  ConsoleReporter(const Clock& clock, std::ostream& out, std::ostream& err, bool terminal,
                  OutputOptions options = {});

  void SetStatus(const std::string& text) override;
  void SetProgressRange(int lower, int upper) override;
  void SetProgressStep(int step) override { step_ = step; }
  void SetProgressPos(int pos) override;
  void StepIt() override;
  void PlaySound(Sound) override {}
  void PassWindow(const std::string& message, const std::string& time_stamp) override;
  void FailWindow(const std::string& message, const std::string& time_stamp) override;
  void WarningBox(const std::string& message) override;
  // A "<Debug>" text explains the FAIL that follows it: it becomes that FAIL's detail line.
  void DebugBox(const std::string& text) override;
  // A plain box: its caption, then its text, on stdout.
  void PlainBox(const std::string& caption, const std::string& text) override;
  void StartAutoClose() override {}
  void StopAutoClose() override {}

  // The detail line of the next FAIL or WARNING, said once.
  void SetDetail(std::string line) { detail_ = std::move(line); }
  // Put before a "<Debug>" text in a detail line, usually the file it is about ("code.hex: ").
  void SetDebugPrefix(std::string prefix) { debug_prefix_ = std::move(prefix); }
  // The detail line of a FAIL or WARNING that has none set, when `next_step` has one for its message.
  void SetNextStep(std::function<std::string(const std::string&)> next_step) {
    next_step_ = std::move(next_step);
  }
  // A line on stderr outside the message form (a notice of what happens next).
  void Notice(const std::string& line);

  int FailureCount() const { return failures_; }
  bool Failed() const { return failures_ > 0; }
  // What was said, for a verb's JSON.
  struct Said {
    std::string message;
    std::string detail;
  };
  const std::vector<Said>& Fails() const { return fails_; }
  const std::vector<Said>& Warnings() const { return warnings_; }
  const std::vector<std::string>& Passes() const { return passes_; }

 private:
  void ClearLine();
  void DrawProgress();
  std::string TakeDetail(const std::string& message);

  std::ostream& out_;
  std::ostream& err_;
  bool terminal_;
  OutputOptions options_;
  int failures_ = 0;
  std::vector<Said> fails_;
  std::vector<Said> warnings_;
  std::vector<std::string> passes_;
  std::string detail_;
  std::string debug_text_;
  std::string debug_prefix_;
  std::function<std::string(const std::string&)> next_step_;
  std::string status_;
  bool line_drawn_ = false;
  int64_t phase_start_us_ = 0;
  int lower_ = 0, upper_ = 100, step_ = 1, pos_ = 0, last_drawn_ = -1;
};

}  // namespace quillet::cli
