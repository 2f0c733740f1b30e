#include "cat/ft950_emulation.h"

#include <exception>
#include <optional>

#include "cat/message_text.h"
#include "cat/text_helpers.h"

namespace vantorel::cat {

using ft950::ReplyKind;

namespace {

// Longer than any FT-950 command (a frequency set has 11 characters).
constexpr std::size_t kLongestCommand = 16;
// Half a command kept for the next block; anything longer is noise.
constexpr std::size_t kLongestRest = 64;
constexpr char kTerminator = ';';

// A byte at or below a blank before a command: line noise, or the dummy bytes
// a program sends to wake a switched-off FT-950.
bool IsNoise(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view WithoutLeadingNoise(std::string_view text) {
  while (!text.empty() && IsNoise(text.front())) {
    text.remove_prefix(1);
  }
  return text;
}

// What stands between a command's letters and selector and its closing ";"
// (empty for a read); nullopt when the selector is not there. The command
// starts with the letters and ends in ";".
std::optional<std::string_view> ParameterOf(std::string_view command, std::string_view selector) {
  const std::string_view rest = command.substr(2, command.size() - 3);
  if (!StartsWith(rest, selector)) {
    return std::nullopt;
  }
  return rest.substr(selector.size());
}

// The radio's VFO digits: 0 VFO A, 1 VFO B (2 is a memory channel).
bool IsVfo(char digit) { return digit == '0' || digit == '1'; }

}  // namespace

struct Ft950Emulation::Pass {
  DialectContext& ctx;
  Clock::time_point now;
  bool keyed;  // the transmitter as this command leaves it
  CommandResult& out;
};

void Ft950Emulation::Take(std::string_view block) {
  block_.erase(0, next_);
  next_ = 0;
  block_.append(block);
}

std::optional<std::string> Ft950Emulation::NextCommand() {
  const std::size_t end = block_.find(kTerminator, next_);
  if (end == std::string::npos) {
    // Half a command waits for the next block, unless it is noise.
    block_ = block_.size() - next_ <= kLongestRest ? block_.substr(next_) : std::string();
    next_ = 0;
    return std::nullopt;
  }
  std::string command = block_.substr(next_, end + 1 - next_);
  next_ = end + 1;
  return command;
}

std::uint64_t Ft950Emulation::MessagesIn(std::string_view block) const {
  return CountMessages(block, kTerminator);
}

CommandResult Ft950Emulation::Command(std::string_view command, DialectContext& ctx) {
  CommandResult out;
  try {
    reads_.Expire(ctx.now);
    Pass pass{ctx, ctx.now, ctx.keying.radioKeyed, out};
    for (auto end = command.find(kTerminator); end != std::string_view::npos;
         end = command.find(kTerminator)) {
      HandleCommand(command.substr(0, end + 1), pass);
      command.remove_prefix(end + 1);
    }
    out.toApp = reads_.TakeReady();
  } catch (const std::exception&) {
    // Only a failed allocation lands here. Every radio command went out whole
    // or not at all; answers not yet taken stay owed.
  }
  return out;
}

std::string Ft950Emulation::Answer(std::string_view radioText, DialectContext& ctx) {
  try {
    reads_.Expire(ctx.now);
    std::string reports;
    const char terminator = radio_.Dialect().terminator;
    for (auto end = radioText.find(terminator); end != std::string_view::npos;
         end = radioText.find(terminator)) {
      reports += HandleAnswer(WithoutLeadingNoise(radioText.substr(0, end + 1)));
      radioText.remove_prefix(end + 1);
    }
    return reads_.TakeReady() + reports;
  } catch (const std::exception&) {
    return {};  // out of memory: the answers stay owed
  }
}

std::string Ft950Emulation::HandleAnswer(std::string_view message) {
  if (radio_.Dialect().IsRefusal(message)) {
    reads_.Refused();
    return {};
  }
  const auto heard = radio_.Classify(message);
  if (!heard) {
    return {};  // letters the emulation does not use
  }
  if (heard->wellFormed) {
    radio_.Keep(heard->key, message);
  }
  const auto taken = reads_.Answered(heard->key, heard->wellFormed);
  if (taken.complete != nullptr) {
    reads_.Finish(*taken.complete, ft950::ReplyFromRadio(taken.complete->reply, radio_, choices_));
    return {};
  }
  const ReplyKind report = ft950::ReportOf(heard->key);
  if (taken.taken || !heard->wellFormed || !App1WantsReports() || report == ReplyKind::kNone) {
    return {};
  }
  // The radio's own report, in FT-950 form: App 1 asked for reports.
  std::string text = ft950::ReplyFromRadio({report}, radio_, choices_);
  return text == ft950::kRefused ? std::string() : text;
}

std::string Ft950Emulation::Overdue(Clock::time_point now) {
  try {
    reads_.Expire(now);
    return reads_.TakeReady();
  } catch (const std::exception&) {
    return {};
  }
}

void Ft950Emulation::Reset() {
  reads_.Clear();
  radio_.Forget();
  block_.clear();
  next_ = 0;
}

void Ft950Emulation::HandleCommand(std::string_view command, Pass& pass) {
  command = WithoutLeadingNoise(command);
  if (command.size() <= 1 || reads_.Full()) {
    return;  // a bare ";", or more owed than any program waits for
  }
  if (command.size() > kLongestCommand) {
    Refuse();
    return;
  }
  const UpperCopy<kLongestCommand> upper(command);
  const std::string_view view = upper.View();
  if (const ft950::FixedCommand* row = ft950::kFixedIndex.Find(view)) {
    Fixed(*row, pass);
  } else if (const ft950::Meter* meter = ft950::kMeterIndex.Find(view)) {
    MeterRead(static_cast<std::size_t>(meter - ft950::kMeters.data()), pass);
  } else if (!(Frequency(view, pass) || Mode(view, pass) || Agc(view, pass) || Level(view, pass) ||
               Local(view) || ClarifierStep(view, pass) || BandSelect(view))) {
    Refuse();
  }
}

void Ft950Emulation::AskRadio(ft950::Reply reply, ft950::Needs needs, Pass& pass) {
  if (reads_.RadioBusy()) {
    Refuse();  // the radio is far behind: App 1 hears "busy" and asks again later
    return;
  }
  reads_.AddWaiting(reply, needs, pass.now);
  const RadioDialect& dialect = radio_.Dialect();
  pass.out.toRadio += dialect.AnswerOf(needs.first).read;
  if (needs.second != RadioKey::kNone) {
    pass.out.toRadio += dialect.AnswerOf(needs.second).read;
  }
}

void Ft950Emulation::SendSettings(std::string_view radio, Pass& pass) {
  pass.out.toRadio += radio;
  std::size_t commands = 0;
  for (const char c : radio) {
    commands += c == radio_.Dialect().terminator ? 1 : 0;
  }
  reads_.AddSettings(commands, pass.now);
}

void Ft950Emulation::Fixed(const ft950::FixedCommand& row, Pass& pass) {
  if (!row.answer.empty()) {
    reads_.AddAnswered(row.answer);
    return;
  }
  if (row.reply != ReplyKind::kNone) {
    AskRadio({row.reply}, row.needs, pass);
    return;
  }
  switch (row.effect) {
    case ft950::Effect::kReportTransmit:
      reads_.AddAnswered(pass.keyed ? ft950::kTransmitting : ft950::kReceiving);
      return;
    case ft950::Effect::kReportMox:
      reads_.AddAnswered(pass.keyed ? ft950::kMoxOn : ft950::kMoxOff);
      return;
    case ft950::Effect::kPowerOn:
      if (Ticked(pass.ctx.powerControl)) {
        return;  // the operator switches the radio on at the station
      }
      break;
    case ft950::Effect::kKeyDown:
      SendSettings(radio_.Dialect().keyDown, pass);
      KeyDown(pass.ctx.keying, pass.ctx.superviseTransmit);
      pass.keyed = true;
      return;
    case ft950::Effect::kKeyUp:
      SendSettings(radio_.Dialect().unkey, pass);
      KeyUp(pass.ctx.keying);
      pass.keyed = false;
      return;
    case ft950::Effect::kTransmitOnA:
    case ft950::Effect::kTransmitOnB:
      radio_.Keep(RadioKey::kTransmitVfo, row.radio);  // the radio's answer reads the same
      break;
    case ft950::Effect::kOperateA:
    case ft950::Effect::kOperateB: {
      // The radio's receive VFO set takes its transmit VFO along, which would
      // end a split; App 1's VFO select keeps it, so the other VFO is made the
      // transmit VFO again.
      const char receive = radio_.Field(RadioKey::kReceiveVfo, 2);
      const char transmit = radio_.Field(RadioKey::kTransmitVfo, 2);
      const bool split = IsVfo(receive) && IsVfo(transmit) && receive != transmit;
      const char selected = row.radio[2];
      const char transmitVfo[] = {'F', 'T',
                                  split ? static_cast<char>('0' + '1' - selected) : selected, ';'};
      const std::string_view transmitSet(transmitVfo, sizeof transmitVfo);
      SendSettings(row.radio, pass);
      radio_.Keep(RadioKey::kReceiveVfo, row.radio);
      if (split) {
        SendSettings(transmitSet, pass);
      }
      radio_.Keep(RadioKey::kTransmitVfo, transmitSet);
      return;
    }
    case ft950::Effect::kNone:
      break;
  }
  SendSettings(row.radio, pass);
}

void Ft950Emulation::MeterRead(std::size_t row, Pass& pass) {
  const ft950::Meter& meter = ft950::kMeters[row];
  const bool silent = (meter.reads == ft950::MeterReads::kInReceive && pass.keyed) ||
                      (meter.reads == ft950::MeterReads::kInTransmit && !pass.keyed);
  if (silent) {
    reads_.AddAnswered(std::string(meter.prefix) + "000;");
    return;
  }
  AskRadio({ReplyKind::kMeter, static_cast<std::uint8_t>(row)}, {meter.key}, pass);
}

bool Ft950Emulation::Frequency(std::string_view command, Pass& pass) {
  for (const ft950::Frequency& row : ft950::kFrequencies) {
    if (!StartsWith(command, row.letters)) {
      continue;
    }
    const std::string_view digits = *ParameterOf(command, "");
    const auto hertz = FixedWidthNumber(digits, ft950::kFrequencyDigits);
    if (digits.empty()) {
      AskRadio({row.reply}, {row.key}, pass);
    } else if (hertz && *hertz >= ft950::kLowestFrequency && *hertz <= ft950::kHighestFrequency) {
      SendSettings(std::string(row.letters) + "000" + std::string(digits) + ";", pass);
    } else {
      Refuse();
    }
    return true;
  }
  return false;
}

bool Ft950Emulation::Mode(std::string_view command, Pass& pass) {
  if (!StartsWith(command, ft950::kModeHead.letters)) {
    return false;
  }
  const auto parameter = ParameterOf(command, ft950::kModeHead.selector);
  if (parameter && parameter->empty()) {
    AskRadio({ReplyKind::kMode}, {RadioKey::kMode, RadioKey::kData}, pass);
    return true;
  }
  if (!parameter || parameter->size() != 1) {
    Refuse();
    return true;
  }
  for (const ft950::Mode& mode : ft950::kModes) {
    if ((*parameter)[0] != mode.app1) {
      continue;
    }
    const char radioMode[] = {'M', 'D', mode.radioMode, ';'};
    const std::string_view modeSet(radioMode, sizeof radioMode);
    SendSettings(modeSet, pass);
    radio_.Keep(RadioKey::kMode, modeSet);
    if (mode.radioData != ft950::kAnyData) {
      const char radioData[] = {'D', 'A', mode.radioData, ';'};
      const std::string_view dataSet(radioData, sizeof radioData);
      SendSettings(dataSet, pass);
      radio_.Keep(RadioKey::kData, dataSet);
    }
    choices_.mode = mode.app1;
    return true;
  }
  Refuse();
  return true;
}

bool Ft950Emulation::Agc(std::string_view command, Pass& pass) {
  if (!StartsWith(command, ft950::kAgcHead.letters)) {
    return false;
  }
  const auto parameter = ParameterOf(command, ft950::kAgcHead.selector);
  if (parameter && parameter->empty()) {
    AskRadio({ReplyKind::kAgc}, {RadioKey::kAgc}, pass);
    return true;
  }
  for (const ft950::AgcChoice& choice : ft950::kAgcChoices) {
    if (parameter && *parameter == std::string_view(&choice.app1, 1)) {
      SendSettings(choice.radio, pass);
      choices_.agc = choice.app1;
      return true;
    }
  }
  Refuse();
  return true;
}

bool Ft950Emulation::Level(std::string_view command, Pass& pass) {
  for (std::size_t row = 0; row < ft950::kLevels.size(); ++row) {
    const ft950::Level& level = ft950::kLevels[row];
    if (!StartsWith(command, level.letters)) {
      continue;
    }
    const auto parameter = ParameterOf(command, level.selector);
    if (parameter && parameter->empty()) {
      AskRadio({ReplyKind::kLevel, static_cast<std::uint8_t>(row)}, {level.key}, pass);
      return true;
    }
    const long value = parameter ? FixedWidthNumber(*parameter, 3).value_or(-1) : -1;
    if (value < level.app1Min || value > level.app1Max) {
      Refuse();
      return true;
    }
    const int app1 = static_cast<int>(value);
    SendSettings(std::string(level.radioPrefix) +
                     ZeroFill(std::to_string(ft950::LevelToRadio(level, app1)), 3) + ";",
                 pass);
    choices_.levels[row] = app1;
    return true;
  }
  return false;
}

bool Ft950Emulation::Local(std::string_view command) {
  for (std::size_t row = 0; row < ft950::kLocalSettings.size(); ++row) {
    const ft950::LocalSetting& setting = ft950::kLocalSettings[row];
    if (!StartsWith(command, setting.letters)) {
      continue;
    }
    const auto parameter = ParameterOf(command, setting.selector);
    const std::size_t mode = setting.perMode ? ft950::CurrentModeRow(radio_, choices_) : 0;
    if (parameter && parameter->empty()) {
      reads_.AddAnswered(settings_.Read(row, mode));
      return true;
    }
    const auto value = parameter ? FixedWidthNumber(*parameter, setting.digits) : std::nullopt;
    if (!value || !settings_.Set(row, mode, static_cast<int>(*value))) {
      Refuse();
    }
    return true;
  }
  return false;
}

bool Ft950Emulation::ClarifierStep(std::string_view command, Pass& pass) {
  for (const ft950::ClarifierStep& step : ft950::kClarifierSteps) {
    if (!StartsWith(command, step.letters)) {
      continue;
    }
    const std::string_view digits = *ParameterOf(command, "");
    if (FixedWidthNumber(digits, ft950::kClarifierDigits)) {
      // The radio takes the same step in five digits.
      SendSettings(std::string(step.letters) + "0" + std::string(digits) + ";", pass);
    } else {
      Refuse();
    }
    return true;
  }
  return false;
}

bool Ft950Emulation::BandSelect(std::string_view command) {
  if (!StartsWith(command, ft950::kBandHead.letters)) {
    return false;
  }
  // Accepted and not passed on: the radio numbers its bands differently, and
  // programs set the frequency they want right after.
  const std::string_view digits = *ParameterOf(command, ft950::kBandHead.selector);
  const auto band = FixedWidthNumber(digits, ft950::kBandDigits);
  if (!band || *band > ft950::kHighestBand) {
    Refuse();
  }
  return true;
}

bool Ft950Emulation::App1WantsReports() const {
  return settings_.Value(ft950::kAutoInformationRow, 0) == 1;
}

}  // namespace vantorel::cat
