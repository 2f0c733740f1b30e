#include "cat/ft950_read_queue.h"

#include <utility>

namespace vantorel::cat::ft950 {

void ReadQueue::AddAnswered(std::string_view text) {
  Read& read = reads_.emplace_back();
  read.done = true;
  read.text = text;
}

void ReadQueue::AddWaiting(Reply reply, Needs needs, Clock::time_point now) {
  Read& read = reads_.emplace_back();
  read.reply = reply;
  read.needs = {needs.first, needs.second};
  for (std::size_t i = 0; i < read.needs.size(); ++i) {
    if (read.needs[i] != RadioKey::kNone) {
      read.waiting[i] = true;
      read.asked[i] = nextCommand_++;
    }
  }
  read.deadline = now + kReadLimit;
  ++waitingCount_;
}

void ReadQueue::AddSettings(std::size_t count, Clock::time_point now) {
  for (std::size_t i = 0; i < count; ++i) {
    settings_.push_back({nextCommand_++, now});
  }
}

ReadQueue::Taken ReadQueue::Answered(RadioKey key, bool usable) {
  for (Read& read : reads_) {
    if (read.done) {
      continue;
    }
    for (std::size_t need = 0; need < read.needs.size(); ++need) {
      if (!read.waiting[need] || read.needs[need] != key) {
        continue;
      }
      // The radio answers in order: settings sent before this read are through.
      while (!settings_.empty() && settings_.front().asked < read.asked[need]) {
        settings_.pop_front();
      }
      read.refused = read.refused || !usable;
      return {true, SettleNeed(read, need) ? &read : nullptr};
    }
  }
  return {};
}

void ReadQueue::Finish(Read& read, std::string text) {
  if (!read.done) {
    read.done = true;
    --waitingCount_;
  }
  read.text = std::move(text);
}

void ReadQueue::Refused() {
  std::size_t need = 0;
  Read* read = OldestWaiting(need);
  if (!settings_.empty() && (read == nullptr || settings_.front().asked < read->asked[need])) {
    settings_.pop_front();  // the radio refused a setting; App 1 heard nothing of it
    return;
  }
  if (read != nullptr) {
    read->refused = true;
    SettleNeed(*read, need);
  }
}

void ReadQueue::Expire(Clock::time_point now) {
  while (!settings_.empty() && now - settings_.front().sent >= kRefusalWindow) {
    settings_.pop_front();
  }
  for (Read& read : reads_) {
    if (!read.done && now >= read.deadline) {
      Finish(read, std::string(kRefused));
    }
  }
}

std::string ReadQueue::TakeReady() {
  std::string ready;
  while (!reads_.empty() && reads_.front().done) {
    ready += reads_.front().text;
    reads_.pop_front();
  }
  return ready;
}

void ReadQueue::Clear() {
  reads_.clear();
  settings_.clear();
  waitingCount_ = 0;
}

ReadQueue::Read* ReadQueue::OldestWaiting(std::size_t& need) {
  Read* oldest = nullptr;
  for (Read& read : reads_) {
    for (std::size_t i = 0; i < read.needs.size(); ++i) {
      if (!read.done && read.waiting[i] &&
          (oldest == nullptr || read.asked[i] < oldest->asked[need])) {
        oldest = &read;
        need = i;
      }
    }
  }
  return oldest;
}

bool ReadQueue::SettleNeed(Read& read, std::size_t need) {
  read.waiting[need] = false;
  for (const bool waiting : read.waiting) {
    if (waiting) {
      return false;
    }
  }
  if (read.refused) {
    Finish(read, std::string(kRefused));
    return false;
  }
  return true;
}

}  // namespace vantorel::cat::ft950
