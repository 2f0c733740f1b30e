#include "cat/ft950_replies.h"

#include <algorithm>
#include <span>
#include <string_view>

#include "cat/ft950_widths.h"
#include "cat/text_helpers.h"

namespace vantorel::cat::ft950 {
namespace {

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

// The radio's S-meter scale against the FT-950's, from zero.
std::array<CurvePoint, kSMeterPoints.size() + 1> SMeterCurve(const RadioDialect& dialect) {
  std::array<CurvePoint, kSMeterPoints.size() + 1> curve{};
  for (std::size_t i = 0; i < kSMeterPoints.size(); ++i) {
    curve[i + 1] = {dialect.sMeter[i], kSMeterPoints[i]};
  }
  return curve;
}

// What the radio says of its data switch: from the switch where it keeps one,
// from the mode code where its codes carry it; nullopt where it cannot say.
std::optional<bool> RadioData(const RadioAnswers& radio) {
  const RadioDialect& dialect = radio.Dialect();
  if (dialect.Reads(RadioKey::kData)) {
    return radio.Field(RadioKey::kData, 0) == '1';
  }
  if (dialect.CodesCarryData()) {
    const ModeCode* code = dialect.ModeOfCode(radio.ModeCode());
    return code != nullptr && code->data;
  }
  return std::nullopt;
}

std::string FrequencyReply(std::string_view letters, RadioKey key, const RadioAnswers& radio) {
  // App 1 has eight digits: the radio's three highest must be zero.
  const auto high = radio.Number(key, 0, 3);
  if (!high || *high != 0) {
    return std::string(kRefused);
  }
  std::string reply(letters);
  reply += radio.Value(key).substr(3, kFrequencyDigits);
  reply += ';';
  return reply;
}

std::string ModeReply(const RadioAnswers& radio, App1Choices& choices) {
  const auto row = ModeRow(radio.Dialect(), radio.ModeCode(), RadioData(radio), choices);
  if (!row) {
    return std::string(kRefused);
  }
  return std::string("MD0") + kModes[*row].app1 + ';';
}

// App 1's 27-character status answer from the radio's 38-character one. The
// clarifier's sign is wherever the radio put it before its four digits.
std::string StatusReply(const RadioAnswers& radio, App1Choices& choices) {
  const std::string_view from = radio.Value(RadioKey::kStatus);
  if (from.size() != status::kLength) {
    return std::string(kRefused);
  }
  std::string reply = "IF";
  const std::string_view memory = from.substr(status::kMemory, 3);
  reply += memory == kNoMemory ? kFirstMemory : memory;
  reply += from.substr(status::kFrequency + 3, kFrequencyDigits);
  const std::string_view clarifier =
      from.substr(status::kClarifier, status::kRxClarifier - status::kClarifier);
  const auto offset = FixedWidthNumber(clarifier.substr(clarifier.size() - 4), 4);
  reply += clarifier.find('-') != std::string_view::npos && offset.value_or(0) != 0 ? '-' : '+';
  reply += Digits(offset.value_or(0), 4);
  reply += from[status::kRxClarifier];
  reply += from[status::kTxClarifier];
  const auto row = ModeRow(radio.Dialect(), from[status::kMode], RadioData(radio), choices);
  reply += kModes[row.value_or(kUsbRow)].app1;
  reply += MapChar(kStatusVfo, from[status::kVfo]);
  reply += MapChar(kStatusTone, from[status::kTone]);
  reply += kStatusTail;
  return reply;
}

template <std::size_t N>
std::string SwitchReply(std::string_view letters, const std::array<CharPair, N>& table,
                        RadioKey key, const RadioAnswers& radio) {
  std::string reply(letters);
  reply += MapChar(table, radio.Field(key, 0));
  reply += ';';
  return reply;
}

std::string LevelReply(std::size_t row, const RadioAnswers& radio, App1Choices& choices) {
  const Level& level = kLevels[row];
  const RadioDialect& dialect = radio.Dialect();
  const auto value = radio.Number(level.key);
  int& chosen = choices.levels[row];
  if (value && chosen != App1Choices::kNoLevel && LevelToRadio(dialect, level, chosen) != *value) {
    chosen = App1Choices::kNoLevel;
  }
  int app1 = level.app1Min;
  if (chosen != App1Choices::kNoLevel) {
    app1 = chosen;
  } else if (value) {
    app1 = std::clamp(Rescale(*value, level.app1Scale, dialect.AnswerOf(level.key).fullScale),
                      level.app1Min, level.app1Max);
  }
  std::string reply(level.letters);
  reply += level.selector;
  reply += Digits(app1, 3);
  reply += ';';
  return reply;
}

std::string AgcReply(const RadioAnswers& radio, App1Choices& choices) {
  const RadioDialect& dialect = radio.Dialect();
  const auto value = radio.Number(RadioKey::kAgc);
  char answer = kAgcChoices.front().answer;
  bool stillChosen = false;
  for (const AgcChoice& choice : kAgcChoices) {
    if (choice.app1 == choices.agc && (!value || AgcToRadio(dialect, choice) == *value)) {
      answer = choice.answer;
      stillChosen = true;
    }
  }
  if (!stillChosen && value) {
    choices.agc = 0;
    const auto speed = std::find_if(dialect.agc.begin(), dialect.agc.end(),
                                    [&](const AgcValue& row) { return *value <= row.upTo; });
    for (const AgcChoice& choice : kAgcChoices) {
      if (speed != dialect.agc.end() && choice.speed == speed->speed) {
        answer = choice.answer;
        break;
      }
    }
  }
  std::string reply(kAgcHead.letters);
  reply += kAgcHead.selector;
  reply += answer;
  reply += ';';
  return reply;
}

std::string MeterReply(std::size_t row, const RadioAnswers& radio) {
  const Meter& meter = kMeters[row];
  const RadioDialect& dialect = radio.Dialect();
  const long value = radio.Number(meter.key).value_or(0);
  const int app1 = meter.curve.empty()
                       ? FollowCurve(SMeterCurve(dialect), value)
                       : FollowCurve(meter.curve, Rescale(value, kCurveTop, dialect.meterTop));
  return std::string(meter.prefix) + Digits(app1, 3) + ';';
}

}  // namespace

std::optional<std::size_t> ModeRow(const RadioDialect& dialect, char code, std::optional<bool> data,
                                   App1Choices& choices) {
  const ModeCode* radioMode = dialect.ModeOfCode(code);
  std::optional<std::size_t> first;
  std::optional<std::size_t> chosen;
  for (std::size_t row = 0; radioMode != nullptr && row < kModes.size(); ++row) {
    const Mode& mode = kModes[row];
    const bool dataFits =
        mode.data == DataSwitch::kAny || !data || (mode.data == DataSwitch::kOn) == *data;
    if (mode.mode == radioMode->mode && dataFits) {
      first = first ? first : row;
      chosen = mode.app1 == choices.mode ? row : chosen;
    }
  }
  // App 1's own row of the mode (the radio's extra modes read as one of App 1's).
  const auto ownRow = [](char app1) -> std::optional<std::size_t> {
    for (std::size_t row = 0; row < kModeCount; ++row) {
      if (kModes[row].app1 == app1) {
        return row;
      }
    }
    return std::nullopt;
  };
  if (!first) {
    // The radio shows no mode App 1 has (tune, none): App 1 keeps the last one.
    return ownRow(choices.lastMode);
  }
  if (!chosen) {
    choices.mode = 0;  // the radio has left App 1's choice
  }
  const std::size_t row = *ownRow(kModes[chosen ? *chosen : *first].app1);
  choices.lastMode = kModes[row].app1;
  return row;
}

std::size_t CurrentModeRow(const RadioAnswers& radio, App1Choices& choices) {
  if (radio.ModeCode() != '\0') {
    if (const auto row = ModeRow(radio.Dialect(), radio.ModeCode(), RadioData(radio), choices)) {
      return *row;
    }
  }
  return kUsbRow;
}

ModeSetting ModeSettingFor(const RadioDialect& dialect, std::size_t row, char vfo) {
  const Mode& mode = kModes[row];
  const bool wantsData = mode.data == DataSwitch::kOn;
  // Where the radio has no data variant of the mode, the mode itself: the
  // nearest it has.
  const ModeCode* code = dialect.CodeOf(mode.mode, wantsData && dialect.CodesCarryData());
  if (code == nullptr) {
    code = dialect.CodeOf(mode.mode, false);
  }
  ModeSetting setting;
  if (code == nullptr) {
    return setting;
  }
  setting.modeValue =
      dialect.modeNamesVfo ? std::string{vfo, code->code} : std::string(1, code->code);
  setting.text = dialect.Set(RadioKey::kMode, setting.modeValue);
  if (dialect.Sets(RadioKey::kData) && mode.data != DataSwitch::kAny) {
    setting.data = wantsData ? '1' : '0';
    setting.text += dialect.Set(RadioKey::kData, std::string_view(&setting.data, 1));
  }
  return setting;
}

int LevelToRadio(const RadioDialect& dialect, const Level& level, int app1Value) {
  const RadioAnswerForm& radio = dialect.AnswerOf(level.key);
  return std::clamp(Rescale(app1Value, radio.fullScale, level.app1Scale), radio.lowest,
                    radio.highest);
}

int AgcToRadio(const RadioDialect& dialect, const AgcChoice& choice) {
  for (const AgcValue& row : dialect.agc) {
    if (row.speed == choice.speed) {
      return row.value;
    }
  }
  return 0;
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
    case ReplyKind::kWidth:
      return WidthReply(WidthAsked::FromRow(reply.row), radio, choices);
    case ReplyKind::kNone:
      break;
  }
  return std::string(kRefused);
}

}  // namespace vantorel::cat::ft950
