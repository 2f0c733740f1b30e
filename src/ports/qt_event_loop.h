// The program's event loop on Qt: the waits of the receive procedures, of Start
// and of Close let every other event run meanwhile.
//
// Threading: the program's one thread (the one that runs QCoreApplication).
#pragma once

#include <chrono>

#include "station/event_loop.h"

namespace vantorel::ports {

class QtEventLoop final : public station::EventLoop {
 public:
  void DoEvents() override;
  // Sleeps in the event loop until an event or the end of the wait, the last
  // millisecond in slices of 50 us between looks at the events and its last
  // 100 us in looks alone: next to no CPU is spent while nothing happens, and
  // the wait ends on time.
  void Wait(std::chrono::milliseconds duration) override;
  void WaitForEvents(std::chrono::milliseconds most) override;
  [[nodiscard]] station::Clock::time_point Now() const override;
};

}  // namespace vantorel::ports
