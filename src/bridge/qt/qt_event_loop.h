// The program's event loop on Qt: the waits of the receive procedures, of Start
// and of Close let every other event run meanwhile.
//
// Threading: the program's one thread (the one that runs QCoreApplication).
#pragma once

#include <chrono>

#include "model/platform.h"

namespace vantorel::bridge {

class QtEventLoop final : public model::EventLoop {
 public:
  void DoEvents() override;
  // Sleeps in the event loop until an event or the end of the wait: no CPU is
  // spent while nothing happens.
  void Wait(std::chrono::milliseconds duration) override;
  void WaitForEvents(std::chrono::milliseconds most) override;
  [[nodiscard]] model::Clock::time_point Now() const override;
};

}  // namespace vantorel::bridge
