#include "model/platform.h"

namespace vantorel::model {

bool WaitWhile(EventLoop& loop, const std::function<bool()>& condition,
               std::chrono::milliseconds limit) {
  const auto deadline = loop.Now() + limit;
  while (condition()) {
    if (loop.Now() >= deadline) {
      return false;
    }
    loop.DoEvents();
  }
  return true;
}

}  // namespace vantorel::model
