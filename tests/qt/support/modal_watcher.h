#pragma once
// Watches for modal windows (message boxes, result windows, dialogs) while a test runs, records
// their titles and texts, and closes them as the operator's OK would, or leaves them open.
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>

class QWidget;

namespace quillet::test_support {

struct SeenWindow {
  QString title;
  QString text;  // a message box's text, a result window's message
};

class ModalWatcher : public QObject {
 public:
  enum class Mode { Close, Observe };
  explicit ModalWatcher(Mode mode = Mode::Close);

  const QList<SeenWindow>& seen() const { return seen_; }
  QStringList Titles() const;
  // Leaves this window alone (a main window run modally by the test).
  void Ignore(QWidget* window) { known_ << window; }
  // Runs `action` on each new modal window instead of closing it.
  void SetAction(std::function<void(QWidget*)> action) { action_ = std::move(action); }

 private:
  void Poll();

  Mode mode_;
  QTimer timer_;
  QList<QPointer<QWidget>> known_;
  QList<SeenWindow> seen_;
  std::function<void(QWidget*)> action_;
};

}  // namespace quillet::test_support
