#include "cat/ft950_radio_answers.h"

#include <algorithm>

#include "cat/text_helpers.h"

namespace vantorel::cat::ft950 {
namespace {

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

constexpr bool IsPlaceholder(char c) { return c == '#' || c == '*' || c == '+'; }

// The literal start of a form: the letters (and selector) that name the answer.
constexpr std::string_view LiteralStart(std::string_view form) {
  std::size_t length = 0;
  while (length < form.size() && !IsPlaceholder(form[length])) {
    ++length;
  }
  return form.substr(0, length);
}

constexpr bool FitsForm(std::string_view message, std::string_view form) {
  if (message.size() != form.size()) {
    return false;
  }
  for (std::size_t i = 0; i < form.size(); ++i) {
    const char c = message[i];
    switch (form[i]) {
      case '#':
        if (!IsDigit(c)) {
          return false;
        }
        break;
      case '*':
        if (c == ';') {
          return false;
        }
        break;
      case '+':
        if (c != '+' && c != '-' && c != ' ') {
          return false;
        }
        break;
      default:
        if (c != form[i]) {
          return false;
        }
        break;
    }
  }
  return true;
}

static_assert(FitsForm("IF00014074000     +000000000020000000;",
                       "IF###########*****+##################;"));

}  // namespace

std::optional<RadioAnswers::Heard> RadioAnswers::Classify(std::string_view message) const {
  for (const RadioAnswerForm& row : dialect_->answers) {
    if (StartsWith(message, LiteralStart(row.form))) {
      return Heard{row.key, FitsForm(message, row.form)};
    }
  }
  return std::nullopt;
}

void RadioAnswers::Keep(RadioKey key, std::string_view message) {
  Store(key, message);
  if (key != RadioKey::kStatus) {
    return;
  }
  // The status answer shows the mode and the receive VFO; in split the other
  // VFO transmits. A memory channel (VFO digit 2) says nothing about the VFOs.
  const char mode[] = {'M', 'D', message[status::kMode], ';'};
  Store(RadioKey::kMode, std::string_view(mode, sizeof mode));
  const char receive = message[status::kVfo];
  if (receive == '0' || receive == '1') {
    const bool split = message[status::kSplit] == '1';
    const char transmit = split ? static_cast<char>('0' + '1' - receive) : receive;
    const char receiveVfo[] = {'F', 'R', receive, ';'};
    const char transmitVfo[] = {'F', 'T', transmit, ';'};
    Store(RadioKey::kReceiveVfo, std::string_view(receiveVfo, sizeof receiveVfo));
    Store(RadioKey::kTransmitVfo, std::string_view(transmitVfo, sizeof transmitVfo));
  }
}

char RadioAnswers::Field(RadioKey key, std::size_t at) const {
  const std::string_view latest = Latest(key);
  return at < latest.size() ? latest[at] : '\0';
}

std::string_view RadioAnswers::Latest(RadioKey key) const {
  const Text& text = latest_[static_cast<std::size_t>(key)];
  return {text.chars.data(), text.size};
}

std::optional<long> RadioAnswers::Number(RadioKey key, std::size_t at, std::size_t count) const {
  const std::string_view latest = Latest(key);
  if (at > latest.size()) {
    return std::nullopt;
  }
  return FixedWidthNumber(latest.substr(at, count), count);
}

void RadioAnswers::Forget() { latest_ = {}; }

void RadioAnswers::Store(RadioKey key, std::string_view message) {
  Text& text = latest_[static_cast<std::size_t>(key)];
  const std::size_t size = std::min(message.size(), text.chars.size());
  std::copy_n(message.begin(), size, text.chars.begin());
  text.size = static_cast<std::uint8_t>(size);
}

}  // namespace vantorel::cat::ft950
