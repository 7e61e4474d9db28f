#pragma once
// The Reporter of the main window: the status line, the progress bar, the PASS, FAIL and WARNING
// windows and the "<Debug>" boxes. Calls from a worker thread run on the user-interface thread and
// the worker waits for them, so a modal window holds the worker until it closes. After Detach (the
// window has closed while an operation still runs) every call returns at once and shows nothing.
#include <QObject>
#include <QPointer>
#include <atomic>
#include <functional>

#include "core/report/reporter.h"

class QLabel;
class QProgressBar;
class QWidget;

namespace quillet {

class GuiReporter : public Reporter {
 public:
  // `owner` owns the result windows and the WARNING box; `auto_close` starts (true) or stops the
  // 500 ms timer that closes a PASS window in production mode.
  GuiReporter(const Clock& clock, QWidget* owner, QLabel* status, QProgressBar* progress,
              std::function<void(bool)> auto_close);

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

  void Detach() { detached_ = true; }
  // Every status text is shown after this prefix (demo mode).
  void SetStatusPrefix(std::string prefix) { status_prefix_ = std::move(prefix); }

 private:
  // Runs `call` on the user-interface thread and returns when it has run.
  void OnGuiThread(const std::function<void()>& call);

  QObject context_;  // lives on the user-interface thread
  QPointer<QWidget> owner_;
  QPointer<QLabel> status_;
  QPointer<QProgressBar> progress_;
  std::function<void(bool)> auto_close_;
  int step_ = 1;
  std::string status_prefix_;
  std::atomic<bool> detached_ = false;
};

}  // namespace quillet
