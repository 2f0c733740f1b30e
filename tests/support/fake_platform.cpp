#include "fake_platform.h"

namespace vantorel::testing {

void FakeEventLoop::RunOne() {
  if (!actions_.empty()) {
    auto action = std::move(actions_.front());
    actions_.pop_front();
    action();
  }
}

void FakeEventLoop::DoEvents() {
  ++doEventsCalls;
  RunOne();
  now_ += step;
}

void FakeEventLoop::Wait(std::chrono::milliseconds duration) {
  waits.push_back(duration);
  RunOne();
  now_ += duration;
}

}  // namespace vantorel::testing
