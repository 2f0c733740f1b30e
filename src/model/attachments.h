// Handlers one part of the program attaches to the model's controls and to the
// ports, taken off again when that part goes away: the model and the ports may
// outlive it, and must never call into a dead object.
//
// Threading: the program's one thread only.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "model/signal.h"

namespace vantorel::model {

class Attachments {
 public:
  Attachments() = default;
  Attachments(const Attachments&) = delete;
  Attachments& operator=(const Attachments&) = delete;
  ~Attachments() {
    for (auto& detach : detachers_) {
      detach();
    }
  }

  // Sets a handler field (onClick, onMouseMove, onTimer); cleared at the end.
  template <class Signature, class Handler>
  void Attach(std::function<Signature>& slot, Handler handler) {
    slot = std::move(handler);
    detachers_.push_back([&slot] { slot = nullptr; });
  }

  // Connects a slot to a signal; disconnected at the end.
  template <class... Args, class Slot>
  void Connect(Signal<Args...>& signal, Slot slot) {
    const std::size_t id = signal.Connect(std::move(slot));
    detachers_.push_back([&signal, id] { signal.Disconnect(id); });
  }

  // Attaches through a setter (a port's receive event); `detach` undoes it.
  void Add(std::function<void()> detach) { detachers_.push_back(std::move(detach)); }

 private:
  std::vector<std::function<void()>> detachers_;
};

}  // namespace vantorel::model
