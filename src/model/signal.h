// A minimal change notification: the widgets (and tests) subscribe to the
// model's controls and are told when a value changes.
//
// Threading: the program's one thread only.
#pragma once

#include <functional>
#include <utility>
#include <vector>

namespace vantorel::model {

template <class... Args>
class Signal {
 public:
  using Slot = std::function<void(Args...)>;

  // Returns a number for Disconnect.
  std::size_t Connect(Slot slot) {
    slots_.push_back(std::move(slot));
    return slots_.size() - 1;
  }
  void Disconnect(std::size_t id) { slots_.at(id) = nullptr; }

  void Emit(Args... args) const {
    // A slot may connect another slot while we run: iterate by index over a
    // size fixed at the start.
    const auto count = slots_.size();
    for (std::size_t i = 0; i < count; ++i) {
      if (slots_[i]) {
        slots_[i](args...);
      }
    }
  }

 private:
  std::vector<Slot> slots_;
};

}  // namespace vantorel::model
