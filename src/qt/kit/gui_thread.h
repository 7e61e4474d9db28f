#pragma once
// Calls from a worker thread into the windows: they run on the user-interface thread and the worker
// waits for them, so what a worker shows keeps its order and a modal window holds the worker.
#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <atomic>
#include <functional>

namespace quillet {

// Runs `call` on the thread of `context` and returns when it has run. Once `detached` is set (the
// window has closed) nothing runs, even a call already waiting in the queue.
inline void RunOnGuiThread(QObject& context, const std::atomic<bool>& detached,
                           const std::function<void()>& call) {
  if (detached) return;
  const auto guarded = [&detached, &call] {
    if (!detached) call();
  };
  if (QThread::currentThread() == context.thread()) {
    guarded();
  } else {
    QMetaObject::invokeMethod(&context, guarded, Qt::BlockingQueuedConnection);
  }
}

}  // namespace quillet
