// A scriptable event loop with a clock the test controls: actions scheduled by
// the test run at the next DoEvents or wait, in the middle of the handler that
// yields.
#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <vector>

#include "station/event_loop.h"

namespace vantorel::testing {

class FakeEventLoop : public station::EventLoop {
 public:
  void DoEvents() override {
    ++doEventsCalls;
    RunOne();
    now_ += step;
  }
  void Wait(std::chrono::milliseconds duration) override {
    waits.push_back(duration);
    RunOne();
    now_ += duration;
  }
  void WaitForEvents(std::chrono::milliseconds /*most*/) override { DoEvents(); }
  [[nodiscard]] station::Clock::time_point Now() const override { return now_; }

  void Schedule(std::function<void()> action) { actions_.push_back(std::move(action)); }
  // Runs `action` at the first yield where `ready()` holds.
  void When(std::function<bool()> ready, std::function<void()> action) {
    Schedule([this, ready, action]() mutable {
      if (ready()) {
        action();
      } else {
        When(std::move(ready), std::move(action));
      }
    });
  }

  std::chrono::milliseconds step{1};
  int doEventsCalls = 0;
  std::vector<std::chrono::milliseconds> waits;

 private:
  void RunOne() {
    if (!actions_.empty()) {
      auto action = std::move(actions_.front());
      actions_.pop_front();
      action();
    }
  }
  station::Clock::time_point now_{};
  std::deque<std::function<void()>> actions_;
};

}  // namespace vantorel::testing
