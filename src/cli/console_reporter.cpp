#include "cli/console_reporter.h"

#include <ostream>

namespace quillet::cli {

ConsoleReporter::ConsoleReporter(const Clock& clock, std::ostream& out, std::ostream& err, bool show_progress)
    : Reporter(clock), out_(out), err_(err), show_progress_(show_progress) {}

void ConsoleReporter::SetStatus(const std::string& text) {
  if (text == status_) return;
  status_ = text;
  last_percent_ = -1;
  if (text != "Ready...") err_ << (show_progress_ ? "\r\x1b[K" : "") << text << (show_progress_ ? "" : "\n");
  err_.flush();
}

void ConsoleReporter::SetProgressRange(int lower, int upper) {
  lower_ = lower;
  upper_ = upper;
}

void ConsoleReporter::SetProgressPos(int pos) {
  pos_ = pos;
  DrawProgress();
}

void ConsoleReporter::StepIt() {
  pos_ += step_;
  if (pos_ > upper_) pos_ = lower_;
  DrawProgress();
}

void ConsoleReporter::DrawProgress() {
  if (!show_progress_ || upper_ <= lower_) return;
  const int percent = (pos_ - lower_) * 100 / (upper_ - lower_);
  if (percent == last_percent_) return;
  last_percent_ = percent;
  err_ << "\r\x1b[K" << status_ << " " << percent << "%";
  err_.flush();
}

void ConsoleReporter::PassWindow(const std::string& message, const std::string& time_stamp) {
  if (show_progress_) err_ << "\r\x1b[K";
  out_ << "PASS " << time_stamp << ": " << message << "\n";
}

void ConsoleReporter::FailWindow(const std::string& message, const std::string& time_stamp) {
  ++failures_;
  if (show_progress_) err_ << "\r\x1b[K";
  err_ << "FAIL " << time_stamp << ": " << message << "\n";
  if (const std::string next = next_step_ ? next_step_(message) : ""; !next.empty())
    err_ << "  " << next << "\n";
}

void ConsoleReporter::WarningBox(const std::string& message) {
  err_ << "WARNING: " << message << "\n";
}

void ConsoleReporter::DebugBox(const std::string& text) {
  out_ << "<Debug> " << text << "\n";
}

}  // namespace quillet::cli
