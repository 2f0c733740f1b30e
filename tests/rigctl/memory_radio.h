// A radio that keeps what it is told, starting as Hamlib's dummy rig does
// (rigctld -m 1: 145 and 146 MHz, FM 15 kHz, VFO A, powered on), so a session
// over it and rigctld over the dummy answer alike. Deferred, its completions
// wait for RunDeferred(), as a real radio's come later from the event loop.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <utility>

#include "rigctl/rigctl_radio.h"

namespace vantorel::testing {

class MemoryRadio : public rigctl::RigctlRadio {
 public:
  using Quantity = rigctl::Quantity;
  using Vfo = rigctl::Vfo;

  explicit MemoryRadio(bool deferred) : deferred_(deferred) {
    values_[{Quantity::kFrequency, Vfo::kA}].hertz = 145'000'000;
    values_[{Quantity::kFrequency, Vfo::kB}].hertz = 146'000'000;
    for (const Vfo vfo : {Vfo::kA, Vfo::kB}) {
      values_[{Quantity::kMode, vfo}] = {.mode = rigctl::Mode::kFm, .passband = 15'000};
    }
    values_[{Quantity::kPowerStatus, Vfo::kCurrent}].number = 1;
    values_[{Quantity::kStrength, Vfo::kCurrent}].number = -54;
  }

  void Read(Quantity quantity, Vfo vfo, ReadDone done) override {
    Complete([value = values_[Key(quantity, vfo)], done = std::move(done)] {
      done(rigctl::RigError::kOk, value);
    });
  }

  void Write(Quantity quantity, Vfo vfo, const rigctl::RigValue& value, WriteDone done) override {
    rigctl::RigValue& kept = values_[Key(quantity, vfo)];
    const std::int64_t passband = kept.passband;
    kept = value;
    if (quantity == Quantity::kMode && value.passband == -1) {
      kept.passband = passband;
    }
    Complete([done = std::move(done)] { done(rigctl::RigError::kOk); });
  }

  // Runs the waiting completions, and those they cause.
  void RunDeferred() {
    while (!later_.empty()) {
      const std::function<void()> next = std::move(later_.front());
      later_.pop_front();
      next();
    }
  }

  [[nodiscard]] int Ptt() { return values_[{Quantity::kPtt, Vfo::kCurrent}].number; }

 private:
  // Frequency and mode belong to a VFO, the rest to the radio.
  std::pair<Quantity, Vfo> Key(Quantity quantity, Vfo vfo) {
    if (quantity != Quantity::kFrequency && quantity != Quantity::kMode) {
      return {quantity, Vfo::kCurrent};
    }
    return {quantity, vfo == Vfo::kCurrent ? values_[{Quantity::kVfo, Vfo::kCurrent}].vfo : vfo};
  }

  void Complete(std::function<void()> completion) {
    if (deferred_) {
      later_.push_back(std::move(completion));
    } else {
      completion();
    }
  }

  bool deferred_;
  std::map<std::pair<Quantity, Vfo>, rigctl::RigValue> values_;
  std::deque<std::function<void()>> later_;
};

}  // namespace vantorel::testing
