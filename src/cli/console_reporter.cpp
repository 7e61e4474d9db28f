#include "cli/console_reporter.h"

#include <ostream>

namespace quillet::cli {
namespace {

constexpr int64_t kBarAfterUs = 1'000'000;  // a phase shorter than this shows no bar
constexpr int kBarWidth = 30;

// A window's message may end in a line break of its own ("Verify APROM ==> PASS !\n"); a line here ends once.
std::string Line(const std::string& message) {
  const auto end = message.find_last_not_of('\n');
  return end == std::string::npos ? std::string() : message.substr(0, end + 1);
}

bool IsNotice(const std::string& status) {
  return status.find("!!!") != std::string::npos;
}

}  // namespace

ConsoleReporter::ConsoleReporter(const Clock& clock, std::ostream& out, std::ostream& err, bool terminal,
                                 OutputOptions options)
    : Reporter(clock), out_(out), err_(err), terminal_(terminal), options_(options) {}

void ConsoleReporter::ClearLine() {
  if (!line_drawn_) return;
  err_ << "\r\x1b[K";
  line_drawn_ = false;
}

void ConsoleReporter::Notice(const std::string& line) {
  ClearLine();
  err_ << line << "\n";
  err_.flush();
}

void ConsoleReporter::SetStatus(const std::string& text) {
  if (text == status_) return;
  status_ = text;
  phase_start_us_ = clock().NowMicros().count();
  last_drawn_ = -1;
  if (IsNotice(text)) {
    Notice(text);
    return;
  }
  if (!terminal_) return;
  ClearLine();
  if (text == "Ready...") return;
  err_ << text;
  line_drawn_ = true;
  err_.flush();
}

void ConsoleReporter::SetProgressRange(int lower, int upper) {
  lower_ = lower;
  upper_ = upper;
  phase_start_us_ = clock().NowMicros().count();
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
  if (!terminal_ || upper_ <= lower_ || status_.empty() || status_ == "Ready...") return;
  if (clock().NowMicros().count() - phase_start_us_ < kBarAfterUs) return;
  const int percent = (pos_ - lower_) * 100 / (upper_ - lower_);
  if (percent == last_drawn_) return;
  last_drawn_ = percent;
  const int filled = percent * kBarWidth / 100;
  err_ << "\r\x1b[K" << (IsNotice(status_) ? "" : status_ + " ") << "[" << std::string(filled, '#')
       << std::string(kBarWidth - filled, '.') << "] " << percent << "%";
  line_drawn_ = true;
  err_.flush();
}

std::string ConsoleReporter::TakeDetail(const std::string& message) {
  std::string detail = std::move(detail_);
  if (detail.empty()) detail = ResultDetail();
  detail_.clear();
  if (detail.empty() && !debug_text_.empty()) detail = debug_prefix_ + debug_text_;
  debug_text_.clear();
  if (detail.empty() && next_step_) detail = next_step_(message);
  return detail;
}

void ConsoleReporter::PassWindow(const std::string& message, const std::string& time_stamp) {
  ClearLine();
  passes_.push_back(message);
  if (!options_.quiet && !options_.json) out_ << "PASS " << time_stamp << ": " << Line(message) << "\n";
  out_.flush();
}

void ConsoleReporter::FailWindow(const std::string& message, const std::string& time_stamp) {
  ++failures_;
  ClearLine();
  const std::string detail = TakeDetail(message);
  fails_.push_back({message, detail});
  err_ << "FAIL " << time_stamp << ": " << Line(message) << "\n";
  if (!detail.empty()) err_ << "  " << detail << "\n";
  err_.flush();
}

void ConsoleReporter::WarningBox(const std::string& message) {
  ClearLine();
  const std::string detail = TakeDetail(message);
  warnings_.push_back({message, detail});
  err_ << "WARNING: " << message << "\n";
  if (!detail.empty()) err_ << "  " << detail << "\n";
  err_.flush();
}

void ConsoleReporter::PlainBox(const std::string& caption, const std::string& text) {
  ClearLine();
  if (!options_.json) out_ << caption << ":\n" << text << "\n";
  out_.flush();
}

void ConsoleReporter::DebugBox(const std::string& text) {
  if (!debug_text_.empty()) err_ << "<Debug> " << debug_prefix_ << debug_text_ << "\n";
  debug_text_ = text;
}

}  // namespace quillet::cli
