#include "model/platform.h"

namespace vantorel::model {
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

bool WaitForDrain(EventLoop& loop, const std::function<int()>& remaining,
                  std::chrono::milliseconds limit, std::chrono::milliseconds stall) {
  int last = remaining();
  auto lastProgress = loop.Now();
  return WaitWhile(
             loop,
             [&] {
               const int now = remaining();
               if (now < last) {
                 last = now;
                 lastProgress = loop.Now();
               }
               return now > 0 && loop.Now() - lastProgress < stall;
             },
             limit) &&
         remaining() <= 0;
}

}  // namespace vantorel::model
