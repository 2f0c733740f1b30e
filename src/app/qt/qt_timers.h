// The window's timers as real timers: each model timer gets a QTimer with its
// interval that runs while the model timer is enabled and calls its tick
// handler. Switching Enabled in the model starts or stops it.
//
// Threading: the program's one thread; ticks arrive from the event loop.
#pragma once

#include <QTimer>
#include <initializer_list>
#include <memory>
#include <vector>

#include "model/controls.h"

namespace vantorel::app {

class QtTimers {
 public:
  // The model timers must outlive this object or stay unchanged after it.
  QtTimers(std::initializer_list<model::Timer*> timers);
  QtTimers(const QtTimers&) = delete;
  QtTimers& operator=(const QtTimers&) = delete;

  // The real timer behind a model timer (for tests); nullptr if not bound.
  [[nodiscard]] const QTimer* TimerFor(const model::Timer& timer) const;

 private:
  struct Binding {
    const model::Timer* model;
    std::unique_ptr<QTimer> timer;
  };
  std::vector<Binding> bindings_;
};

}  // namespace vantorel::app
