// libFuzzer target for what the FT-950 emulation makes of each Kenwood
// model's answers, and for learning the model. The first byte picks the model
// (its value modulo their number), the second a level value App 1 sets, the
// third a filter width in tens of hertz; the rest is the radio's messages,
// each ended by ';'.
//
// Each message is classified, kept when well formed, and taken by a learning
// started on the model; after each one kept, every FT-950 answer is built
// from what was kept. Traps: a message classified under letters it does not start
// with; an FT-950 answer out of its shape (its letters, digits where digits
// go, a value in App 1's range, one ';' at its end) or refused where the
// emulation always answers; a level App 1 sets not held to the model's range,
// not a setting of the model's form, or not read back as App 1 set it; a mode
// or filter setting the model would not take as its own; learning that takes
// more answers than it asked for, or learns another model without them all.
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "cat/ft950_radio_answers.h"
#include "cat/ft950_replies.h"
#include "cat/ft950_widths.h"
#include "cat/radio_learning.h"
#include "fuzz_check.h"

namespace {

using namespace vantorel::cat;
using namespace vantorel::cat::ft950;

// '#' a digit, '?' any character, anything else itself.
bool HasShape(std::string_view text, std::string_view shape) {
  if (text.size() != shape.size()) {
    return false;
  }
  for (std::size_t i = 0; i < shape.size(); ++i) {
    const bool fits = shape[i] == '#'   ? text[i] >= '0' && text[i] <= '9'
                      : shape[i] == '?' ? true
                                        : text[i] == shape[i];
    if (!fits) {
      return false;
    }
  }
  return true;
}

bool OneOf(char c, std::string_view allowed) { return allowed.find(c) != std::string_view::npos; }

int Digits(std::string_view text, std::size_t at, std::size_t count) {
  return std::stoi(std::string(text.substr(at, count)));
}

const std::string kApp1Modes = [] {
  std::string modes;
  for (std::size_t row = 0; row < kModeCount; ++row) {
    modes += kModes[row].app1;
  }
  return modes;
}();

// A message the model takes as one of its own, well formed.
void RequireOwn(const RadioAnswers& radio, std::string_view message) {
  const auto heard = radio.Classify(message);
  FUZZ_REQUIRE(heard && heard->wellFormed);
}

// Every command of a text the model takes as its own.
void RequireOwnCommands(const RadioAnswers& radio, std::string_view text) {
  for (auto end = text.find(';'); !text.empty(); end = text.find(';')) {
    FUZZ_REQUIRE(end != std::string_view::npos);
    RequireOwn(radio, text.substr(0, end + 1));
    text.remove_prefix(end + 1);
  }
}

void CheckReplies(const RadioAnswers& radio, App1Choices& choices) {
  const auto reply = [&](ReplyKind kind, std::uint8_t row = 0) {
    const std::string text = ReplyFromRadio({kind, row}, radio, choices);
    FUZZ_REQUIRE(text.find(';') == text.size() - 1);
    return text;
  };
  for (const auto& [kind, letters] : {std::pair{ReplyKind::kFrequencyA, "FA########;"},
                                      std::pair{ReplyKind::kFrequencyB, "FB########;"}}) {
    const std::string text = reply(kind);
    FUZZ_REQUIRE(text == kRefused || HasShape(text, letters));
  }
  const std::string mode = reply(ReplyKind::kMode);
  FUZZ_REQUIRE(mode == kRefused || (HasShape(mode, "MD0?;") && OneOf(mode[3], kApp1Modes)));
  const std::string status = reply(ReplyKind::kStatus);
  FUZZ_REQUIRE(status == kRefused || (HasShape(status, "IF###########?######???000;") &&
                                      OneOf(status[13], "+-") && OneOf(status[20], kApp1Modes) &&
                                      OneOf(status[21], "01") && OneOf(status[22], "012")));
  struct Switch {
    ReplyKind kind;
    std::string_view shape;
    std::string_view values;
  };
  for (const Switch& row :
       {Switch{ReplyKind::kVfo, "VS?;", "01"}, Switch{ReplyKind::kReceiveVfo, "FR?;", "04"},
        Switch{ReplyKind::kTransmitVfo, "FT?;", "01"}, Switch{ReplyKind::kPower, "PS?;", "01"},
        Switch{ReplyKind::kRit, "RT?;", "01"}, Switch{ReplyKind::kXit, "XT?;", "01"}}) {
    const std::string text = reply(row.kind);
    FUZZ_REQUIRE(HasShape(text, row.shape) && OneOf(text[2], row.values));
  }
  for (std::size_t row = 0; row < kLevels.size(); ++row) {
    const Level& level = kLevels[row];
    const std::string text = reply(ReplyKind::kLevel, static_cast<std::uint8_t>(row));
    const std::string head = std::string(level.letters) + std::string(level.selector);
    FUZZ_REQUIRE(HasShape(text, head + "###;"));
    const int value = Digits(text, head.size(), 3);
    FUZZ_REQUIRE(value >= level.app1Min && value <= level.app1Max);
  }
  const std::string agc = reply(ReplyKind::kAgc);
  FUZZ_REQUIRE(HasShape(agc, "GT0?;") && OneOf(agc[3], "01235"));
  for (std::size_t row = 0; row < kMeters.size(); ++row) {
    const std::string text = reply(ReplyKind::kMeter, static_cast<std::uint8_t>(row));
    FUZZ_REQUIRE(HasShape(text, std::string(kMeters[row].prefix) + "###;"));
    FUZZ_REQUIRE(Digits(text, 3, 3) <= 255);
  }
  const int widest = std::ranges::max(kWidestIndex);
  for (int index = 0; index <= widest; ++index) {
    for (const bool narrow : {false, true}) {
      const std::string text = reply(ReplyKind::kWidth, WidthAsked{index, narrow}.Row());
      FUZZ_REQUIRE(text == kRefused || (HasShape(text, "SH0##;") && Digits(text, 3, 2) <= widest));
    }
  }
}

// App 1's settings in the model's forms, as the emulation makes them.
void CheckSettings(RadioAnswers& radio, int app1Level, int hertz) {
  const RadioDialect& dialect = radio.Dialect();
  for (std::size_t row = 0; row < kLevels.size(); ++row) {
    const Level& level = kLevels[row];
    const RadioAnswerForm& form = dialect.AnswerOf(level.key);
    const int app1 = std::clamp(app1Level, level.app1Min, level.app1Max);
    const int value = LevelToRadio(dialect, level, app1);
    FUZZ_REQUIRE(value >= form.lowest && value <= form.highest);
    if (!dialect.Sets(level.key)) {
      continue;
    }
    const std::string setting = dialect.SetNumber(level.key, value);
    RequireOwn(radio, setting);
    // The radio holding what App 1 set, App 1 reads back its own value.
    radio.Keep(level.key, setting);
    App1Choices choices;
    choices.levels[row] = app1;
    const std::string text =
        ReplyFromRadio({ReplyKind::kLevel, static_cast<std::uint8_t>(row)}, radio, choices);
    FUZZ_REQUIRE(Digits(text, text.size() - 4, 3) == app1);
  }
  for (std::size_t row = 0; row < kModes.size(); ++row) {
    for (const char vfo : {kVfoA, kVfoB}) {
      RequireOwnCommands(radio, ModeSettingFor(dialect, row, vfo).text);
    }
  }
  for (std::size_t which = 0; which < kFilterClasses; ++which) {
    RequireOwnCommands(radio, FilterSetting(dialect, static_cast<FilterClass>(which), hertz));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) {
    return 0;
  }
  const auto dialects = RadioDialects();
  const RadioDialect& dialect = *dialects[data[0] % dialects.size()];
  RadioAnswers radio(dialect);
  App1Choices choices;
  RadioLearning learning;
  const RadioLearning::Clock::time_point start{};
  learning.Start(dialect, start);
  std::size_t taken = 0;

  std::string_view rest(reinterpret_cast<const char*>(data + 3), size - 3);
  while (!rest.empty()) {
    const auto end = rest.find(dialect.terminator);
    const std::string_view message = rest.substr(0, end == std::string_view::npos ? end : end + 1);
    rest.remove_prefix(message.size());
    if (const auto heard = radio.Classify(message)) {
      const std::string_view letters = LiteralStart(dialect.AnswerOf(heard->key).form);
      FUZZ_REQUIRE(!letters.empty() && message.starts_with(letters));
      FUZZ_REQUIRE(heard->wellFormed == FitsForm(message, dialect.AnswerOf(heard->key).form));
      if (heard->wellFormed) {
        radio.Keep(heard->key, message);
        CheckReplies(radio, choices);
      }
    }
    taken += learning.Take(message) ? 1 : 0;
  }
  CheckReplies(radio, choices);
  FUZZ_REQUIRE(taken <= kLearningReads.size());
  FUZZ_REQUIRE(learning.Learning() == (taken < kLearningReads.size()));
  FUZZ_REQUIRE(&learning.Learned() == &dialect || taken == kLearningReads.size());
  FUZZ_REQUIRE(learning.Expire(start + RadioLearning::kAnswerLimit) ==
               (taken < kLearningReads.size()));
  FUZZ_REQUIRE(!learning.Summary().empty());
  CheckSettings(radio, data[1], data[2] * 10);
  return 0;
}
