// A scriptable event loop with a clock the test controls, and message boxes
// that record what they showed.
#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "model/platform.h"

namespace vantorel::testing {

class FakeEventLoop : public model::EventLoop {
 public:
  // Runs the next scripted action (if any), then advances the clock by `step`.
  void DoEvents() override {
    ++doEventsCalls;
    RunOne();
    now_ += step;
  }
  // Runs the next scripted action (if any), then advances the clock by the
  // whole duration.
  void Wait(std::chrono::milliseconds duration) override {
    waits.push_back(duration);
    RunOne();
    now_ += duration;
  }
  // Like DoEvents: the scripted actions stand for the events that come.
  void WaitForEvents(std::chrono::milliseconds /*most*/) override { DoEvents(); }
  [[nodiscard]] model::Clock::time_point Now() const override { return now_; }

  // An action to run at a later DoEvents/Wait: another handler in the middle of
  // the one that yields.
  void Schedule(std::function<void()> action) { actions_.push_back(std::move(action)); }

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
  model::Clock::time_point now_{};
  std::deque<std::function<void()>> actions_;
};

class FakeMessageBoxes : public model::MessageBoxes {
 public:
  void MsgBox(const std::string& text) override { shown.push_back(text); }
  std::vector<std::string> shown;
};

}  // namespace vantorel::testing
