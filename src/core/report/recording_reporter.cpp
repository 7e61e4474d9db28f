#include "core/report/recording_reporter.h"

#include <algorithm>

namespace quillet {

using Kind = ReportEvent::Kind;

void RecordingReporter::Add(ReportEvent event) {
  std::lock_guard lock(mutex_);
  events_.push_back(std::move(event));
}

void RecordingReporter::SetStatus(const std::string& text) {
  {
    std::lock_guard lock(mutex_);
    status_ = text;
  }
  Add({Kind::Status, text});
}

void RecordingReporter::SetProgressRange(int lower, int upper) {
  {
    std::lock_guard lock(mutex_);
    lower_ = lower;
    upper_ = upper;
  }
  Add({Kind::Range, "", lower, upper});
}

void RecordingReporter::SetProgressStep(int step) {
  {
    std::lock_guard lock(mutex_);
    step_ = step;
  }
  Add({Kind::Step, "", step});
}

void RecordingReporter::SetProgressPos(int pos) {
  {
    std::lock_guard lock(mutex_);
    pos_ = pos;
  }
  Add({Kind::Pos, "", pos});
}

void RecordingReporter::StepIt() {
  {
    std::lock_guard lock(mutex_);
    // A progress bar wraps to its lower bound when stepped past the upper one.
    pos_ += step_;
    if (pos_ > upper_) pos_ = lower_ + (pos_ - upper_);
  }
  Add({Kind::StepIt});
}

void RecordingReporter::PlaySound(Sound sound) {
  Add({Kind::Sound, "", static_cast<int>(sound)});
}

void RecordingReporter::PassWindow(const std::string& message, const std::string& time_stamp) {
  Add({Kind::Pass, message, 0, 0, time_stamp});
}

void RecordingReporter::FailWindow(const std::string& message, const std::string& time_stamp) {
  Add({Kind::Fail, message, 0, 0, time_stamp, ResultDetail()});
}

void RecordingReporter::WarningBox(const std::string& message) {
  Add({Kind::Warning, message});
}
void RecordingReporter::DebugBox(const std::string& text) {
  Add({Kind::Debug, text});
}
void RecordingReporter::PlainBox(const std::string& caption, const std::string& text) {
  Add({Kind::Box, text, 0, 0, caption});
}
void RecordingReporter::StartAutoClose() {
  Add({Kind::AutoCloseOn});
}
void RecordingReporter::StopAutoClose() {
  Add({Kind::AutoCloseOff});
}

std::vector<ReportEvent> RecordingReporter::Events() const {
  std::lock_guard lock(mutex_);
  return events_;
}

std::vector<std::string> RecordingReporter::Texts(Kind kind) const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> texts;
  for (const auto& e : events_)
    if (e.kind == kind) texts.push_back(e.text);
  return texts;
}

std::string RecordingReporter::Status() const {
  std::lock_guard lock(mutex_);
  return status_;
}
int RecordingReporter::ProgressLower() const {
  std::lock_guard lock(mutex_);
  return lower_;
}
int RecordingReporter::ProgressUpper() const {
  std::lock_guard lock(mutex_);
  return upper_;
}
int RecordingReporter::ProgressPos() const {
  std::lock_guard lock(mutex_);
  return pos_;
}

void RecordingReporter::Clear() {
  std::lock_guard lock(mutex_);
  events_.clear();
}

}  // namespace quillet
