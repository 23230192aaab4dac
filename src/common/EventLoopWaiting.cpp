#include "common/EventLoopWaiting.h"

#include <QEventLoop>
#include <QThread>

namespace corvane {

void EventLoopWaiting::WaitUntil(const std::function<bool()>& ready) {
  // Wake's calls run on the thread that made this object: a wait elsewhere would never see them.
  Q_ASSERT(context_.thread() == QThread::currentThread());
  while (!ready()) {
    QEventLoop loop;
    loops_.push_back(&loop);
    loop.exec();
    loops_.pop_back();
  }
}

void EventLoopWaiting::Wake() {
  // A wake posted before the loop starts is served by it: posted calls wait for the next loop.
  // Every running wait checks its condition again; a nested one may have been what was awaited.
  QMetaObject::invokeMethod(
      &context_,
      [this] {
        for (QEventLoop* loop : loops_) loop->quit();
      },
      Qt::QueuedConnection);
}

}  // namespace corvane
