#include "cat/radio_learning.h"

#include <algorithm>

#include "cat/message_text.h"

namespace vantorel::cat {
namespace {

constexpr std::size_t kIdentityRead = 0;

// The letters (and selector) an answer to a read starts with.
std::string_view AnswerStart(std::string_view read) { return read.substr(0, read.size() - 1); }

}  // namespace

std::string RadioLearning::Start(const RadioDialect& current, Clock::time_point now) {
  current_ = &current;
  learning_ = true;
  next_ = 0;
  identity_.clear();
  answered_ = {};
  deadline_ = now + kAnswerLimit;
  std::string reads;
  for (const std::string_view read : kLearningReads) {
    reads += read;
  }
  return reads;
}

bool RadioLearning::Take(std::string_view message) {
  if (!learning_) {
    return false;
  }
  const bool refused = current_->IsRefusal(message);
  if (!refused && !StartsWith(message, AnswerStart(kLearningReads[next_]))) {
    return false;
  }
  answered_[next_] = !refused;
  if (next_ == kIdentityRead && !refused) {
    identity_ = message;
  }
  learning_ = ++next_ < kLearningReads.size();
  return true;
}

bool RadioLearning::Expire(Clock::time_point now) {
  if (!learning_ || now < deadline_) {
    return false;
  }
  learning_ = false;
  return true;
}

const RadioDialect* RadioLearning::ByIdentity() const {
  for (const RadioDialect* dialect : RadioDialects()) {
    if (dialect->identity == identity_) {
      return dialect;
    }
  }
  return nullptr;
}

const RadioDialect* RadioLearning::ByAnswers() const {
  const RadioDialect* identified = ByIdentity();
  const RadioDialect* found = nullptr;
  for (const RadioDialect* dialect : RadioDialects()) {
    bool same = true;
    for (std::size_t i = kIdentityRead + 1; i < kLearningReads.size(); ++i) {
      const auto& answers = dialect->answersReads;
      const bool answersRead =
          std::find(answers.begin(), answers.end(), kLearningReads[i]) != answers.end();
      same = same && answersRead == answered_[i];
    }
    if (same && (found == nullptr || dialect == identified)) {
      found = dialect;
    }
  }
  return found;
}

const RadioDialect& RadioLearning::Learned() const {
  if (next_ < kLearningReads.size()) {
    return *current_;  // not every read was answered: nothing to go by
  }
  if (const RadioDialect* dialect = ByAnswers()) {
    return *dialect;
  }
  const RadioDialect* identified = ByIdentity();
  return identified != nullptr ? *identified : *current_;
}

std::string RadioLearning::Summary() const {
  const std::string model = "a Kenwood " + std::string(Learned().name);
  if (next_ < kLearningReads.size()) {
    return "The radio did not answer what identifies it: taken as " + model + " as before";
  }
  std::string answered;
  std::string refused;
  for (std::size_t i = kIdentityRead + 1; i < kLearningReads.size(); ++i) {
    std::string& list = answered_[i] ? answered : refused;
    list += (list.empty() ? "" : " ") + std::string(kLearningReads[i]);
  }
  return "The radio speaks as " + model + " (identity " +
         (identity_.empty() ? std::string("refused") : identity_) +
         " answered: " + (answered.empty() ? "none" : answered) +
         " refused: " + (refused.empty() ? "none" : refused) + ")";
}

}  // namespace vantorel::cat
