// What the program needs of its surroundings that plain C++ cannot give: the
// event loop it yields to while it waits, a monotonic clock, and message boxes.
//
// Threading: the program's one thread only. DoEvents and Wait run other event
// handlers (port events, timer ticks, clicks) to completion in the middle of
// the caller; the caller's re-entry guards and pending flags must allow that.
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace vantorel::model {

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
// `stall`: a far end that reads nothing never takes the rest, and waiting the
// whole limit on it for every message would only pile up delay. True when
// everything was sent.
bool WaitForDrain(EventLoop& loop, const std::function<int()>& remaining,
                  std::chrono::milliseconds limit, std::chrono::milliseconds stall);

// Message boxes with one OK button and the program's title. Showing one never
// stops the bridge: the call returns at once and traffic goes on. Every text is
// also written as one line to standard error, so a station without a screen can
// be diagnosed.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual void MsgBox(const std::string& text) = 0;
};

}  // namespace vantorel::model
