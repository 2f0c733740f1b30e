// Learning which Kenwood is on the line: its identity read, then reads whose
// answers tell the command grammars apart, because an identity alone is not
// enough (programs and simulators answer identities that do not match their
// commands). Every read here is a read on every Kenwood; none is a setting on
// any of them.
//
// The radio answers in order: each message that answers the next read (its
// letters, or a refusal) is taken; anything else (an auto-information report)
// is left for the caller. The grammar whose answered reads match exactly is
// learned, the one the identity names among several; with no match, the
// identity's model; with no answer at all, the radio stays as it was.
//
// Threading: plain data on the program's one thread.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include "cat/radio_dialect.h"

namespace vantorel::cat {

// The identity read, then the reads that tell the grammars apart.
inline constexpr auto kLearningReads =
    std::to_array<std::string_view>({"ID;", "OM0;", "DA;", "SM1;"});

class RadioLearning {
 public:
  using Clock = std::chrono::steady_clock;
  // A radio answers its reads in milliseconds; one that is silent this long
  // (switched off, or no radio) stays as it was.
  static constexpr auto kAnswerLimit = std::chrono::milliseconds(500);

  // Starts learning, with `current` for what stands until the radio has
  // answered. Returns the reads for the radio.
  std::string Start(const RadioDialect& current, Clock::time_point now);
  [[nodiscard]] bool Learning() const { return learning_; }
  // A message from the radio: true when it answered the next read (taken).
  bool Take(std::string_view message);
  // Ends learning once its time is up; true when it ended now.
  bool Expire(Clock::time_point now);

  // What was learned (the dialect it started with while nothing was).
  [[nodiscard]] const RadioDialect& Learned() const;
  // One line on what was learned and why.
  [[nodiscard]] std::string Summary() const;

 private:
  // The dialect whose grammar answers exactly the reads the radio answered.
  [[nodiscard]] const RadioDialect* ByAnswers() const;
  [[nodiscard]] const RadioDialect* ByIdentity() const;

  const RadioDialect* current_ = nullptr;
  bool learning_ = false;
  std::size_t next_ = 0;  // the read the next answer is for
  std::string identity_;  // the identity's answer; empty when refused
  std::array<bool, kLearningReads.size()> answered_{};
  Clock::time_point deadline_{};
};

}  // namespace vantorel::cat
