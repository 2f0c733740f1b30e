#include "station/outgoing_queue.h"

namespace vantorel::station {

std::size_t OutgoingQueue::Push(std::string_view text) {
  if (text.empty()) {
    return 0;
  }
  messages_.emplace_back(text);
  bytes_ += text.size();
  std::size_t dropped = 0;
  // The newest message stays even when it alone is over the limit.
  while (bytes_ > limit_ && messages_.size() > 1) {
    bytes_ -= messages_.front().size();
    messages_.pop_front();
    ++dropped;
  }
  if (dropped == 0 || dropping_) {
    return 0;
  }
  dropping_ = true;
  return dropped;
}

std::string OutgoingQueue::Take(std::size_t most) {
  std::string taken;
  while (!messages_.empty() && (taken.empty() || taken.size() + messages_.front().size() <= most)) {
    taken += messages_.front();
    bytes_ -= messages_.front().size();
    messages_.pop_front();
  }
  if (messages_.empty()) {
    dropping_ = false;
  }
  return taken;
}

void OutgoingQueue::Clear() {
  messages_.clear();
  bytes_ = 0;
  dropping_ = false;
}

}  // namespace vantorel::station
