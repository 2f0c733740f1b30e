#include "cat/ft950_radio_answers.h"

#include <algorithm>

#include "cat/text_helpers.h"

namespace vantorel::cat::ft950 {

std::optional<RadioAnswers::Heard> RadioAnswers::Classify(std::string_view message) const {
  // The longest literal start wins: "SM0" over "SM".
  const RadioAnswerForm* found = nullptr;
  for (const RadioAnswerForm& row : dialect_->answers) {
    const std::string_view literal = LiteralStart(row.form);
    if (!literal.empty() && StartsWith(message, literal) &&
        (found == nullptr || literal.size() > LiteralStart(found->form).size())) {
      found = &row;
    }
  }
  if (found == nullptr) {
    return std::nullopt;
  }
  return Heard{found->key, FitsForm(message, found->form)};
}

void RadioAnswers::Follow(const RadioDialect& dialect) {
  dialect_ = &dialect;
  Forget();
}

void RadioAnswers::Keep(RadioKey key, std::string_view message) {
  const std::size_t start = LiteralStart(dialect_->AnswerOf(key).form).size();
  if (message.size() <= start) {
    return;
  }
  const std::string_view value = message.substr(start, message.size() - start - 1);
  KeepValue(key, value);
  if (key != RadioKey::kStatus || value.size() != status::kLength) {
    return;
  }
  // The status answer shows the mode and the receive VFO; in split the other
  // VFO transmits. A memory channel (VFO digit 2) says nothing about the VFOs.
  KeepValue(RadioKey::kMode, value.substr(status::kMode, 1));
  const char receive = value[status::kVfo];
  if (receive == kVfoA || receive == kVfoB) {
    const bool split = value[status::kSplit] == '1';
    const char transmit = split ? static_cast<char>(kVfoA + kVfoB - receive) : receive;
    KeepValue(RadioKey::kReceiveVfo, std::string_view(&receive, 1));
    KeepValue(RadioKey::kTransmitVfo, std::string_view(&transmit, 1));
  }
}

void RadioAnswers::KeepValue(RadioKey key, std::string_view value) {
  Text& text = latest_[static_cast<std::size_t>(key)];
  const std::size_t size = std::min(value.size(), text.chars.size());
  std::copy_n(value.begin(), size, text.chars.begin());
  text.size = static_cast<std::uint8_t>(size);
}

std::string_view RadioAnswers::Value(RadioKey key) const {
  const Text& text = latest_[static_cast<std::size_t>(key)];
  return {text.chars.data(), text.size};
}

char RadioAnswers::Field(RadioKey key, std::size_t at) const {
  const std::string_view value = Value(key);
  return at < value.size() ? value[at] : '\0';
}

std::optional<long> RadioAnswers::Number(RadioKey key, std::size_t at, std::size_t count) const {
  const std::string_view value = Value(key);
  if (value.empty() || at > value.size()) {
    return std::nullopt;
  }
  const std::string_view digits =
      value.substr(at, count == kWhole ? std::string_view::npos : count);
  return FixedWidthNumber(digits, digits.size());
}

char RadioAnswers::ModeCode() const {
  const std::string_view value = Value(RadioKey::kMode);
  return value.empty() ? '\0' : value.back();
}

void RadioAnswers::Forget() { latest_ = {}; }

}  // namespace vantorel::cat::ft950
