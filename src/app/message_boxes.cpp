#include "app/message_boxes.h"

namespace vantorel::app {

int RepeatFilter::Count(const std::string& text, Clock::time_point now) {
  // Old entries go, so the map holds only what was shown lately.
  std::erase_if(shown_, [now](const auto& entry) { return now - entry.second.at >= kQuietTime; });
  auto [entry, added] = shown_.try_emplace(text, Shown{now, 0});
  return ++entry->second.times;
}

}  // namespace vantorel::app
