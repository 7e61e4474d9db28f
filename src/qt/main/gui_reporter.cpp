#include "qt/main/gui_reporter.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>

#include "qt/kit/gui_thread.h"
#include "qt/kit/message_box.h"
#include "qt/kit/result_sound.h"
#include "qt/main/result_dialog.h"

namespace quillet {

GuiReporter::GuiReporter(const Clock& clock, QWidget* owner, QLabel* status, QProgressBar* progress,
                         std::function<void(bool)> auto_close)
    : Reporter(clock),
      owner_(owner),
      status_(status),
      progress_(progress),
      auto_close_(std::move(auto_close)) {}

void GuiReporter::OnGuiThread(const std::function<void()>& call) {
  RunOnGuiThread(context_, detached_, call);
}

void GuiReporter::SetStatus(const std::string& text) {
  OnGuiThread([&] {
    if (status_) status_->setText(QString::fromStdString(status_prefix_ + text));
  });
}

void GuiReporter::SetProgressRange(int lower, int upper) {
  OnGuiThread([&] {
    if (progress_) progress_->setRange(lower, upper);
  });
}

void GuiReporter::SetProgressStep(int step) {
  step_ = step;
}

void GuiReporter::SetProgressPos(int pos) {
  OnGuiThread([&] {
    if (progress_) progress_->setValue(pos);
  });
}

void GuiReporter::StepIt() {
  OnGuiThread([&] {
    if (!progress_) return;
    // Past the end the bar starts over, as a stepping progress bar does.
    int next = progress_->value() + step_;
    if (next > progress_->maximum()) next = progress_->minimum() + (next - progress_->maximum());
    progress_->setValue(next);
  });
}

void GuiReporter::PlaySound(Sound sound) {
  OnGuiThread([sound] { PlayResultSound(sound); });
}

void GuiReporter::PassWindow(const std::string& message, const std::string& time_stamp) {
  OnGuiThread([&] { ResultDialog(true, message, time_stamp, owner_).exec(); });
}

void GuiReporter::FailWindow(const std::string& message, const std::string& time_stamp) {
  OnGuiThread([&] { ResultDialog(false, message, time_stamp, owner_, ResultDetail()).exec(); });
}

void GuiReporter::WarningBox(const std::string& message) {
  OnGuiThread([&] { ShowMessageBox(owner_, "WARNING", message, QMessageBox::Warning); });
}

void GuiReporter::DebugBox(const std::string& text) {
  OnGuiThread([&] { ShowMessageBox(nullptr, "<Debug>", text, QMessageBox::NoIcon); });
}

void GuiReporter::PlainBox(const std::string& caption, const std::string& text) {
  OnGuiThread([&] { ShowMessageBox(owner_, caption, text, QMessageBox::NoIcon); });
}

void GuiReporter::StartAutoClose() {
  OnGuiThread([&] { auto_close_(true); });
}

void GuiReporter::StopAutoClose() {
  OnGuiThread([&] { auto_close_(false); });
}

}  // namespace quillet
