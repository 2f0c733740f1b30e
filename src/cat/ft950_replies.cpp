#include "cat/ft950_replies.h"

#include <algorithm>
#include <span>
#include <string_view>

#include "cat/text_helpers.h"

namespace vantorel::cat::ft950 {
namespace {

// The radio's data switch before it has told its state: off.
constexpr char kDataOff = '0';

// The mode App 1 is shown in a status answer when nothing better is known.
constexpr std::size_t kUsbRow = 1;
static_assert(kModes[kUsbRow].app1 == '2');

template <std::size_t N>
char MapChar(const std::array<CharPair, N>& table, char radio) {
  for (const CharPair& pair : table) {
    if (pair.radio == radio) {
      return pair.app1;
    }
  }
  return table.front().app1;
}

std::string Digits(long value, std::size_t width) { return ZeroFill(std::to_string(value), width); }

// value × to / from, to the nearest whole number, for non-negative values.
int Rescale(long value, int to, int from) {
  return static_cast<int>((value * to * 2 + from) / (2L * from));
}

// A meter reading through a curve's points: straight between two points, flat
// beyond the ends.
int FollowCurve(std::span<const CurvePoint> curve, long radio) {
  if (radio <= curve.front().radio) {
    return curve.front().app1;
  }
  for (std::size_t i = 1; i < curve.size(); ++i) {
    const CurvePoint& low = curve[i - 1];
    const CurvePoint& high = curve[i];
    if (radio <= high.radio) {
      const long span = high.radio - low.radio;
      return low.app1 + static_cast<int>(((radio - low.radio) * (high.app1 - low.app1) * 2 + span) /
                                         (2 * span));
    }
  }
  return curve.back().app1;
}

char RadioData(const RadioAnswers& radio) {
  const char data = radio.Field(RadioKey::kData, 2);
  return data == '\0' ? kDataOff : data;
}

std::string FrequencyReply(std::string_view letters, RadioKey key, const RadioAnswers& radio) {
  // App 1 has eight digits: the radio's three highest must be zero.
  const auto high = radio.Number(key, 2, 3);
  if (!high || *high != 0) {
    return std::string(kRefused);
  }
  std::string reply(letters);
  reply += radio.Latest(key).substr(5, kFrequencyDigits);
  reply += ';';
  return reply;
}

std::string ModeReply(const RadioAnswers& radio, App1Choices& choices) {
  const auto row = ModeRow(radio.Field(RadioKey::kMode, 2), RadioData(radio), choices);
  if (!row) {
    return std::string(kRefused);
  }
  return std::string("MD0") + kModes[*row].app1 + ';';
}

// App 1's 27-character status answer from the radio's 38-character one.
std::string StatusReply(const RadioAnswers& radio, App1Choices& choices) {
  const std::string_view from = radio.Latest(RadioKey::kStatus);
  if (from.size() != status::kLength) {
    return std::string(kRefused);
  }
  std::string reply = "IF";
  const std::string_view memory = from.substr(status::kMemory, 3);
  reply += memory == kNoMemory ? kFirstMemory : memory;
  reply += from.substr(status::kFrequency + 3, kFrequencyDigits);
  const char sign = from[status::kClarifier];
  reply += sign == ' ' ? '+' : sign;
  reply += from.substr(status::kClarifier + 1, 4);
  reply += from[status::kRxClarifier];
  reply += from[status::kTxClarifier];
  const auto row = ModeRow(from[status::kMode], RadioData(radio), choices);
  reply += row ? kModes[*row].app1 : kModes[kUsbRow].app1;
  reply += MapChar(kStatusVfo, from[status::kVfo]);
  reply += MapChar(kStatusTone, from[status::kTone]);
  reply += kStatusTail;
  return reply;
}

template <std::size_t N>
std::string SwitchReply(std::string_view letters, const std::array<CharPair, N>& table,
                        RadioKey key, const RadioAnswers& radio) {
  std::string reply(letters);
  reply += MapChar(table, radio.Field(key, 2));
  reply += ';';
  return reply;
}

std::string LevelReply(std::size_t row, const RadioAnswers& radio, App1Choices& choices) {
  const Level& level = kLevels[row];
  const auto value = radio.Number(level.key, level.radioPrefix.size(), 3);
  if (!value) {
    return std::string(kRefused);
  }
  int& chosen = choices.levels[row];
  if (chosen == App1Choices::kNoLevel || LevelToRadio(level, chosen) != *value) {
    chosen = App1Choices::kNoLevel;
  }
  const int app1 = chosen != App1Choices::kNoLevel
                       ? chosen
                       : std::clamp(Rescale(*value, level.app1Scale, level.radioScale),
                                    level.app1Min, level.app1Max);
  std::string reply(level.letters);
  reply += level.selector;
  reply += Digits(app1, 3);
  reply += ';';
  return reply;
}

std::string AgcReply(const RadioAnswers& radio, App1Choices& choices) {
  const auto value = radio.Number(RadioKey::kAgc, 2, 2);
  if (!value) {
    return std::string(kRefused);
  }
  char answer = kAgcAnswers.back().app1;
  for (const AgcAnswer& row : kAgcAnswers) {
    if (*value <= row.radioUpTo) {
      answer = row.app1;
      break;
    }
  }
  bool stillChosen = false;
  for (const AgcChoice& choice : kAgcChoices) {
    if (choice.app1 == choices.agc && choice.radioValue == *value) {
      answer = choice.answer;
      stillChosen = true;
    }
  }
  if (!stillChosen) {
    choices.agc = 0;
  }
  std::string reply(kAgcHead.letters);
  reply += kAgcHead.selector;
  reply += answer;
  reply += ';';
  return reply;
}

std::string MeterReply(std::size_t row, const RadioAnswers& radio) {
  const Meter& meter = kMeters[row];
  const auto value = radio.Number(meter.key, 3, 4);
  if (!value) {
    return std::string(kRefused);
  }
  return std::string(meter.prefix) + Digits(FollowCurve(meter.curve, *value), 3) + ';';
}

}  // namespace

std::optional<std::size_t> ModeRow(char radioMode, char radioData, App1Choices& choices) {
  std::optional<std::size_t> first;
  std::optional<std::size_t> chosen;
  for (std::size_t row = 0; row < kModes.size(); ++row) {
    const Mode& mode = kModes[row];
    if (mode.radioMode == radioMode &&
        (mode.radioData == kAnyData || mode.radioData == radioData)) {
      first = first ? first : row;
      chosen = mode.app1 == choices.mode ? row : chosen;
    }
  }
  if (!first) {
    // The radio shows no mode App 1 has (tune, none): App 1 keeps the last one.
    for (std::size_t row = 0; row < kModes.size(); ++row) {
      if (kModes[row].app1 == choices.lastMode) {
        return row;
      }
    }
    return std::nullopt;
  }
  if (!chosen) {
    choices.mode = 0;  // the radio has left App 1's choice
  }
  const std::size_t row = chosen ? *chosen : *first;
  choices.lastMode = kModes[row].app1;
  return row;
}

std::size_t CurrentModeRow(const RadioAnswers& radio, App1Choices& choices) {
  const char radioMode = radio.Field(RadioKey::kMode, 2);
  if (radioMode != '\0') {
    if (const auto row = ModeRow(radioMode, RadioData(radio), choices)) {
      return *row;
    }
  }
  return kUsbRow;
}

int LevelToRadio(const Level& level, int app1Value) {
  return std::clamp(Rescale(app1Value, level.radioScale, level.app1Scale), level.radioMin,
                    level.radioMax);
}

std::string ReplyFromRadio(Reply reply, const RadioAnswers& radio, App1Choices& choices) {
  switch (reply.kind) {
    case ReplyKind::kFrequencyA:
      return FrequencyReply("FA", RadioKey::kFrequencyA, radio);
    case ReplyKind::kFrequencyB:
      return FrequencyReply("FB", RadioKey::kFrequencyB, radio);
    case ReplyKind::kMode:
      return ModeReply(radio, choices);
    case ReplyKind::kStatus:
      return StatusReply(radio, choices);
    case ReplyKind::kVfo:
      return SwitchReply("VS", kSwitchAnswer, RadioKey::kReceiveVfo, radio);
    case ReplyKind::kReceiveVfo:
      return SwitchReply("FR", kReceiveVfoAnswer, RadioKey::kReceiveVfo, radio);
    case ReplyKind::kTransmitVfo:
      return SwitchReply("FT", kSwitchAnswer, RadioKey::kTransmitVfo, radio);
    case ReplyKind::kPower:
      return SwitchReply("PS", kSwitchAnswer, RadioKey::kPower, radio);
    case ReplyKind::kLevel:
      return LevelReply(reply.row, radio, choices);
    case ReplyKind::kAgc:
      return AgcReply(radio, choices);
    case ReplyKind::kMeter:
      return MeterReply(reply.row, radio);
    case ReplyKind::kRit:
      return SwitchReply("RT", kSwitchAnswer, RadioKey::kRit, radio);
    case ReplyKind::kXit:
      return SwitchReply("XT", kSwitchAnswer, RadioKey::kXit, radio);
    case ReplyKind::kNone:
      break;
  }
  return std::string(kRefused);
}

}  // namespace vantorel::cat::ft950
