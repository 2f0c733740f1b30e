// Messages on their way to a far end that may read slowly or not at all (an
// application whose program is busy, a stalled remote link). The queue is
// bounded: beyond the limit the oldest whole messages are dropped, never part
// of one, so what the far end gets later is still whole commands.
//
// Plain C++; the port implementations hand its front to their device.
// Threading: the program's one thread.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

namespace vantorel::station {

// How much may wait for a far end that reads nothing.
inline constexpr std::size_t kOutgoingLimit = 64 * 1024;

class OutgoingQueue {
 public:
  explicit OutgoingQueue(std::size_t limit = kOutgoingLimit) : limit_(limit) {}

  // Adds a message. Returns how many whole messages were dropped to make room
  // when this is the first drop since the queue last emptied; later drops of
  // the same stall return 0, so the far end's trouble is told once.
  std::size_t Push(std::string_view text);
  // Takes whole messages from the front, at most `most` characters, but at
  // least one message when any waits.
  std::string Take(std::size_t most);
  [[nodiscard]] std::size_t Bytes() const { return bytes_; }
  [[nodiscard]] bool Empty() const { return messages_.empty(); }
  void Clear();

 private:
  std::size_t limit_;
  std::deque<std::string> messages_;
  std::size_t bytes_ = 0;
  bool dropping_ = false;
};

}  // namespace vantorel::station
