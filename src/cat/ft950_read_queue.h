// App 1's reads the FT-950 emulation owes an answer, in the order App 1 sent
// them, and the radio commands they wait for.
//
// An answer goes to App 1 only when every earlier read has gone, so App 1
// hears its answers in its own order. A radio answer goes to the oldest read
// waiting for its kind; the radio's refusal ("?;") to the oldest command the
// radio has not answered yet, which may be a setting the radio refused
// instead of a read. A read the radio leaves unanswered for kReadLimit is
// answered "?;" (the FT-950's "busy") so the reads behind it go on.
//
// Threading: owned by one Ft950Emulation and used on its caller's thread.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "cat/ft950_tables.h"

namespace vantorel::cat::ft950 {

class ReadQueue {
 public:
  using Clock = std::chrono::steady_clock;

  // How long a read waits for the radio. A radio answers in a few
  // milliseconds; Hamlib gives up after two seconds, so its retry meets a
  // "?;" rather than silence.
  static constexpr auto kReadLimit = std::chrono::milliseconds(1000);

  // How long a setting sent to the radio may still draw a refusal. Long
  // past a radio's reaction time, short enough not to swallow the refusal
  // of a later read.
  static constexpr auto kRefusalWindow = std::chrono::milliseconds(250);

  // Reads waiting for the radio at once; more are answered "?;" at once.
  static constexpr std::size_t kMostWaiting = 16;
  // Answers owed at once; beyond this App 1's commands are dropped, as by a
  // radio whose input overflowed.
  static constexpr std::size_t kMostOwed = 256;

  struct Read {
    Reply reply;
    std::array<RadioKey, 2> needs{RadioKey::kNone, RadioKey::kNone};
    std::array<std::uint64_t, 2> asked{};  // which radio command asked for each need
    std::array<bool, 2> waiting{};
    bool refused = false;
    bool done = false;
    std::string text;
    Clock::time_point deadline;
  };

  [[nodiscard]] bool Full() const { return reads_.size() >= kMostOwed; }
  [[nodiscard]] bool RadioBusy() const { return waitingCount_ >= kMostWaiting; }
  [[nodiscard]] bool Empty() const { return reads_.empty(); }

  // A read answered without the radio; it waits for the reads before it.
  void AddAnswered(std::string_view text);

  // A read waiting for the radio's answers to one read per need.
  void AddWaiting(Reply reply, Needs needs, Clock::time_point now);

  // Radio settings that only ever answer to refuse.
  void AddSettings(std::size_t count, Clock::time_point now);

  struct Taken {
    bool taken = false;        // a read was waiting for this answer
    Read* complete = nullptr;  // the read, when it now has all its answers
  };

  // The radio answered a need: the oldest read waiting for it takes it. A read
  // that has all its answers and is not refused is returned for the caller to
  // Finish.
  Taken Answered(RadioKey key, bool usable);

  void Finish(Read& read, std::string text);

  // The radio refused its oldest unanswered command.
  void Refused();

  // Reads past their limit are answered "?;"; old settings stop counting.
  void Expire(Clock::time_point now);

  // The answers App 1 can have now, in order.
  std::string TakeReady();

  void Clear();

 private:
  // The oldest read still waiting for something, and which need; nullptr when none.
  Read* OldestWaiting(std::size_t& need);

  // Marks a need as answered (or refused) and finishes a refused read once
  // nothing more is due for it.
  bool SettleNeed(Read& read, std::size_t need);

  struct Setting {
    std::uint64_t asked;
    Clock::time_point sent;
  };

  std::deque<Read> reads_;
  std::deque<Setting> settings_;
  std::uint64_t nextCommand_ = 0;  // radio commands numbered as sent
  std::size_t waitingCount_ = 0;   // reads not done that wait for the radio
};

}  // namespace vantorel::cat::ft950
