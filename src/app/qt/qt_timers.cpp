#include "app/qt/qt_timers.h"

#include <QPointer>

namespace vantorel::app {

QtTimers::QtTimers(std::initializer_list<model::Timer*> timers) {
  for (model::Timer* source : timers) {
    auto timer = std::make_unique<QTimer>();
    timer->setInterval(source->Interval());
    QObject::connect(timer.get(), &QTimer::timeout, [source] { source->Tick(); });
    // The model cannot forget a subscriber: the guard turns the follow-up into
    // nothing once this object and its timers are gone.
    source->changed.Connect([source, guard = QPointer<QTimer>(timer.get())] {
      if (guard.isNull()) {
        return;
      }
      if (source->Running()) {
        if (!guard->isActive()) {
          guard->start();
        }
      } else {
        guard->stop();
      }
    });
    if (source->Running()) {
      timer->start();
    }
    bindings_.push_back({source, std::move(timer)});
  }
}

const QTimer* QtTimers::TimerFor(const model::Timer& timer) const {
  for (const Binding& b : bindings_) {
    if (b.model == &timer) {
      return b.timer.get();
    }
  }
  return nullptr;
}

}  // namespace vantorel::app
