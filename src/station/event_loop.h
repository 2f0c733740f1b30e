// What the station needs of the event loop it runs on: a moment for the other
// handlers while it waits, and a monotonic clock.
//
// Threading: the program's one thread. DoEvents and the waits run other event
// handlers (port events, timer ticks, clicks) to completion in the middle of
// the caller; the caller's re-entry guards and pending flags must allow that.
#pragma once

#include <chrono>
#include <functional>

namespace vantorel::station {

using Clock = std::chrono::steady_clock;

class EventLoop {
 public:
  virtual ~EventLoop() = default;
  // Lets the program handle the events that are pending now, then returns.
  virtual void DoEvents() = 0;
  // Waits the full time, handling events meanwhile. Measured on a monotonic
  // clock, so it neither ends early nor hangs across midnight.
  virtual void Wait(std::chrono::milliseconds duration) = 0;
  // Handles the next events, waiting for them at most `most`: a poll that
  // sleeps between looks instead of spinning the processor.
  virtual void WaitForEvents(std::chrono::milliseconds most) = 0;
  [[nodiscard]] virtual Clock::time_point Now() const = 0;
};

// Handles events while condition() holds, for at most limit. Returns true when
// the condition ended, false when the limit ran out first.
bool WaitWhile(EventLoop& loop, const std::function<bool()>& condition,
               std::chrono::milliseconds limit);

// Handles events while remaining() (characters still to send) is above 0, for
// at most limit, and gives up earlier once the count has not fallen for
// `stall`: a far end that reads nothing never takes the rest. True when
// everything was sent.
bool WaitForDrain(EventLoop& loop, const std::function<std::size_t()>& remaining,
                  std::chrono::milliseconds limit, std::chrono::milliseconds stall);

}  // namespace vantorel::station
