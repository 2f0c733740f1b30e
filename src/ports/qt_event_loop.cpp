#include "ports/qt_event_loop.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace vantorel::ports {

void QtEventLoop::DoEvents() { QCoreApplication::processEvents(); }

void QtEventLoop::Wait(std::chrono::milliseconds duration) {
  const auto deadline = Now() + duration;
  // The guard timer only wakes the loop; the monotonic clock decides when the
  // wait is over. It is started again for what remains, because a handler run
  // in the middle may have consumed its tick in a nested wait of its own.
  QTimer guard;
  guard.setSingleShot(true);
  guard.setTimerType(Qt::PreciseTimer);
  for (auto now = Now(); now < deadline; now = Now()) {
    const auto remaining = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
    guard.start(remaining);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
}

void QtEventLoop::WaitForEvents(std::chrono::milliseconds most) {
  // The timer only makes sure the loop wakes up after `most`.
  QTimer guard;
  guard.setSingleShot(true);
  guard.setTimerType(Qt::PreciseTimer);
  guard.start(most);
  QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

station::Clock::time_point QtEventLoop::Now() const { return station::Clock::now(); }

}  // namespace vantorel::ports
