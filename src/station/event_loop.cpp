#include "station/event_loop.h"

namespace vantorel::station {
namespace {
// How long one look at a condition may sleep waiting for events.
constexpr std::chrono::milliseconds kPollInterval{1};
}  // namespace

bool WaitWhile(EventLoop& loop, const std::function<bool()>& condition,
               std::chrono::milliseconds limit) {
  const auto deadline = loop.Now() + limit;
  while (condition()) {
    if (loop.Now() >= deadline) {
      return false;
    }
    loop.WaitForEvents(kPollInterval);
  }
  return true;
}

bool WaitForDrain(EventLoop& loop, const std::function<std::size_t()>& remaining,
                  std::chrono::milliseconds limit, std::chrono::milliseconds stall) {
  std::size_t last = remaining();
  auto lastProgress = loop.Now();
  return WaitWhile(
             loop,
             [&] {
               const std::size_t now = remaining();
               if (now < last) {
                 last = now;
                 lastProgress = loop.Now();
               }
               return now > 0 && loop.Now() - lastProgress < stall;
             },
             limit) &&
         remaining() == 0;
}

}  // namespace vantorel::station
